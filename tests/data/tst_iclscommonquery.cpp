// IClsCommon's connection lifecycle and query operations against a real account database.

#include "support/SessionFixture.h"

#include "perikon/data/Common.h"
#include "perikon/data/ContactStatements.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/clsConn.h"
#include "perikon/data/db/DbError.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/ResourceTexts.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace perikon;
using perikon::testing::SessionFixture;

namespace {
const QString kTwentyFive = QStringLiteral(
    "select cContactCode, cContactName from Crm_Contact where cContactCode <= N'00000025' "
    "order by cContactCode");

QString zh(const char *key)
{
    return suite::ResourceTexts::text(QStringLiteral("zh-CN"), QString::fromLatin1(key));
}
} // namespace

class tst_IClsCommonQuery : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (SessionFixture::unavailable())
            QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
        m_session = std::make_unique<SessionFixture>(40);
        QVERIFY2(m_session->ok(), qPrintable(m_session->error()));
        QVERIFY(m_session->com.Status());
    }

    void cleanup() { m_session.reset(); }

    void pagesOfTwentyFiveRows_data()
    {
        QTest::addColumn<int>("askedPage");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("firstCode");
        QTest::newRow("page 0 is the last") << 0 << 3 << 5 << "00000021";
        QTest::newRow("negative page is the last") << -1 << 3 << 5 << "00000021";
        QTest::newRow("page past the end is the last") << 7 << 3 << 5 << "00000021";
        QTest::newRow("middle page") << 2 << 2 << 10 << "00000011";
        QTest::newRow("first page") << 1 << 1 << 10 << "00000001";
    }

    void pagesOfTwentyFiveRows()
    {
        QFETCH(int, askedPage);
        QFETCH(int, page);
        QFETCH(int, rows);
        QFETCH(QString, firstCode);
        int curPage = askedPage;
        int maxPages = -5;
        db::Recordset *raw = nullptr;
        QString msg;
        bool flag = false;
        m_session->com.OpenPage(kTwentyFive, 10, curPage, maxPages, raw, msg, flag);
        std::unique_ptr<db::Recordset> rs(raw);
        QVERIFY(flag);
        QCOMPARE(maxPages, 3);
        QCOMPARE(curPage, page);
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), rows);
        QCOMPARE(rs->fieldCount(), 2);
        QCOMPARE(rs->field(0).name(), QStringLiteral("cContactCode"));
        rs->moveFirst();
        QCOMPARE(rs->value(0).toString(), firstCode);
        rs->moveLast();
        QCOMPARE(rs->value(0).toString(),
                 QStringLiteral("%1").arg(firstCode.toInt() + rows - 1, 8, 10, QLatin1Char('0')));
        // The page holds no live cursor: it is disconnected from the database.
        QVERIFY(!rs->activeConnection());
    }

    void emptyResultGivesAnEmptyPageWithColumns()
    {
        int curPage = 2;
        int maxPages = 0;
        db::Recordset *raw = nullptr;
        QString msg;
        bool flag = false;
        m_session->com.OpenPage(
            QStringLiteral("select cContactCode, dBirthday from Crm_Contact where 1=0"), 10,
            curPage, maxPages, raw, msg, flag);
        std::unique_ptr<db::Recordset> rs(raw);
        QVERIFY(flag);
        QCOMPARE(maxPages, 1);
        QCOMPARE(curPage, 0);
        QCOMPARE(rs->state(), 1);
        QCOMPARE(rs->recordCount(), 0);
        QCOMPARE(rs->fieldCount(), 2);
        QCOMPARE(rs->field(1).type(), 135);
    }

    void distinctQueriesPage_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("upper case")
            << "SELECT DISTINCT cCusCode FROM Crm_Contact ORDER BY cCusCode";
        QTest::newRow("mixed case and blanks")
            << "  select   Distinct  cCusCode from Crm_Contact order by cCusCode ";
    }

    void distinctQueriesPage()
    {
        QFETCH(QString, sql);
        std::unique_ptr<db::Recordset> all(m_session->com.OpenX(
            QStringLiteral("select count(distinct cCusCode) from Crm_Contact")));
        QVERIFY(all);
        const int customers = all->value(0).toInt();
        QVERIFY(customers > 1);
        int curPage = 1;
        int maxPages = 0;
        db::Recordset *raw = nullptr;
        QString msg;
        bool flag = false;
        m_session->com.OpenPage(sql, 1000, curPage, maxPages, raw, msg, flag);
        std::unique_ptr<db::Recordset> rs(raw);
        QVERIFY2(flag, qPrintable(msg));
        QCOMPARE(rs->recordCount(), customers);
        QCOMPARE(rs->field(0).name(), QStringLiteral("cCusCode"));
    }

    void pageSizeZeroGivesEveryRow()
    {
        int curPage = 9;
        int maxPages = 4;
        db::Recordset *raw = nullptr;
        QString msg;
        bool flag = false;
        m_session->com.OpenPage(kTwentyFive, 0, curPage, maxPages, raw, msg, flag);
        std::unique_ptr<db::Recordset> rs(raw);
        QVERIFY(flag);
        QCOMPARE(curPage, 9);
        QCOMPARE(maxPages, 4);
        QCOMPARE(rs->recordCount(), 25);
    }

    void nonSelectTextFailsEvenUnpaged_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("paged") << 10;
        QTest::newRow("unpaged") << 0;
    }

    void nonSelectTextFailsEvenUnpaged()
    {
        QFETCH(int, pageSize);
        int curPage = 1;
        int maxPages = 0;
        db::Recordset *raw = nullptr;
        QString msg;
        bool flag = true;
        m_session->com.OpenPage(QStringLiteral("update Crm_Contact set cMemo=N'x'"), pageSize,
                                curPage, maxPages, raw, msg, flag);
        std::unique_ptr<db::Recordset> rs(raw);
        QVERIFY(!flag);
        QCOMPARE(msg, zh("K2.CRM.COMMON.DBMSG.Sel0511"));
        QVERIFY(logText().contains(QStringLiteral("Procedure:OpenPage")));
        std::unique_ptr<db::Recordset> check(m_session->com.OpenX(
            QStringLiteral("select count(*) from Crm_Contact where cMemo=N'x'")));
        QCOMPARE(check->value(0).toInt(), 0);
    }

    void openXFailureIsReportedAndLogged()
    {
        bool flag = true;
        QString msg;
        std::unique_ptr<db::Recordset> rs(
            m_session->com.OpenX(QStringLiteral("select * from NoSuchTable"), flag, msg));
        QVERIFY(!rs);
        QVERIFY(!flag);
        QVERIFY(!msg.isEmpty());
        QCOMPARE(gLastError, zh("K2.CRM.COMMON.DBMSG.Sel0511"));
        const QString log = logText();
        QVERIFY(log.contains(QStringLiteral("Discript:select * from NoSuchTable") + msg));
        QVERIFY(log.contains(QStringLiteral("Module:IClsCommon")));
    }

    void openXGivesAConnectedUpdatableRecordset()
    {
        std::unique_ptr<db::Recordset> rs(m_session->com.OpenX(QStringLiteral(
            "select cContactCode, cMemo from Crm_Contact where cContactCode=N'00000003'")));
        QVERIFY(rs);
        QCOMPARE(rs->cursorLocation(), db::Recordset::UseClient);
        rs->setValue(QStringLiteral("cMemo"), QStringLiteral("常客"));
        rs->update();
        std::unique_ptr<db::Recordset> check(m_session->com.OpenForward(
            QStringLiteral("select cMemo from Crm_Contact where cContactCode=N'00000003'")));
        QCOMPARE(check->value(0).toString(), QStringLiteral("常客"));
        QCOMPARE(check->lockType(), db::Recordset::LockReadOnly);
    }

    void executeXStoresQuotedValuesVerbatim()
    {
        QVERIFY(m_session->com.ExecuteX(QStringLiteral(
            "update Crm_Contact set cContactName=N'O''Brien ''老王''' where cContactCode=N'00000004'")));
        std::unique_ptr<db::Recordset> rs(m_session->com.OpenX(QStringLiteral(
            "select cContactCode from Crm_Contact where cContactName=N'O''Brien ''老王'''")));
        QCOMPARE(rs->recordCount(), 1);
        QCOMPARE(rs->value(0).toString(), QStringLiteral("00000004"));
    }

    void duplicationNoteRecordsTheContact_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("operation");

        QTest::newRow("added") << "00000042"
                               << "";
        QTest::newRow("deleted") << "00000007"
                                 << "del";
        QTest::newRow("quote in the code") << "A'01"
                                           << "del";
    }

    // The note lands in the duplicate detection's scratch table, quotes and all.
    void duplicationNoteRecordsTheContact()
    {
        QFETCH(QString, code);
        QFETCH(QString, operation);
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("delete from tc_tmp_duplication")));
        QVERIFY2(m_session->com.ExecuteX(internal::duplicationNoteSql(code, operation)),
                 qPrintable(gLastError));
        std::unique_ptr<db::Recordset> rs(m_session->com.OpenX(
            QStringLiteral("select obj_type, code, oper from tc_tmp_duplication")));
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 1);
        QCOMPARE(rs->value(0).toInt(), 2);
        QCOMPARE(rs->value(1).toString(), code);
        if (operation.isEmpty())
            QVERIFY(rs->value(2).isNull());
        else
            QCOMPARE(rs->value(2).toString(), operation);
    }

    void duplicationNoteWithoutScratchTableDoesNothing()
    {
        QVERIFY(m_session->com.ExecuteX(QStringLiteral("drop table tc_tmp_duplication")));
        QVERIFY2(m_session->com.ExecuteX(internal::duplicationNoteSql(u"00000042")),
                 qPrintable(gLastError));
        QVERIFY2(m_session->com.ExecuteX(internal::duplicationNoteSql(u"00000042", u"del")),
                 qPrintable(gLastError));
    }

    // Both spellings of the next-code query find the highest eight-character numeric code and
    // pass over codes of another shape.
    void nextCodeQueryFindsHighestNumericCode_data()
    {
        QTest::addColumn<int>("trailingBlanks");
        QTest::newRow("card") << 1;
        QTest::newRow("save step") << 2;
    }

    void nextCodeQueryFindsHighestNumericCode()
    {
        QFETCH(int, trailingBlanks);
        QVERIFY(m_session->com.ExecuteX(
            QStringLiteral("update Crm_Contact set cContactCode=N'A9999999' where cContactCode="
                           "N'00000001'")));
        QVERIFY(m_session->com.ExecuteX(
            QStringLiteral("update Crm_Contact set cContactCode=N'999999999' where cContactCode="
                           "N'00000002'")));
        std::unique_ptr<db::Recordset> highest(m_session->com.OpenX(
            QStringLiteral("select max(cContactCode) from Crm_Contact where cContactCode like "
                           "N'0%'")));
        std::unique_ptr<db::Recordset> rs(
            m_session->com.OpenX(internal::nextContactCodeSql(trailingBlanks)));
        QVERIFY(rs && highest);
        QCOMPARE(rs->recordCount(), 1);
        QCOMPARE(rs->value(0).toString(), highest->value(0).toString());
        QCOMPARE(rs->value(0).toString().size(), 8);
    }

    void executeXFailureSetsLastError()
    {
        QVERIFY(!m_session->com.ExecuteX(QStringLiteral("update NoSuchTable set x=1")));
        QVERIFY(!gLastError.isEmpty());
        QVERIFY(logText().contains(QStringLiteral("Module:IClscommon")));
        QVERIFY(logText().contains(QStringLiteral("Procedure:ExecuteX")));
    }

    void initOnAMissingDatabaseLeavesItClosed()
    {
        IClsCommon com;
        QString cnn
            = QStringLiteral(
                  "Provider=SQLite;Data Source=%1/QZDATA_009_2026.db;Initial Catalog=QZDATA_009_2026")
                  .arg(m_session->database().folder());
        com.Init(cnn);
        QVERIFY(com.Status());
        QCOMPARE(com.connection()->state(), db::Connection::StateClosed);
        QVERIFY(logText().contains(QStringLiteral("Procedure:Init")));
        QVERIFY(
            !QFile::exists(m_session->database().folder() + QStringLiteral("/QZDATA_009_2026.db")));
        bool flag = true;
        std::unique_ptr<db::Recordset> rs(com.OpenX(QStringLiteral("select 1"), flag));
        QVERIFY(!rs);
        QVERIFY(!flag);
        QVERIFY(!com.ExecuteX(QStringLiteral("delete from Crm_Contact")));
    }

    void initOnAnOpenConnectionKeepsIt()
    {
        const QString before = m_session->com.connectionString();
        db::Connection *cnn = m_session->com.connection();
        QString other = QStringLiteral("Provider=SQLite;Data Source=/nowhere/x.db");
        m_session->com.Init(other);
        QVERIFY(m_session->com.Status());
        QCOMPARE(m_session->com.connection(), cnn);
        QCOMPARE(m_session->com.connectionString(), before);
        QVERIFY(m_session->com.workingDocument());
    }

    void adoptedConnectionIsNotClosedByItsBorrower()
    {
        db::Connection *shared = m_session->com.connection();
        {
            IClsCommon borrower;
            borrower.setConnection(shared);
            QVERIFY(!borrower.Status());
            QCOMPARE(borrower.connectionString(), shared->connectionString());
            borrower.Terminate();
        }
        QCOMPARE(shared->state(), db::Connection::StateOpen);
        m_session->com.Terminate();
        QVERIFY(!m_session->com.workingDocument());
    }

    void ownedConnectionClosesAtTerminate()
    {
        auto *cnn = m_session->com.connection();
        QSignalSpy destroyed(cnn, &QObject::destroyed);
        m_session->com.Terminate();
        QCOMPARE(destroyed.count(), 1);
        // A later use gets a fresh, unopened connection.
        QCOMPARE(m_session->com.connection()->state(), db::Connection::StateClosed);
    }

    void accountNumberFromTheSessionConnection_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("account");
        QTest::newRow("upper case") << "Provider=SQLite;Initial Catalog=QZDATA_001_2026"
                                    << "001";
        QTest::newRow("lower case") << "provider=sqlite;initial catalog=qzdata_008_2010"
                                    << "008";
        QTest::newRow("catalog first") << "Catalog=QZDATA_123_2024;Provider=PostgreSQL"
                                       << "123";
        QTest::newRow("no catalog") << "Provider=SQLite;Data Source=/x/y.db"
                                    << "";
    }

    void accountNumberFromTheSessionConnection()
    {
        QFETCH(QString, connection);
        QFETCH(QString, account);
        gAccountDb = connection;
        QCOMPARE(Common::GetAccIdFromConn(), account);
        gAccountDb.clear();
    }

    void clsConnOpensAndLetsErrorsThrough()
    {
        clsConn conn;
        QString good = m_session->database().connectionString();
        QVERIFY(conn.OpenCon(good));
        QCOMPARE(conn.Conn()->state(), db::Connection::StateOpen);
        clsConn broken;
        QString bad = QStringLiteral("Provider=SQLite;Data Source=%1/missing.db")
                          .arg(m_session->database().folder());
        QVERIFY_THROWS_EXCEPTION(db::DbError, broken.OpenCon(bad));
    }

private:
    QString logText() const { return m_session->logText(); }

    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_IClsCommonQuery)
#include "tst_iclscommonquery.moc"
