#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace perikon {

// Session values by name for automation clients: each reads and writes the calling thread's copy.
// The module that owns a value publishes it (see PublishedValue.h).
class GlobalRegistry
{
public:
    using Getter = std::function<QVariant()>;
    using Setter = std::function<void(const QVariant &)>;

    static bool registerValue(const QString &name, Getter getter, Setter setter);
    static std::optional<QVariant> get(const QString &name);
    // False when no such value is registered, or when it cannot be set from outside.
    static bool set(const QString &name, const QVariant &value);
    static QStringList names();
};

} // namespace perikon
