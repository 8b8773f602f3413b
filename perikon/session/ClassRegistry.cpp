#include "perikon/session/ClassRegistry.h"

#include "perikon/session/NamedTable.h"

namespace perikon {
namespace {

internal::NamedTable<ClassRegistry::Factory> &classes()
{
    static internal::NamedTable<ClassRegistry::Factory> table;
    return table;
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

} // namespace perikon
