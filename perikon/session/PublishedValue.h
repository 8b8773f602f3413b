#pragma once

// Helpers with which each module publishes its session values to automation clients under their
// exact names. The getter and setter always reach the calling thread's copy.

#include "perikon/session/GlobalRegistry.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace perikon::internal {

template<typename T> bool publishValue(const QString &name, T &(*value)())
{
    return GlobalRegistry::registerValue(
        name, [value] { return QVariant::fromValue(value()); },
        [value](const QVariant &v) { value() = v.value<T>(); });
}

// Object-valued values are read as the object (or null) and set from an object reference; an
// object set from outside stays owned by whoever created it.
inline bool publishPointer(const QString &name, QPointer<QObject> &(*value)())
{
    return GlobalRegistry::registerValue(
        name, [value] { return QVariant::fromValue(value().data()); },
        [value](const QVariant &v) { value() = v.value<QObject *>(); });
}

// Objects the session owns are readable only.
template<typename Holder> bool publishOwned(const QString &name, Holder &(*value)())
{
    return GlobalRegistry::registerValue(
        name, [value] { return QVariant::fromValue(static_cast<QObject *>(value().get())); },
        nullptr);
}

} // namespace perikon::internal

#define PERIKON_PUBLISH_VALUE(T, name)                                                             \
    ::perikon::internal::publishValue<T>(QStringLiteral(#name), []() -> T & { return name; })
#define PERIKON_PUBLISH_POINTER(name)                                                              \
    ::perikon::internal::publishPointer(QStringLiteral(#name),                                     \
                                        []() -> QPointer<QObject> & { return name; })
#define PERIKON_PUBLISH_OWNED(name)                                                                \
    ::perikon::internal::publishOwned<decltype(name)>(QStringLiteral(#name),                       \
                                                      []() -> decltype(name) & { return name; })
