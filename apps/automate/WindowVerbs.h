#pragma once

#include <QJsonObject>
#include <QString>

#include <functional>

class QObject;
class QWidget;

namespace perikon::automation {

// The "ui" requests: windows and their controls driven the way a person does, addressed by
// objectName paths (WidgetPaths.h).
class WindowVerbs
{
public:
    // Makes a window a named bridge object whose invokable methods "call" reaches.
    using KeepObject = std::function<void(const QString &name, QObject *object)>;

    explicit WindowVerbs(KeepObject keep);

    QJsonObject handle(const QJsonObject &request);

private:
    QJsonObject windows() const;
    QJsonObject tree(QObject *target) const;
    QJsonObject click(QObject *target, const QJsonObject &request);
    QJsonObject type(QObject *target, const QString &text);
    QJsonObject key(QObject *target, const QString &keys);
    QJsonObject read(QObject *target) const;
    QJsonObject grab(QObject *target, const QString &file) const;
    QJsonObject close(QObject *target);
    QJsonObject keep(QObject *target, const QString &name);

    KeepObject m_keep;
};

// Waits ms milliseconds while the application goes on handling its events.
void waitProcessingEvents(int ms);

} // namespace perikon::automation
