#include "GoldenCases.h"
#include "SuiteDatabase.h"

#include "support/TestDatabase.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/PostgresDriver.h"
#include "perikon/data/db/SqlDialect.h"

#include <QTemporaryDir>
#include <QTest>

using namespace perikon::db;
using namespace Qt::StringLiterals;

class TestSqlDialect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void translatesToSqlite_data() { goldenRows(); }
    void translatesToSqlite();
    void sqlServerTargetKeepsTextByteForByte_data() { goldenRows(); }
    void sqlServerTargetKeepsTextByteForByte();
    void translationRunsOnSuiteDatabase_data() { goldenRows(); }
    void translationRunsOnSuiteDatabase();
    void translatesToPostgres_data() { goldenRows(); }
    void translatesToPostgres();
    void translationRunsOnPostgres_data() { goldenRows(); }
    void translationRunsOnPostgres();
    void cleanupTestCase() { m_server.reset(); }

    void refusesWhatItCannotTranslate_data();
    void refusesWhatItCannotTranslate();
    void emptyTextHasNoSteps();

private:
    void goldenRows();

    std::vector<GoldenCase> m_cases;
    // One server database for every case; each case runs in a transaction that is rolled back.
    std::unique_ptr<perikon::testing::TestDatabase> m_server;
};

namespace {

// Rows as SuiteDatabase::run renders them: "a,b;c,d", NULL as "NULL", or "ERROR: " and the text.
QString runOnPostgres(PostgresDriver &driver, const QString &sql)
{
    try {
        auto cursor = driver.query(sql);
        QStringList rows;
        while (cursor->next()) {
            QStringList values;
            for (int i = 0; i < int(cursor->columns().size()); ++i) {
                const QVariant value = cursor->value(i);
                values << (value.isNull() ? u"NULL"_s : value.toString());
            }
            rows << values.join(u',');
        }
        return rows.join(u';');
    } catch (const DbError &e) {
        return u"ERROR: "_s + e.description();
    }
}

} // namespace

void TestSqlDialect::initTestCase()
{
    m_cases = loadGoldenCases(QStringLiteral(PERIKON_TEST_SOURCE_DIR) + u"/golden"_s);
    // Every statement shape the component writes has a case; a lost file must not pass quietly.
    QVERIFY2(m_cases.size() >= 120, qPrintable(QString::number(m_cases.size())));
}

void TestSqlDialect::goldenRows()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < m_cases.size(); ++i) {
        const GoldenCase &c = m_cases[i];
        QTest::addRow("%s/%s", qPrintable(c.file), qPrintable(c.name)) << int(i);
    }
}

void TestSqlDialect::translatesToSqlite()
{
    QFETCH(int, index);
    const GoldenCase &c = m_cases[index];
    QVERIFY2(!c.sqlServer.isEmpty() && !c.sqlite.isEmpty(), "case without input or expectation");
    QString actual;
    try {
        actual = describeSteps(SqlDialect(SqlTarget::Sqlite).translate(c.sqlServer));
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.description()));
    }
    QCOMPARE(actual, c.sqlite);
}

void TestSqlDialect::sqlServerTargetKeepsTextByteForByte()
{
    QFETCH(int, index);
    const QString &input = m_cases[index].sqlServer;
    const auto steps = SqlDialect(SqlTarget::SqlServer).translate(input);
    QCOMPARE(steps.size(), std::size_t(1));
    QCOMPARE(steps[0].kind, TranslatedStatement::Kind::Sql);
    QCOMPARE(steps[0].sql.toUtf8(), input.toUtf8());
}

