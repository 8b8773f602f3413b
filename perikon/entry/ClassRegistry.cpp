#include "perikon/entry/ClassRegistry.h"
#include "perikon/entry/ModuleRegistry.h"

#include <QHash>
#include <QMutex>

namespace perikon {
namespace {

template<typename Value> struct NamedTable
{
    QMutex mutex;
    QHash<QString, Value> entries;

    bool insert(const QString &name, Value value)
    {
        QMutexLocker lock(&mutex);
        entries.insert(name, std::move(value));
        return true;
    }
    std::optional<Value> find(const QString &name)
    {
        QMutexLocker lock(&mutex);
        auto it = entries.constFind(name);
        if (it == entries.constEnd())
            return std::nullopt;
        return *it;
    }
    QStringList names()
    {
        QMutexLocker lock(&mutex);
        QStringList list = entries.keys();
        list.sort();
        return list;
    }
};

NamedTable<ClassRegistry::Factory> &classes()
{
    static NamedTable<ClassRegistry::Factory> table;
    return table;
}

NamedTable<ModuleRegistry::Function> &functions()
{
    static NamedTable<ModuleRegistry::Function> table;
    return table;
}

struct GlobalAccess
{
    GlobalRegistry::Getter get;
    GlobalRegistry::Setter set;
};

NamedTable<GlobalAccess> &globals()
{
    static NamedTable<GlobalAccess> table;
    return table;
}

QString qualified(const QString &module, const QString &name)
{
    return module + QLatin1Char('.') + name;
}

} // namespace

bool ClassRegistry::registerClass(const QString &progId, Factory factory)
{
    return classes().insert(progId, std::move(factory));
}

QObject *ClassRegistry::create(const QString &progId)
{
    const std::optional<Factory> factory = classes().find(progId);
    return factory ? (*factory)() : nullptr;
}

QStringList ClassRegistry::names()
{
    return classes().names();
}

bool ModuleRegistry::registerFunction(const QString &module, const QString &name, Function function)
{
    return functions().insert(qualified(module, name), std::move(function));
}

std::optional<QVariant> ModuleRegistry::call(const QString &module, const QString &name,
                                             QVariantList &args)
{
    const std::optional<Function> function = functions().find(qualified(module, name));
    if (!function)
        return std::nullopt;
    return (*function)(args);
}

QStringList ModuleRegistry::names()
{
    return functions().names();
}

bool GlobalRegistry::registerValue(const QString &name, Getter getter, Setter setter)
{
    return globals().insert(name, GlobalAccess{std::move(getter), std::move(setter)});
}

std::optional<QVariant> GlobalRegistry::get(const QString &name)
{
    const std::optional<GlobalAccess> access = globals().find(name);
    if (!access)
        return std::nullopt;
    return access->get();
}

bool GlobalRegistry::set(const QString &name, const QVariant &value)
{
    const std::optional<GlobalAccess> access = globals().find(name);
    if (!access || !access->set)
        return false;
    access->set(value);
    return true;
}

QStringList GlobalRegistry::names()
{
    return globals().names();
}

} // namespace perikon

QObject *perikon_create_object(const char *progId)
{
    return perikon::ClassRegistry::create(QString::fromUtf8(progId));
}
