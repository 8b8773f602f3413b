#pragma once

#include <QString>

namespace perikon::db {

class PostgresDriver;

// Installs in the public schema of a PostgreSQL database what the PostgreSQL translations of
// SqlDialect and the suite schema rely on. Every account, meta and system schema of the database
// shares them; the schema installer runs this once per database, and running it again is
// harmless. Throws DbError when the server refuses an object.
//
// Types (domains), so that the catalog reports the suite's types:
//   flag               a bit column: smallint 0/1; reports type 11
//   tinyint            smallint 0..255
//   rowversion         bigint set by the row-version trigger; reports a row version
//
// Functions:
//   getdate()          the current local time, timestamp(3)                       (volatile)
//   newid()            a new GUID as upper-case text without braces               (volatile)
//   len(x)             characters of x as text without trailing blanks; NULL stays NULL
//   object_id(name)    oid of the table or view 'name', 'db..name' or 'dbo.name' in that
//                      database's schema (the default database without one); NULL when none
//   money_text(x)      a row version as money text with four decimals: 123 -> '123.0000'
//   UDF_GetLocaleID()  the session's locale id, 'zh-CN' until setPostgresLocaleId
//   round(float, int)  SQL Server's ROUND on floating-point values
//   perikon_touch_row_version()  the trigger that sets qzts from the schema's sequence
//
// Operators:
//   integer = text     a number compared with text, compared as text (a coded column held as
//                      text against a numeric id)
//
// Views:
//   public.sysobjects  the tables and views of the default database as (id, name, type, xtype)
//   tempdb.sysobjects  the same over the scratch database
//
// Tables:
//   public.qz_spelling the declared spelling of every table's columns, for result names
void installPostgresCompat(PostgresDriver &driver);

// The SQL that installPostgresCompat runs.
QString postgresCompatSql();

// The locale id that UDF_GetLocaleID() returns on this connection.
void setPostgresLocaleId(PostgresDriver &driver, const QString &localeId);

} // namespace perikon::db
