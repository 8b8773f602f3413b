#pragma once

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace perikon::db {

// Owns a prepared SQLite statement: finalized when the handle goes, on every path out, so no
// early return or exception leaves a statement holding the database's locks.
struct SqliteStatementFinalizer
{
    void operator()(sqlite3_stmt *statement) const noexcept;
};
using SqliteStatementHandle = std::unique_ptr<sqlite3_stmt, SqliteStatementFinalizer>;

// Prepares the first statement of `text` (length -1: up to the terminating zero) into
// `statement`, which is empty when the text holds only blanks or comments. `tail`, when given,
// receives where the next statement starts. Returns SQLite's result code.
int prepareSqliteStatement(sqlite3 *db, const char *text, int length,
                           SqliteStatementHandle &statement, const char **tail = nullptr);

} // namespace perikon::db
