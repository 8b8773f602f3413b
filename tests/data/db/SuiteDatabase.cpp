#include "SuiteDatabase.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqliteCompat.h"
#include "perikon/data/db/SqliteStatementHandle.h"
#include "suite/schema/SchemaInstaller.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// One database of the suite, from the schema the installer translates for SQLite.
std::optional<QString> createFile(const QString &path, const QString &scriptName)
{
    sqlite3 *db = nullptr;
    std::optional<QString> error;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr)
        != SQLITE_OK)
        error = u"cannot create "_s + path;
    // A throwaway database: no need to wait for the disk after every schema statement.
    else if (sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;", nullptr,
                          nullptr, nullptr)
             != SQLITE_OK)
        error = u"cannot set up "_s + path;
    else if (auto done = perikon::suite::SchemaInstaller::runScript(db, scriptName); !done)
        error = scriptName + u": "_s + done.error();
    sqlite3_close(db);
    return error;
}

} // namespace

SuiteDatabase::~SuiteDatabase()
{
    sqlite3_close(m_db);
}

std::optional<QString> SuiteDatabase::create(const QString &folder)
{
    const QDir dir(folder);
    const QString account = dir.filePath(u"QZDATA_001_2026.db"_s);
    const QString meta = dir.filePath(u"QZMeta_001.db"_s);
    const QString system = dir.filePath(u"qzsystem.db"_s);
    if (auto error = createFile(account, u"account"_s))
        return error;
    if (auto error = createFile(meta, u"meta"_s))
        return error;
    if (auto error = createFile(system, u"system"_s))
        return error;
    if (sqlite3_open_v2(account.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        return u"cannot open "_s + account;
    const QString attach
        = u"PRAGMA synchronous=OFF; ATTACH DATABASE '%1' AS QZMeta_001; "
          "ATTACH DATABASE '%2' AS qzsystem; ATTACH DATABASE ':memory:' AS tempdb;"_s.arg(meta,
                                                                                          system);
    if (auto error = execScript(attach))
        return error;
    try {
        perikon::db::installSqlServerCompat(m_db);
    } catch (const perikon::db::DbError &e) {
        return e.description();
    }
    return std::nullopt;
}

std::optional<QString> SuiteDatabase::execScript(const QString &sql) const
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return std::nullopt;
    const QString error = QString::fromUtf8(message);
    sqlite3_free(message);
    return error;
}

QString SuiteDatabase::run(const QString &sql) const
{
    perikon::db::SqliteStatementHandle handle;
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    if (perikon::db::prepareSqliteStatement(m_db, utf8.constData(), int(utf8.size()), handle, &tail)
        != SQLITE_OK)
        return u"ERROR: "_s + QString::fromUtf8(sqlite3_errmsg(m_db));
    if (!QByteArray(tail).trimmed().isEmpty())
        return u"ERROR: more than one statement"_s;
    sqlite3_stmt *const statement = handle.get();
    QStringList rows;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList values;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, i));
            values << (text ? QString::fromUtf8(text) : u"NULL"_s);
        }
        rows << values.join(u',');
    }
    if (rc != SQLITE_DONE)
        return u"ERROR: "_s + QString::fromUtf8(sqlite3_errmsg(m_db));
    return rows.join(u';');
}