void TestSqlDialect::translationRunsOnSuiteDatabase()
{
    QFETCH(int, index);
    const GoldenCase &c = m_cases[index];
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    SuiteDatabase db;
    if (auto error = db.create(folder.path()))
        QFAIL(qPrintable(*error));
    if (!c.setup.isEmpty()) {
        if (auto error = db.execScript(c.setup))
            QFAIL(qPrintable(u"setup: "_s + *error));
    }

    std::vector<TranslatedStatement> steps;
    try {
        steps = SqlDialect(SqlTarget::Sqlite).translate(c.sqlServer);
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.description()));
    }
    QString lastRows;
    for (const TranslatedStatement &step : steps) {
        switch (step.kind) {
        case TranslatedStatement::Kind::Sql: {
            lastRows = db.run(step.sql);
            QVERIFY2(!lastRows.startsWith(u"ERROR"_s), qPrintable(lastRows + u" in "_s + step.sql));
            break;
        }
        case TranslatedStatement::Kind::IfExists: {
            const QString found = db.run(step.probe);
            QVERIFY2(!found.startsWith(u"ERROR"_s), qPrintable(found + u" in "_s + step.probe));
            if (!found.isEmpty()) {
                const QString result = db.run(step.sql);
                QVERIFY2(!result.startsWith(u"ERROR"_s), qPrintable(result + u" in "_s + step.sql));
            }
            break;
        }
        case TranslatedStatement::Kind::UseDatabase:
        case TranslatedStatement::Kind::Procedure:
            // run by the connection and the suite; their names and arguments are the golden's
            break;
        }
    }

    if (c.expectsRows)
        QCOMPARE(lastRows, c.rows);
    if (!c.check.isEmpty()) {
        const qsizetype arrow = c.check.lastIndexOf(u"\n=> "_s);
        QVERIFY2(arrow > 0, "check without \"=> expected rows\"");
        QCOMPARE(db.run(c.check.left(arrow)), c.check.mid(arrow + 4));
    }
}

void TestSqlDialect::translatesToPostgres()
{
    QFETCH(int, index);
    const GoldenCase &c = m_cases[index];
    QVERIFY2(!c.postgres.isEmpty(), "case without PostgreSQL steps");
    QString actual;
    try {
        actual = describeSteps(SqlDialect(SqlTarget::Postgres).translate(c.sqlServer));
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.description()));
    }
    QCOMPARE(actual, c.postgres);
}

void TestSqlDialect::translationRunsOnPostgres()
{
    if (perikon::testing::TestDatabase::serverConnectionString().isEmpty())
        QSKIP("PERIKON_TEST_PG is not set: the PostgreSQL statements are checked as text only.");
    if (!m_server) {
        m_server = std::make_unique<perikon::testing::TestDatabase>(
            0, 7, perikon::testing::Backend::Postgres);
        QVERIFY2(m_server->ok(), qPrintable(m_server->error()));
    }
    QFETCH(int, index);
    const GoldenCase &c = m_cases[index];
    PostgresDriver driver;
    driver.open(ConnectionString(m_server->connectionString()));
    driver.beginTransaction();
    const QString setup = c.postgresSetup.isEmpty() ? c.setup : c.postgresSetup;
    if (!setup.isEmpty()) {
        try {
            driver.execute(setup);
        } catch (const DbError &e) {
            QFAIL(qPrintable(u"setup: "_s + e.description()));
        }
    }
    std::vector<TranslatedStatement> steps;
    try {
        steps = SqlDialect(SqlTarget::Postgres).translate(c.sqlServer);
    } catch (const DbError &e) {
        QFAIL(qPrintable(e.description()));
    }
    QString lastRows;
    for (const TranslatedStatement &step : steps) {
        if (step.kind == TranslatedStatement::Kind::Sql) {
            lastRows = runOnPostgres(driver, step.sql);
            QVERIFY2(!lastRows.startsWith(u"ERROR"_s), qPrintable(lastRows));
        } else if (step.kind == TranslatedStatement::Kind::IfExists) {
            const QString found = runOnPostgres(driver, step.probe);
            QVERIFY2(!found.startsWith(u"ERROR"_s), qPrintable(found));
            if (!found.isEmpty()) {
                const QString result = runOnPostgres(driver, step.sql);
                QVERIFY2(!result.startsWith(u"ERROR"_s), qPrintable(result));
            }
        }
    }
    if (c.expectsPostgresRows)
        QCOMPARE(lastRows, c.postgresRows);
    else if (c.expectsRows)
        QCOMPARE(lastRows, c.rows);
    const QString check = c.postgresCheck.isEmpty() ? c.check : c.postgresCheck;
    if (!check.isEmpty()) {
        const qsizetype arrow = check.lastIndexOf(u"\n=> "_s);
        QVERIFY2(arrow > 0, "check without \"=> expected rows\"");
        QCOMPARE(runOnPostgres(driver, check.left(arrow)), check.mid(arrow + 4));
    }
    driver.rollback();
}

