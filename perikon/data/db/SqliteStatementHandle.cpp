#include "SqliteStatementHandle.h"

#include <sqlite3.h>

namespace perikon::db {

void SqliteStatementFinalizer::operator()(sqlite3_stmt *statement) const noexcept
{
    sqlite3_finalize(statement);
}

int prepareSqliteStatement(sqlite3 *db, const char *text, int length,
                           SqliteStatementHandle &statement, const char **tail)
{
    sqlite3_stmt *prepared = nullptr;
    const int rc = sqlite3_prepare_v2(db, text, length, &prepared, tail);
    // On failure SQLite leaves no statement; the handle owns whatever it gave.
    statement.reset(prepared);
    return rc;
}

} // namespace perikon::db
