#include "suite/schema/SchemaInstaller.h"

#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/SqlLiteral.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <memory>

namespace perikon::suite {

namespace {

struct SqliteCloser
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

QString sqliteMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

SchemaResult<bool> execute(sqlite3 *db, const QByteArray &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : sqliteMessage(db);
        sqlite3_free(message);
        return SchemaResult<bool>::failure(text);
    }
    return true;
}

SchemaResult<bool> removeDatabaseFile(const QString &path)
{
    for (const QString &suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        QFile file(path + suffix);
        if (file.exists() && !file.remove())
            return SchemaResult<bool>::failure(
                QStringLiteral("Cannot remove %1: %2").arg(file.fileName(), file.errorString()));
    }
    return true;
}

SchemaResult<SqliteHandle> openDatabase(const QString &path)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        return SchemaResult<SqliteHandle>::failure(
            QStringLiteral("Cannot open %1: %2")
                .arg(path, raw ? sqliteMessage(raw) : QString::fromUtf8(sqlite3_errstr(rc))));
    return SchemaResult<SqliteHandle>(std::move(db));
}

// Creates one database file from its script inside a transaction; a failed script leaves no
// half-built file behind.
SchemaResult<bool> createFromScript(const QString &path, const QString &scriptName)
{
    SchemaResult<bool> result = true;
    {
        auto db = openDatabase(path);
        if (!db)
            return SchemaResult<bool>::failure(db.error());
        sqlite3 *handle = db->get();
        result = execute(handle, "BEGIN");
        if (result)
            result = SchemaInstaller::runScript(handle, scriptName);
        if (result)
            result = execute(handle, "COMMIT");
        else
            execute(handle, "ROLLBACK"); // the script's own failure is the one worth reporting
    }
    if (!result) {
        removeDatabaseFile(path);
        return SchemaResult<bool>::failure(
            QStringLiteral("Cannot create %1: %2").arg(QFileInfo(path).fileName(), result.error()));
    }
    return true;
}

QByteArray quoted(const QString &text)
{
    return db::sqlQuoted(text).toUtf8();
}

// Registers the account year and its enabled subsystems in the system database.
QByteArray registerAccountSql(const QString &account, const QString &year)
{
    const QByteArray acc = quoted(account);
    const QByteArray yr = QByteArray::number(year.toInt());
    const QByteArray start = quoted(year + QStringLiteral("-01-01 00:00:00"));
    QByteArray sql
        = "INSERT OR IGNORE INTO UA_Account (cAcc_Id, cAcc_Name, iYear, cUnitName, dCreateDate)"
          " VALUES ("
          + acc + ", " + quoted(QStringLiteral("演示账套 ") + account) + ", " + yr + ", "
          + quoted(QStringLiteral("演示单位")) + ", " + start + ");\n";
    for (const char *subsystem : {"AA", "CS"}) {
        sql += "INSERT OR IGNORE INTO UA_Account_Sub (cAcc_Id, iYear, cSub_Id, bClosing, iModiPeriod,"
               " dSubSysUsed, cUser_Id, dSubOriDate) VALUES ("
               + acc + ", " + yr + ", '" + subsystem + "', 0, 0, " + start + ", 'admin', " + start
               + ");\n";
    }
    return sql;
}

} // namespace

QString SchemaInstaller::accountDatabaseName(const QString &account, const QString &year)
{
    return QStringLiteral("QZDATA_%1_%2").arg(account, year);
}

QString SchemaInstaller::metaDatabaseName(const QString &account)
{
    return db::ConnectionString::metaDatabaseOf(account);
}

QString SchemaInstaller::systemDatabaseName()
{
    return QStringLiteral("qzsystem");
}

std::optional<AccountCatalog> SchemaInstaller::accountCatalogOf(const QString &connectionText)
{
    // The account database named as the catalog, "QZDATA_<account>_<year>".
    const QString catalog = db::ConnectionString(connectionText).accountCatalog();
    static const QRegularExpression shape(
        QStringLiteral("^QZDATA_([A-Za-z0-9]{3})_(\\d{4})(?![0-9A-Za-z])"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = shape.match(catalog);
    if (!match.hasMatch())
        return std::nullopt;
    return AccountCatalog{match.captured(1), match.captured(2)};
}

SchemaResult<SqliteDatabaseFiles> SchemaInstaller::createSqliteDatabases(const QString &folder,
                                                                         const QString &account,
                                                                         const QString &year,
                                                                         bool overwrite)
{
    using Result = SchemaResult<SqliteDatabaseFiles>;
    static const QRegularExpression accountShape(QStringLiteral("^[A-Za-z0-9]{3}$"));
    static const QRegularExpression yearShape(QStringLiteral("^\\d{4}$"));
    if (!accountShape.match(account).hasMatch())
        return Result::failure(
            QStringLiteral("The account number must be three letters or digits, not \"%1\".")
                .arg(account));
    if (!yearShape.match(year).hasMatch())
        return Result::failure(
            QStringLiteral("The year must have four digits, not \"%1\".").arg(year));

    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder))
        return Result::failure(QStringLiteral("Cannot create the folder %1.").arg(folder));

    SqliteDatabaseFiles files;
    files.account
        = dir.absoluteFilePath(accountDatabaseName(account, year) + QStringLiteral(".db"));
    files.meta = dir.absoluteFilePath(metaDatabaseName(account) + QStringLiteral(".db"));
    files.system = dir.absoluteFilePath(systemDatabaseName() + QStringLiteral(".db"));

    if (QFileInfo::exists(files.account)) {
        if (!overwrite)
            return Result::failure(
                QStringLiteral("The account database %1 already exists.").arg(files.account));
        if (auto removed = removeDatabaseFile(files.account); !removed)
            return Result::failure(removed.error());
    }

    if (!QFileInfo::exists(files.system)) {
        if (auto created = createFromScript(files.system, QStringLiteral("system")); !created)
            return Result::failure(created.error());
    }
    {
        auto db = openDatabase(files.system);
        if (!db)
            return Result::failure(db.error());
        if (auto registered = execute(db.value().get(), registerAccountSql(account, year));
            !registered)
            return Result::failure(QStringLiteral("Cannot register the account in %1: %2")
                                       .arg(files.system, registered.error()));
    }
    if (!QFileInfo::exists(files.meta)) {
        if (auto created = createFromScript(files.meta, QStringLiteral("meta")); !created)
            return Result::failure(created.error());
    }
    if (auto created = createFromScript(files.account, QStringLiteral("account")); !created)
        return Result::failure(created.error());
    return files;
}

SchemaResult<bool> SchemaInstaller::runScript(sqlite3 *db, const QString &scriptName)
{
    const auto statements = scriptStatements(db::SqlTarget::Sqlite, scriptName);
    if (!statements)
        return SchemaResult<bool>::failure(statements.error());
    for (const QString &statement : *statements) {
        if (auto done = execute(db, statement.toUtf8()); !done)
            return done;
    }
    return true;
}

} // namespace perikon::suite
