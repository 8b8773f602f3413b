#include "perikon/host/contract/HostRegistry.h"

#include <QHash>
#include <QMutex>

namespace perikon {
namespace {

struct Registry
{
    QMutex mutex;
    QHash<QString, HostRegistry::Factory> factories;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void HostRegistry::registerFactory(const QString &name, Factory factory)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.factories.insert(name, std::move(factory));
}

bool HostRegistry::contains(const QString &name)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.factories.contains(name);
}

QStringList HostRegistry::names()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.factories.keys();
}

std::unique_ptr<QObject> HostRegistry::create(const QString &name)
{
    Factory factory;
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        factory = r.factories.value(name);
    }
    if (!factory)
        return nullptr;
    return factory();
}

} // namespace perikon
