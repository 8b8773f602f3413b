#include "perikon/data/Common.h"

#include "perikon/data/db/ConnectionString.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon::Common {

QString GetAccIdFromConn()
{
    return db::ConnectionString::accountNumberOf(gAccountDb);
}

namespace {
const bool registered = [] {
    ModuleRegistry::registerFunction(QStringLiteral("Common"), QStringLiteral("GetAccIdFromConn"),
                                     [](QVariantList &) { return QVariant(GetAccIdFromConn()); });
    return true;
}();
} // namespace

} // namespace perikon::Common
