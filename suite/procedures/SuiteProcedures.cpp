#include "suite/procedures/SuiteProcedures.h"

#include "perikon/data/db/ProcedureRegistry.h"
#include "suite/procedures/ArchiveMergeProxy.h"
#include "suite/procedures/ContactMerge.h"

namespace perikon::suite {

void registerProcedures()
{
    const auto registry = db::ProcedureRegistry::standard();
    registry->add(QStringLiteral("sp_UniteArchiveProxy"), &ArchiveMergeProxy::run);

    // The merge steps of the other subsystems; a contact has nothing in them to move.
    for (const char *name : {"sp_UniteArchive_EX", "sp_UniteArchive_IM", "sp_UniteArchive_CM",
                             "sp_UniteArchive_Sa", "sp_UniteCustomer_CRM", "sp_UniteArchive_As"}) {
        registry->add(QString::fromLatin1(name), [](db::Connection &, const QStringList &) {});
    }
    registry->add(QStringLiteral("sp_ContactMerg_CRM"), &ContactMerge::run);
}

} // namespace perikon::suite
