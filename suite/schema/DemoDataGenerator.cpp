#include "suite/schema/DemoDataGenerator.h"

#include "suite/schema/DemoLoader.h"
#include "suite/schema/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace perikon::suite {

namespace {

using internal::SqliteStatement;

void execSql(sqlite3 *db, const std::string &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

class SqliteDemoRows final : public internal::DemoRows
{
public:
    SqliteDemoRows(sqlite3 *db, const std::string &sql)
        : m_statement(db, sql)
    {}
    void text(int index, std::string_view value) override { m_statement.text(index, value); }
    void integer(int index, long long value) override { m_statement.integer(index, value); }
    void real(int index, double value) override { m_statement.real(index, value); }
    void null(int index) override { m_statement.null(index); }
    void run() override { m_statement.run(); }

private:
    SqliteStatement m_statement;
};

class SqliteDemoSink final : public internal::DemoRowSink
{
public:
    explicit SqliteDemoSink(sqlite3 *db)
        : m_db(db)
    {}

    std::unique_ptr<internal::DemoRows> rows(std::string_view table,
                                             std::string_view columns) override
    {
        std::string marks = "?";
        for (char c : columns) {
            if (c == ',')
                marks += ",?";
        }
        return std::make_unique<SqliteDemoRows>(m_db, "INSERT INTO " + std::string(table) + " ("
                                                          + std::string(columns) + ") VALUES ("
                                                          + marks + ")");
    }
    void exec(const std::string &sql) override { execSql(m_db, sql); }

private:
    sqlite3 *m_db;
};

long long singleInteger(sqlite3 *db, const char *sql)
{
    SqliteStatement query(db, sql);
    return query.nextRow() ? query.columnInteger(0) : 0;
}

// The row-version triggers and secondary indexes of the bulk-loaded tables. Dropping them for
// the load and recreating them afterwards is several times faster than maintaining them row by
// row; the loader writes qzts itself.
std::vector<std::pair<std::string, std::string>> bulkLoadObjects(sqlite3 *db)
{
    SqliteStatement query(
        db, "SELECT type, name, sql FROM sqlite_master WHERE type IN ('trigger', 'index')"
            " AND sql IS NOT NULL AND tbl_name IN ('Crm_Contact', 'Crm_Contact_extradefine',"
            " 'Customer', 'Crm_Opportunity') ORDER BY type, name");
    std::vector<std::pair<std::string, std::string>> objects;
    while (query.nextRow())
        objects.emplace_back(query.columnText(0) + " " + query.columnText(1), query.columnText(2));
    return objects;
}

// Two clerks beside the administrator, so the list's rights and row rules show: Wang Fang may
// use every contact function but reads only the contacts she is responsible for (employee 1001)
// and those without a customer; Li Qiang reads every contact and may change none.
void addDemoClerks(sqlite3 *db, const QString &systemDbPath)
{
    if (QFileInfo::exists(systemDbPath)) {
        const std::string attach = "ATTACH DATABASE '"
                                   + QString(systemDbPath)
                                         .replace(QStringLiteral("'"), QStringLiteral("''"))
                                         .toStdString()
                                   + "' AS demo_system";
        execSql(db, attach);
        execSql(db, "INSERT OR IGNORE INTO demo_system.UA_User (cUser_Id, cUser_Name, bAdmin) "
                    "VALUES ('wangfang', '王芳', 0), ('liqiang', '李强', 0)");
        execSql(db, "DETACH DATABASE demo_system");
    }
    execSql(db, "INSERT OR IGNORE INTO qz_UserFunction (cUser_Id, cFuncId) VALUES "
                "('wangfang', 'CS020201'), ('wangfang', 'CS020202'), ('wangfang', 'CS020203'), "
                "('wangfang', 'CS020204'), ('wangfang', 'CS020205'), ('liqiang', 'CS020202')");
    execSql(db, "INSERT OR IGNORE INTO qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) VALUES "
                "('wangfang', 'person', '', '1001'), "
                "('liqiang', 'person', '', '*'), ('liqiang', 'customer', '', '*')");
}

} // namespace

SchemaResult<DemoDataSummary> DemoDataGenerator::generate(const QString &accountDbPath,
                                                          int contactCount) const
{
    using Result = SchemaResult<DemoDataSummary>;
    if (contactCount < 0)
        return Result::failure(QStringLiteral("The number of demo contacts cannot be negative."));
    if (!QFileInfo::exists(accountDbPath))
        return Result::failure(
            QStringLiteral("The account database %1 does not exist.").arg(accountDbPath));

    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(accountDbPath).constData(), &raw,
                                   SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        return Result::failure(QStringLiteral("Cannot open %1: %2")
                                   .arg(accountDbPath, QString::fromUtf8(sqlite3_errstr(rc))));

    bool inTransaction = false;
    try {
        execSql(
            raw,
            "PRAGMA synchronous = OFF; PRAGMA cache_size = -131072; PRAGMA temp_store = MEMORY;");
        if (singleInteger(
                raw, "SELECT (SELECT COUNT(*) FROM Crm_Contact) + (SELECT COUNT(*) FROM Customer)")
            > 0)
            return Result::failure(
                QStringLiteral("%1 already holds customers or contacts; demo data goes into a "
                               "new database only.")
                    .arg(accountDbPath));
        execSql(raw, "BEGIN IMMEDIATE");
        inTransaction = true;
        const auto objects = bulkLoadObjects(raw);
        for (const auto &[typeAndName, sql] : objects)
            execSql(raw, "DROP " + typeAndName);

        SqliteDemoSink sink(raw);
        long long lastVersion = 0;
        const DemoDataSummary summary = internal::loadDemoRows(
            sink, m_seed, contactCount,
            singleInteger(raw, "SELECT iLastTs FROM qz_RowVersion WHERE ID = 1"), lastVersion);
        execSql(raw, "UPDATE qz_RowVersion SET iLastTs = " + std::to_string(lastVersion)
                         + " WHERE ID = 1");

        for (const auto &[typeAndName, sql] : objects)
            execSql(raw, sql);
        execSql(raw, "COMMIT");
        inTransaction = false;
        // Outside the transaction: a database cannot be attached inside one.
        addDemoClerks(raw, QFileInfo(accountDbPath).dir().filePath(QStringLiteral("qzsystem.db")));
        return summary;
    } catch (const std::exception &error) {
        if (inTransaction)
            sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr,
                         nullptr); // report the load's own failure
        return Result::failure(QStringLiteral("Demo data for %1 failed: %2")
                                   .arg(accountDbPath, QString::fromUtf8(error.what())));
    }
}

} // namespace perikon::suite
