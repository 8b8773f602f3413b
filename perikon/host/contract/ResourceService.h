#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace perikon {

// The locale half of the resource service: which language the host's texts are in.
class ResourceLocal : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE virtual QString LanguageId() = 0;
};

// Plain text lookups: GetString(key) returns the text, or an empty text for an unknown key.
class ResourceStrings : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE virtual QString GetString(const QString &key) = 0;
};

// Fills arguments into a text. Created for one call and dropped after it.
class ResourceFormatter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE virtual QString GetString(const QString &key, const QStringList &args) = 0;
};

// The factory registered as "ResourceService"; the component asks it once per thread for the
// locale and the string service.
class ResourceFactory : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual std::unique_ptr<ResourceLocal> GetLocalService() = 0;
    virtual std::unique_ptr<ResourceStrings> GetResourceService() = 0;
    virtual std::unique_ptr<ResourceFormatter> CreateFormatter() = 0;
};

// Gives the title of the component's message boxes. Registered as "MessageTitleProvider".
class MessageTitleProvider : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE virtual QString GetTitle(const QString &languageId) = 0;
};

} // namespace perikon
