#pragma once

#include "suite/schema/SchemaResult.h"

#include "perikon/data/db/SqlDialect.h"
#include "perikon/data/db/SqlTableDefinition.h"

#include <QString>

#include <optional>
#include <vector>

struct sqlite3;

namespace perikon::suite {

// The three database files of one account year on SQLite.
struct SqliteDatabaseFiles
{
    QString account; // QZDATA_<acc>_<year>.db, the main database of a connection
    QString meta;    // QZMeta_<acc>.db
    QString system;  // qzsystem.db
};

// Account and year named by a connection string's catalog.
struct AccountCatalog
{
    QString account; // "001"
    QString year;    // "2026"
};

// Creates the suite's databases from the schema scripts compiled into the library.
class SchemaInstaller
{
public:
    static QString accountDatabaseName(const QString &account, const QString &year);
    static QString metaDatabaseName(const QString &account);
    static QString systemDatabaseName();

    // Account = the three characters after "CATALOG=QZDATA_" (any case), year = the digits after
    // the next underscore. Nothing when the text names no account catalog.
    static std::optional<AccountCatalog> accountCatalogOf(const QString &connectionText);

    // Creates QZDATA_<acc>_<year>.db, QZMeta_<acc>.db and qzsystem.db in folder. An existing
    // account database is refused unless overwrite is set; the meta and system databases are
    // shared by every year (and account) in the folder, so an existing one is kept.
    static SchemaResult<SqliteDatabaseFiles>
    createSqliteDatabases(const QString &folder, const QString &account = QStringLiteral("001"),
                          const QString &year = QStringLiteral("2026"), bool overwrite = false);

    // Creates the schemas qzdata_<acc>_<year>, qzmeta_<acc> and qzsystem in the PostgreSQL
    // database the connection string names (its Database), the account and year taken from its
    // Initial Catalog, plus the functions and types the suite relies on in public. An existing
    // account schema is refused unless overwrite is set; the meta and system schemas are shared,
    // so existing ones are kept. All or nothing: a failure leaves the database as it was.
    static SchemaResult<bool> createPostgresDatabases(const QString &connectionString,
                                                      bool overwrite = false);

    // The text of a script compiled into the library (":/suite/schema/<folder>/<name>.sql"):
    // the schemas in SQL Server's dialect are in "mssql", what one backend adds in "sqlite" or
    // "postgres" (<name>-backend.sql).
    static SchemaResult<QString> scriptText(const QString &folder, const QString &scriptName);

    // A CREATE TABLE statement of a schema's SQL Server source: what it defines, and its text.
    struct SourceTable
    {
        db::internal::SqlTableDefinition definition;
        QString statement;
    };
    // Every CREATE TABLE statement of the schema's SQL Server source, in script order.
    static SchemaResult<std::vector<SourceTable>> sourceTables(const QString &scriptName);

    // The CREATE TABLE statement of `table` (any case) in the SQL Server source of a schema, for
    // a service that creates a host table an older database lacks.
    static SchemaResult<QString> tableStatement(const QString &scriptName, const QString &table);

    // The statements that install the schema "account", "meta" or "system" on a backend: its SQL
    // Server source translated by the dialect, then the backend's own additions, if any.
    static SchemaResult<QStringList> scriptStatements(db::SqlTarget target,
                                                      const QString &scriptName);

    // Installs one schema ("account", "meta", "system") on an open SQLite database.
    static SchemaResult<bool> runScript(sqlite3 *db, const QString &scriptName);
};

} // namespace perikon::suite
