// The PostgreSQL path of SchemaInstaller: the suite's databases as schemas of one database.
#include "suite/schema/SchemaInstaller.h"

#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/PostgresCompat.h"
#include "perikon/data/db/PostgresDriver.h"
#include "perikon/data/db/SqlLiteral.h"

#include <QFile>
#include <QRegularExpression>

namespace perikon::suite {

using namespace Qt::StringLiterals;

namespace {

// The spelling of every column a script declares, as (table in lower case, spelling) pairs; the
// columns a view names with AS belong to no table. The driver gives result columns these names
// back, since the catalog only knows them in lower case.
QList<QPair<QString, QString>> declaredSpellings(const QString &script)
{
    QList<QPair<QString, QString>> spellings;
    static const QRegularExpression table(u"CREATE TABLE (\\w+) \\((.*?)\\n\\);"_s,
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column(u"^\\s+([A-Za-z_]\\w*)\\s"_s,
                                           QRegularExpression::MultilineOption);
    static const QStringList notColumns
        = {u"primary"_s, u"unique"_s, u"check"_s, u"constraint"_s, u"foreign"_s, u"default"_s};
    for (auto blocks = table.globalMatch(script); blocks.hasNext();) {
        const auto block = blocks.next();
        const QString name = block.captured(1).toLower();
        for (auto lines = column.globalMatch(block.captured(2) + u'\n'); lines.hasNext();) {
            const QString word = lines.next().captured(1);
            if (!notColumns.contains(word.toLower()))
                spellings.append({name, word});
        }
    }
    static const QRegularExpression view(u"CREATE VIEW \\w+ AS(.*?);"_s,
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression alias(u"\\bAS\\s+([A-Za-z_]\\w*)"_s);
    for (auto views = view.globalMatch(script); views.hasNext();) {
        const QString body = views.next().captured(1);
        for (auto aliases = alias.globalMatch(body); aliases.hasNext();)
            spellings.append({QString(), aliases.next().captured(1)});
    }
    return spellings;
}

class PostgresInstall
{
public:
    explicit PostgresInstall(db::PostgresDriver &driver)
        : m_driver(driver)
    {}

    bool schemaExists(const QString &schema)
    {
        return m_driver.query(u"SELECT 1 FROM pg_namespace WHERE nspname = $1"_s, {schema})->next();
    }

    void createSchema(const QString &schema, const QString &scriptName)
    {
        const auto source = SchemaInstaller::scriptText(u"mssql"_s, scriptName);
        const auto statements
            = SchemaInstaller::scriptStatements(db::SqlTarget::Postgres, scriptName);
        if (!source || !statements)
            throw db::DbError(db::DbError::ProviderError,
                              source ? statements.error() : source.error());
        m_driver.execute(u"CREATE SCHEMA "_s + m_driver.quoteIdentifier(schema));
        m_driver.execute(u"SET LOCAL search_path TO "_s + m_driver.quoteIdentifier(schema)
                         + u", public"_s);
        for (const QString &statement : *statements)
            m_driver.execute(statement);
        recordSpellings(*source);
    }

    void recordSpellings(const QString &script)
    {
        QStringList rows;
        for (const auto &[table, spelling] : declaredSpellings(script))
            rows << u"(%1, %2)"_s.arg(db::sqlQuoted(table), db::sqlQuoted(spelling));
        if (!rows.isEmpty())
            m_driver.execute(u"INSERT INTO public.qz_spelling (table_name, spelling) VALUES "_s
                             + rows.join(u", "_s) + u" ON CONFLICT DO NOTHING"_s);
    }

private:
    db::PostgresDriver &m_driver;
};

QString registerAccountSql(const QString &account, const QString &year)
{
    const QString acc = db::sqlQuoted(account);
    const QString start = db::sqlQuoted(year + u"-01-01 00:00:00"_s);
    QString sql = u"INSERT INTO qzsystem.UA_Account (cAcc_Id, cAcc_Name, iYear, cUnitName, "
                  "dCreateDate) VALUES (%1, %2, %3, %4, %5) ON CONFLICT DO NOTHING;\n"_s.arg(
                      acc, db::sqlQuoted(u"演示账套 "_s + account), QString::number(year.toInt()),
                      db::sqlQuoted(u"演示单位"_s), start);
    for (const char *subsystem : {"AA", "CS"}) {
        sql += u"INSERT INTO qzsystem.UA_Account_Sub (cAcc_Id, iYear, cSub_Id, bClosing, "
               "iModiPeriod, dSubSysUsed, cUser_Id, dSubOriDate) VALUES (%1, %2, '%3', 0, 0, %4, "
               "'admin', %4) ON CONFLICT DO NOTHING;\n"_s.arg(acc, QString::number(year.toInt()),
                                                              QLatin1StringView(subsystem), start);
    }
    return sql;
}

} // namespace

SchemaResult<bool> SchemaInstaller::createPostgresDatabases(const QString &connectionString,
                                                            bool overwrite)
{
    using Result = SchemaResult<bool>;
    const auto catalog = accountCatalogOf(connectionString);
    if (!catalog)
        return Result::failure(u"The connection string names no account database "
                               "(Initial Catalog=QZDATA_<account>_<year>)."_s);
    const QString account = accountDatabaseName(catalog->account, catalog->year).toLower();
    const QString meta = metaDatabaseName(catalog->account).toLower();
    const QString system = systemDatabaseName();

    // The account schema does not exist yet, so the connection starts in public.
    static const QRegularExpression catalogPart(u"initial catalog\\s*=[^;]*;?"_s,
                                                QRegularExpression::CaseInsensitiveOption);
    const db::ConnectionString server(QString(connectionString).remove(catalogPart));
    db::PostgresDriver driver;
    try {
        driver.open(server);
        driver.setStatementTimeout(0);
        driver.beginTransaction();
        // Two installers on one database wait for each other instead of colliding.
        driver.query(u"SELECT pg_advisory_xact_lock(hashtext('perikon schema'))"_s);
        db::installPostgresCompat(driver);
        PostgresInstall install(driver);
        if (install.schemaExists(account)) {
            if (!overwrite) {
                driver.rollback();
                return Result::failure(u"The account database %1 already exists in %2."_s.arg(
                    account, server.database()));
            }
            driver.execute(u"DROP SCHEMA "_s + driver.quoteIdentifier(account) + u" CASCADE"_s);
        }
        if (!install.schemaExists(system))
            install.createSchema(system, u"system"_s);
        driver.execute(registerAccountSql(catalog->account, catalog->year));
        if (!install.schemaExists(meta))
            install.createSchema(meta, u"meta"_s);
        install.createSchema(account, u"account"_s);
        driver.commit();
    } catch (const db::DbError &error) {
        return Result::failure(u"Cannot create %1: %2"_s.arg(account, error.description()));
    }
    return true;
}

} // namespace perikon::suite
