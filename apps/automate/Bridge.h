#pragma once

#include "apps/automate/WindowVerbs.h"

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QMetaProperty>
#include <QObject>
#include <QString>

#include <memory>
#include <utility>
#include <variant>

namespace perikon::automation {

// Drives the component by name as an automation client would: one JSON request in, one JSON reply
// out. Objects created or kept by requests live as long as the bridge.
class Bridge
{
public:
    Bridge();
    ~Bridge();

    // Handles one request line and returns the reply line (without a line break). Never throws.
    // A reply carries the request's "id" when it has one.
    QString handleLine(const QString &line);
    QJsonObject handle(const QJsonObject &request);

private:
    QJsonObject dispatch(const QJsonObject &request);
    QJsonObject createObject(const QJsonObject &request);
    QJsonObject readFile(const QJsonObject &request);
    QJsonObject call(const QJsonObject &request);
    QJsonObject callMethod(QObject *target, const QString &method, const QJsonArray &args,
                           const QString &keepAs);
    QJsonObject callModuleFunction(const QString &module, const QString &function,
                                   const QJsonArray &args, const QString &keepAs);
    std::variant<std::pair<QObject *, QMetaProperty>, QJsonObject>
    property(const QString &target) const;
    QJsonObject getProperty(const QJsonObject &request);
    QJsonObject setProperty(const QJsonObject &request);
    QJsonObject getGlobal(const QJsonObject &request);
    QJsonObject setGlobal(const QJsonObject &request);

    QObject *object(const QString &name) const;
    void keep(const QString &name, QObject *object);
    QJsonValue toJson(const QVariant &value, const QString &keepAs);
    QVariant fromJson(const QJsonValue &value, QMetaType type) const;

    std::unique_ptr<QObject> m_root; // parent of every object the bridge keeps
    QHash<QString, QObject *> m_objects;
    WindowVerbs m_windowVerbs;
};

} // namespace perikon::automation
