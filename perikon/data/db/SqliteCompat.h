#pragma once

#include <QString>

struct sqlite3;

namespace perikon::db {

// Installs on one SQLite connection what the SQLite translations of SqlDialect rely on. The
// driver calls it after opening a connection and again after attaching databases; calling it
// twice is harmless. Throws DbError (DbError::ProviderError) when SQLite refuses an object.
//
// Functions (UTF-8):
//   getdate()          local time as 'YYYY-MM-DD HH:MM:SS.mmm'                    (volatile)
//   newid()            a new GUID as upper-case text without braces               (volatile)
//   len(x)             characters of x as text without trailing blanks; NULL stays NULL
//                                                                                 (deterministic)
//   object_id(name)    id of the table or view 'name', 'db..name' or 'dbo.name' in the
//                      sysobjects view of that database; NULL when there is none   (reads schema)
//   money_text(x)      a row version as money text with four decimals: 123 -> '123.0000'; the
//                      form of CONVERT(char, CONVERT(money, qzts), 2)              (deterministic)
//   UDF_GetLocaleID()  the session's locale id, 'zh-CN' until setCompatLocaleId    (per connection)
//
// Views:
//   temp.sysobjects    the tables and views of main as (id, name, type, xtype); type 'U' for a
//                      table, 'V' for a view; name compares without regard to case
//   tempdb.sysobjects  the same over the scratch database, when "tempdb" is attached
void installSqlServerCompat(sqlite3 *db);

// The locale id that UDF_GetLocaleID() returns on this connection.
void setCompatLocaleId(sqlite3 *db, const QString &localeId);

} // namespace perikon::db
