// Table definitions other components send through IClsCommon::ExecuteX in T-SQL: what a recordset
// on such a table reports, row versions, and how a database's refusal comes back.

#include "support/SessionFixture.h"

#include "perikon/data/Common.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/session/SessionGlobals.h"

#include <QTest>

using namespace perikon;
using perikon::testing::Backend;
using perikon::testing::SessionFixture;

class tst_IClsCommonDdl : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (SessionFixture::unavailable())
            QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
        m_session = std::make_unique<SessionFixture>(0);
        QVERIFY2(m_session->ok(), qPrintable(m_session->error()));
    }

    void cleanup() { m_session.reset(); }

    void createdColumnReportsTheSuiteTypeCode_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("suiteColumn"); // "table.column" of the suite with this type
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("size");
        const qint64 longText = 2147483647;
        const qint64 longWide = 1073741823;
        auto row = [](const char *declaration, const char *suite, int type, qint64 size) {
            QTest::newRow(declaration)
                << QString::fromLatin1(declaration) << QString::fromLatin1(suite) << type << size;
        };
        row("int", "Crm_Contact.bcSexID", 3, 4);
        row("int identity primary key", "Crm_BaseCode.ID", 3, 4);
        row("smallint", "UA_Account.iYear", 2, 2);
        row("tinyint", "Crm_Opportunity.iStage", 17, 1);
        row("bigint", "", 20, 8);
        row("bit not null default 0", "Crm_Contact.bMajor", 11, 2);
        row("money", "Crm_Opportunity.mExpectAmount", 6, 8);
        row("decimal(28,6)", "Crm_Contact_extradefine.cLDefine9", 131, 19);
        row("numeric", "", 131, 19);
        row("float", "Crm_Contact.cConDefine13", 5, 8);
        row("real", "", 4, 4);
        row("nvarchar(60)", "Crm_Contact.cContactName", 202, 60);
        row("nvarchar(max)", "", 203, longWide);
        row("nchar(3)", "UA_Account.cAcc_Id", 130, 3);
        row("ntext", "", 203, longWide);
        row("varchar(10)", "", 200, 10);
        row("varchar(max)", "", 201, longText);
        row("char(2)", "", 129, 2);
        row("text", "", 201, longText);
        row("datetime", "Crm_Contact.dBirthday", 135, 16);
        row("smalldatetime", "", 135, 16);
        row("uniqueidentifier", "", 72, 16);
        row("image", "AA_Picture.Picture", 205, longText);
        row("varbinary(16)", "", 204, 16);
        row("binary(4)", "", 128, 4);
        row("varbinary(max)", "", 205, longText);
        row("timestamp", "Crm_Contact.qzts", 128, 8);
        row("rowversion", "Crm_Contact.qzts", 128, 8);
    }

    void createdColumnReportsTheSuiteTypeCode()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, suiteColumn);
        QFETCH(int, type);
        QFETCH(qint64, size);
        const QString column = declaration.contains(QStringLiteral("rowversion"))
                                       || declaration.contains(QStringLiteral("timestamp"))
                                   ? QStringLiteral("qzts")
                                   : QStringLiteral("cValue");
        QVERIFY2(
            m_session->com.ExecuteX(
                QStringLiteral("create table dbo.[Rpt_Types] (%1 %2)").arg(column, declaration)),
            qPrintable(gLastError));
        std::unique_ptr<db::Recordset> rs(
            m_session->com.OpenX(QStringLiteral("select %1 from Rpt_Types").arg(column)));
        QVERIFY(rs);
        QCOMPARE(rs->field(0).name(), column); // PostgreSQL folds it; the spelling comes back
        QCOMPARE(rs->field(0).type(), type);
        QCOMPARE(rs->field(0).definedSize(), size);
        if (suiteColumn.isEmpty())
            return;
        const QStringList parts = suiteColumn.split(u'.');
        std::unique_ptr<db::Recordset> suite(m_session->com.OpenX(
            QStringLiteral("select %1 from %2 where 1 = 0").arg(parts[1], parts[0])));
        QVERIFY(suite);
        QCOMPARE(rs->field(0).type(), suite->field(0).type());
        QCOMPARE(rs->field(0).definedSize(), suite->field(0).definedSize());
    }

    void rowVersionChangesOnEveryUpdate_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("account database") << QStringLiteral("Rpt_Versioned");
        QTest::newRow("temporary table") << QStringLiteral("#versioned");
        QTest::newRow("tempdb") << QStringLiteral("tempdb..tempVersioned");
    }

    void rowVersionChangesOnEveryUpdate()
    {
        QFETCH(QString, table);
        QVERIFY2(m_session->com.ExecuteX(
                     QStringLiteral("create table %1 (cCode nvarchar(10) not null "
                                    "primary key, cName nvarchar(20), qzts timestamp)")
                         .arg(table)),
                 qPrintable(gLastError));
        QVERIFY(m_session->com.ExecuteX(
            QStringLiteral("insert into %1 (cCode, cName) values (N'a', N'x')").arg(table)));
        auto version = [&] {
            std::unique_ptr<db::Recordset> rs(m_session->com.OpenX(
                QStringLiteral("select convert(char, convert(money, qzts), 2) from %1")
                    .arg(table)));
            return rs && rs->recordCount() == 1 ? rs->value(0).toString().trimmed() : QString();
        };
        const QString inserted = version();
        QVERIFY(!inserted.isEmpty());
        QVERIFY2(inserted != QStringLiteral("0.0000"), qPrintable(inserted));
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("update %1 set cName = N'y'").arg(table)));
        const QString updated = version();
        QVERIFY2(updated != inserted, qPrintable(updated));
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("update %1 set cName = N'z'").arg(table)));
        QVERIFY(version() != updated);
    }

    void recordsetWritesBackToACreatedTable_data() { rowVersionChangesOnEveryUpdate_data(); }

    void recordsetWritesBackToACreatedTable()
    {
        QFETCH(QString, table);
        QVERIFY2(m_session->com.ExecuteX(
                     QStringLiteral("create table %1 (ID int identity(1,1) primary "
                                    "key, cName nvarchar(20) not null, qzts timestamp)")
                         .arg(table)),
                 qPrintable(gLastError));
        const QString select = QStringLiteral("select * from %1").arg(table);
        {
            db::Recordset rs;
            rs.open(select, m_session->com.connection(), db::Recordset::OpenStatic,
                    db::Recordset::LockOptimistic);
            for (const char *name : {"甲", "乙"}) {
                rs.addNew();
                rs.setValue(QStringLiteral("cName"), QString::fromUtf8(name));
                rs.update();
            }
            // The identity numbers the rows and the row version comes back with them.
            QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), 2);
            QVERIFY(!rs.value(QStringLiteral("qzts")).isNull());
            rs.moveFirst();
            rs.setValue(QStringLiteral("cName"), QStringLiteral("丙"));
            rs.update();
        }
        std::unique_ptr<db::Recordset> check(
            m_session->com.OpenX(select + QStringLiteral(" order by ID")));
        QVERIFY(check);
        QCOMPARE(check->recordCount(), 2);
        QCOMPARE(check->value(QStringLiteral("ID")).toInt(), 1);
        QCOMPARE(check->value(QStringLiteral("cName")).toString(), QStringLiteral("丙"));
        QVERIFY(check->field(0).isKey());
    }

    void textDefaultKeepsItsWords()
    {
        // Type words inside a default are text, not types to translate.
        QVERIFY2(m_session->com.ExecuteX(QStringLiteral(
                     "create table Rpt_Kinds (ID int primary key, cKind nvarchar(40) default "
                     "N'image, money or bit', dWhen datetime default getdate())")),
                 qPrintable(gLastError));
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("insert into Rpt_Kinds (ID) values (1)")));
        std::unique_ptr<db::Recordset> rs(
            m_session->com.OpenX(QStringLiteral("select cKind, dWhen from Rpt_Kinds")));
        QVERIFY(rs);
        QCOMPARE(rs->value(0).toString(), QStringLiteral("image, money or bit"));
        QVERIFY(!rs->value(1).isNull());
    }

    void addedColumnIsWritableAndKeepsItsDefault()
    {
        QVERIFY(m_session->com.ExecuteX(QStringLiteral(
            "alter table Crm_BaseCode add cNote nvarchar(40) null, iLevel int not null default 3, "
            "cAnsiNote varchar(8)")));
        std::unique_ptr<db::Recordset> rs(m_session->com.OpenX(
            QStringLiteral("select cNote, iLevel, cAnsiNote from Crm_BaseCode where ID = 6")));
        QVERIFY(rs);
        QCOMPARE(rs->field(0).name(), QStringLiteral("cNote"));
        QCOMPARE(rs->field(0).type(), 202);
        QCOMPARE(rs->field(0).definedSize(), 40);
        QCOMPARE(rs->value(1).toInt(), 3);
        QCOMPARE(rs->field(2).name(), QStringLiteral("cAnsiNote"));
        QCOMPARE(rs->field(2).type(), 200);
        QCOMPARE(rs->field(2).definedSize(), 8);
        QVERIFY(m_session->com.ExecuteX(
            QStringLiteral("update Crm_BaseCode set cNote = N'备注' where ID = 6")));
        rs.reset(
            m_session->com.OpenX(QStringLiteral("select cNote from Crm_BaseCode where ID = 6")));
        QCOMPARE(rs->value(0).toString(), QStringLiteral("备注"));
    }

    void databaseRefusalFailsExecuteX_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("sqliteMessage");
        QTest::addColumn<QString>("postgresMessage");
        QTest::newRow("column that exists")
            << QStringLiteral("create table Rpt_Twice (cName nvarchar(5))")
            << QStringLiteral("alter table Rpt_Twice add cName nvarchar(5)")
            << QStringLiteral("duplicate column name") << QStringLiteral("already exists");
        QTest::newRow("suite column that exists")
            << QString() << QStringLiteral("alter table Crm_Contact add cMemo nvarchar(5)")
            << QStringLiteral("duplicate column name") << QStringLiteral("already exists");
        QTest::newRow("missing table")
            << QString() << QStringLiteral("drop table Rpt_Missing")
            << QStringLiteral("no such table") << QStringLiteral("does not exist");
        QTest::newRow("table that exists")
            << QString() << QStringLiteral("create table Customer (cCusCode nvarchar(20))")
            << QStringLiteral("already exists") << QStringLiteral("already exists");
    }

    void databaseRefusalFailsExecuteX()
    {
        QFETCH(QString, setup);
        QFETCH(QString, statement);
        QFETCH(QString, sqliteMessage);
        QFETCH(QString, postgresMessage);
        if (!setup.isEmpty())
            QVERIFY2(m_session->com.ExecuteX(setup), qPrintable(gLastError));
        QVERIFY(!m_session->com.ExecuteX(statement));
        const QString expected = m_session->database().backend() == Backend::Postgres
                                     ? postgresMessage
                                     : sqliteMessage;
        QVERIFY2(gLastError.contains(expected, Qt::CaseInsensitive), qPrintable(gLastError));
        QVERIFY(logText().contains(QStringLiteral("Procedure:ExecuteX")));
        QVERIFY(logText().contains(expected, Qt::CaseInsensitive));
        // The connection stays usable after the refusal.
        std::unique_ptr<db::Recordset> rs(
            m_session->com.OpenX(QStringLiteral("select count(*) from Crm_BaseCode")));
        QVERIFY(rs);
        QCOMPARE(rs->value(0).toInt(), 31);
    }

    void refusedDefinitionRunsNothingOfTheBatch()
    {
        QVERIFY(!m_session->com.ExecuteX(QStringLiteral(
            "create table Rpt_First (a int); create table Rpt_Second (a int check (a > 0))")));
        QVERIFY2(gLastError.contains(QStringLiteral("CHECK")), qPrintable(gLastError));
        gLastError.clear();
        QVERIFY(!m_session->com.ExecuteX(QStringLiteral("insert into Rpt_First (a) values (1)")));
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("create table Rpt_First (a int)")));
    }

    void temporaryTableBelongsToItsConnection()
    {
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("create table #mine (i int)")));
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("insert into #mine (i) values (1)")));
        IClsCommon other;
        QString cnn = m_session->database().connectionString();
        other.Init(cnn);
        // Another connection may create its own table of the same name.
        QVERIFY2(other.ExecuteX(QStringLiteral("create table #mine (i int)")),
                 qPrintable(gLastError));
        std::unique_ptr<db::Recordset> rs(
            other.OpenX(QStringLiteral("select count(*) from #mine")));
        QVERIFY(rs);
        QCOMPARE(rs->value(0).toInt(), 0);
        other.Terminate();
    }

private:
    QString logText() const { return m_session->logText(); }

    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_IClsCommonDdl)
#include "tst_iclscommonddl.moc"
