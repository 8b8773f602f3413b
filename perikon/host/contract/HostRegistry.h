#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace perikon {

// The host fills this registry at start-up (suite::registerServices()); the component creates every
// host service and host object through it by name ("UiHelper", "PubService", "Suite.Login", ...).
// One registry per process: the host registers from its main thread before any component call.
class HostRegistry
{
public:
    using Factory = std::function<std::unique_ptr<QObject>()>;

    static void registerFactory(const QString &name, Factory factory);
    static bool contains(const QString &name);
    static QStringList names();

    // A new object, or nullptr when nothing is registered under the name or the factory fails.
    static std::unique_ptr<QObject> create(const QString &name);

    template<typename T> static std::unique_ptr<T> createAs(const QString &name)
    {
        std::unique_ptr<QObject> object = create(name);
        if (T *typed = qobject_cast<T *>(object.get())) {
            object.release();
            return std::unique_ptr<T>(typed);
        }
        return nullptr;
    }
};

} // namespace perikon
