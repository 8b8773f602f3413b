#pragma once

#include <QStringList>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// "sp_UniteArchiveProxy": runs one merge procedure and leaves its outcome in a scratch table, the
// way the component reads the result of a procedure.
// Arguments: procedure name, the procedure's own arguments (table, code1, code2), the scratch
// table's name, the name of its text column. The scratch table tempdb.<name> (iStatus int,
// <text column> nvarchar(400)) receives one row: iStatus 0 and an empty text on success, -1 and
// the reason on failure. Only when the scratch table cannot be written does the call itself fail.
class ArchiveMergeProxy
{
public:
    static void run(db::Connection &connection, const QStringList &arguments);
};

} // namespace perikon::suite
