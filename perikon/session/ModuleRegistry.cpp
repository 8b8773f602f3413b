#include "perikon/session/ModuleRegistry.h"

#include "perikon/session/NamedTable.h"

namespace perikon {
namespace {

internal::NamedTable<ModuleRegistry::Function> &functions()
{
    static internal::NamedTable<ModuleRegistry::Function> table;
    return table;
}

QString qualified(const QString &module, const QString &name)
{
    return module + QLatin1Char('.') + name;
}

} // namespace

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

} // namespace perikon