void TestSqlDialect::refusesWhatItCannotTranslate_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("statement"); // the refused statement, as the message names it
    auto row = [](const char *name, const QString &sql, const QString &reason,
                  const QString &statement = {}) {
        QTest::newRow(name) << sql << reason << (statement.isEmpty() ? sql : statement);
    };

    row("unknown function", u"select charindex(N'-', cContactCode) from Crm_Contact"_s,
        u"unknown function charindex"_s);
    row("function in a subquery",
        u"select * from Customer where cCusCode in (select datediff(day, dCreateDate, getdate()) from Crm_Contact)"_s,
        u"unknown function datediff"_s);
    row("variable", u"select @code = cContactCode from Crm_Contact"_s, u"variable @code"_s);
    row("declare", u"declare @n int"_s, u"statement declare"_s);
    row("transaction", u"begin tran"_s, u"statement begin"_s);
    row("merge", u"merge Customer using Crm_Contact on 1=1"_s, u"statement merge"_s);
    row("select into", u"select * into Crm_Copy from Crm_Contact"_s, u"SELECT ... INTO"_s);
    row("top percent", u"select top 10 percent * from Crm_Contact"_s, u"PERCENT"_s);
    row("top outside select", u"update top (5) Crm_Contact set cMemo=null"_s,
        u"T-SQL keyword TOP"_s);
    row("delete top", u"delete top (5) from Crm_Contact"_s, u"DELETE TOP"_s);
    row("if not exists",
        u"if not exists (select 1 from Customer) insert into Customer (cCusCode) values (N'C9')"_s,
        u"IF NOT EXISTS"_s);
    row("if else",
        u"if exists (select 1 from Customer) update Customer set cCusHand=null else insert into Customer (cCusCode) values (N'C9')"_s,
        u"IF ... ELSE"_s,
        u"if exists (select 1 from Customer) update Customer set cCusHand=null else"_s);
    row("update from",
        u"update c set cCusPerson=N'x' from Customer c join Crm_Contact t on t.cCusCode=c.cCusCode"_s,
        u"UPDATE ... FROM"_s);
    row("delete alias from", u"delete c from Customer c where c.iId=1"_s, u"DELETE alias FROM"_s);
    row("cross apply", u"select * from Customer cross apply Crm_Contact"_s,
        u"T-SQL keyword APPLY"_s);
    row("global temporary table", u"select * from ##scratch"_s,
        u"global temporary table ##scratch"_s);
    row("temporary table of another database", u"select * from QZMeta_001..#scratch"_s,
        u"temporary table in QZMeta_001"_s);
    row("unknown column type", u"create table Rpt_X (cXml xml)"_s, u"column type xml"_s);
    row("type with a word for a length", u"create table Rpt_X (c nchar(max))"_s,
        u"column type nchar(max)"_s);
    row("computed column", u"create table Rpt_X (a int, b as a * 2)"_s, u"computed column b"_s);
    row("check constraint", u"create table Rpt_X (a int check (a > 0))"_s,
        u"column option CHECK of a"_s);
    row("foreign key",
        u"create table Rpt_X (a int, foreign key (a) references Crm_BaseCode (ID))"_s,
        u"table constraint FOREIGN"_s);
    row("references", u"create table Rpt_X (a int references Crm_BaseCode (ID))"_s,
        u"column option REFERENCES of a"_s);
    row("named check", u"create table Rpt_X (a int, constraint CK_a check (a > 0))"_s,
        u"table constraint CHECK"_s);
    row("column collation", u"create table Rpt_X (c nvarchar(5) collate Chinese_PRC_CI_AS)"_s,
        u"column option COLLATE of c"_s);
    row("storage option", u"create table Rpt_X (a int) on [PRIMARY]"_s,
        u"CREATE TABLE option on [PRIMARY]"_s);
    row("table options", u"create table Rpt_X (a int) with (data_compression = page)"_s,
        u"CREATE TABLE option with"_s);
    row("identity seed", u"create table Rpt_X (ID int identity(100, 1))"_s, u"IDENTITY(100, 1)"_s);
    row("identity on text", u"create table Rpt_X (c nvarchar(5) identity)"_s,
        u"IDENTITY on a column of type nvarchar(5)"_s);
    row("identity beside another key",
        u"create table Rpt_X (ID int identity, c nvarchar(5) primary key)"_s,
        u"IDENTITY column beside a PRIMARY KEY of other columns"_s);
    row("two row versions", u"create table Rpt_X (a timestamp, b rowversion)"_s,
        u"a second row-version column"_s);
    row("row version under another name", u"create table Rpt_X (iVersion rowversion)"_s,
        u"row-version column iVersion not named qzts"_s);
    row("schema other than dbo", u"create table sales.Rpt_X (a int)"_s,
        u"table name sales.Rpt_X"_s);
    row("alter column", u"alter table Crm_BaseCode alter column cName nvarchar(90)"_s,
        u"ALTER TABLE without ADD"_s);
    row("alter drop column", u"alter table Crm_BaseCode drop column cName"_s,
        u"ALTER TABLE without ADD"_s);
    row("alter add constraint",
        u"alter table Crm_BaseCode add constraint DF_x default 0 for bEdit"_s,
        u"ALTER TABLE ADD CONSTRAINT"_s);
    row("alter add identity", u"alter table Crm_BaseCode add iNo int identity"_s,
        u"ALTER TABLE ADD of a key or IDENTITY column iNo"_s);
    row("filtered index", u"create index ix_x on Crm_BaseCode (cType) where cType = N'Sex'"_s,
        u"CREATE INDEX option where"_s);
    row("index with included columns",
        u"create index ix_x on Crm_BaseCode (cType) include (cName)"_s,
        u"CREATE INDEX option include"_s);
    row("create trigger", u"create trigger tr_x on Crm_BaseCode after update as select 1"_s,
        u"statement CREATE trigger"_s);
    row("create procedure", u"create procedure p_x as select 1"_s, u"statement CREATE procedure"_s);
    row("if exists then drop view",
        u"if exists (select 1 from sysobjects where name = N'v_x') drop view v_x"_s,
        u"IF EXISTS followed by drop"_s);
    row("refused table stops the batch",
        u"create table Rpt_Ok (a int); create table Rpt_X (a int check (a > 0))"_s,
        u"column option CHECK of a"_s, u"create table Rpt_X (a int check (a > 0))"_s);
    row("convert style", u"select convert(varchar(10), dBirthday, 111) from Crm_Contact"_s,
        u"CONVERT style 111"_s);
    row("convert to date", u"select convert(datetime, N'2026-01-01')"_s,
        u"conversion to type datetime"_s);
    row("unterminated string", u"select * from Customer where cCusCode = N'C0001"_s,
        u"unterminated"_s);
    row("unbalanced parenthesis", u"select count(* from Customer"_s, u"unbalanced parentheses"_s);
    row("literal right after a literal", u"select * from Crm_BaseCode where cType = ''N'Sex'"_s,
        u"a literal right after another one"_s);
    row("named procedure parameter", u"exec sp_UniteArchiveProxy @cTable = N'Crm_Contact'"_s,
        u"procedure argument"_s);
    row("second statement unknown", u"select 1; waitfor delay '00:00:01'"_s, u"statement waitfor"_s,
        u"waitfor delay '00:00:01'"_s);
}

void TestSqlDialect::refusesWhatItCannotTranslate()
{
    QFETCH(QString, sql);
    QFETCH(QString, reason);
    QFETCH(QString, statement);
    try {
        SqlDialect(SqlTarget::Sqlite).translate(sql);
        QFAIL("translated");
    } catch (const DbError &e) {
        QCOMPARE(e.number(), DbError::UnsupportedStatement);
        QVERIFY2(e.description().contains(reason, Qt::CaseInsensitive),
                 qPrintable(e.description()));
        // the caller's log must show which statement was refused
        QVERIFY2(e.description().endsWith(u" : "_s + statement), qPrintable(e.description()));
    }
}

void TestSqlDialect::emptyTextHasNoSteps()
{
    QVERIFY(SqlDialect(SqlTarget::Sqlite).translate(u"  ;\n -- nothing\n"_s).empty());
}

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
