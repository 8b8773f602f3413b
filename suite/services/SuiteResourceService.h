#pragma once

#include "perikon/host/contract/ResourceService.h"

namespace perikon::suite {

// The suite's resource-string service: texts in the language of the thread's session login.
class SuiteResourceFactory : public ResourceFactory
{
    Q_OBJECT
public:
    using ResourceFactory::ResourceFactory;
    std::unique_ptr<ResourceLocal> GetLocalService() override;
    std::unique_ptr<ResourceStrings> GetResourceService() override;
    std::unique_ptr<ResourceFormatter> CreateFormatter() override;
};

class SuiteResourceLocal : public ResourceLocal
{
    Q_OBJECT
public:
    using ResourceLocal::ResourceLocal;
    QString LanguageId() override;
};

class SuiteResourceStrings : public ResourceStrings
{
    Q_OBJECT
public:
    using ResourceStrings::ResourceStrings;
    QString GetString(const QString &key) override;
};

class SuiteResourceFormatter : public ResourceFormatter
{
    Q_OBJECT
public:
    using ResourceFormatter::ResourceFormatter;
    QString GetString(const QString &key, const QStringList &args) override;
};

// Message-box titles: the name of the suite's CRM module in the session language.
class SuiteMessageTitle : public MessageTitleProvider
{
    Q_OBJECT
public:
    using MessageTitleProvider::MessageTitleProvider;
    QString GetTitle(const QString &languageId) override;
};

} // namespace perikon::suite
