#include "perikon/session/GlobalRegistry.h"

#include "perikon/session/NamedTable.h"

namespace perikon {
namespace {

struct GlobalAccess
{
    GlobalRegistry::Getter get;
    GlobalRegistry::Setter set;
};

internal::NamedTable<GlobalAccess> &globals()
{
    static internal::NamedTable<GlobalAccess> table;
    return table;
}

} // namespace

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
