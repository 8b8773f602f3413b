#pragma once

#include <QJsonObject>
#include <QObject>

#include <functional>
#include <optional>

namespace perikon::automation {

// Renders an object the bridge hands back by value (a recordset: its fields and rows) as JSON;
// std::nullopt for objects that travel by reference.
std::optional<QJsonObject> objectAsValue(QObject *object);

// The bridge's reply shapes: {"ok":true} and {"ok":false,"error":...}.
QJsonObject success();
QJsonObject failure(const QString &error);

} // namespace perikon::automation
