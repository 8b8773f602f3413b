// The server going away and connection strings that cannot connect: every operation reports the
// lost connection as such, nothing crashes, and once the server is back the same objects work
// again. One test stops the shared test server, so ctest runs this unit alone.

#include "support/OperatorSession.h"

#include "support/TestDatabase.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteServices.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;
using perikon::testing::Backend;
using perikon::testing::OperatorSession;
using perikon::testing::TestDatabase;

namespace {

// Runs a function of the throwaway-cluster script on the test server.
bool clusterCommand(const char *function)
{
    QProcess shell;
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("source '%1/scripts/pg-throwaway.sh' && %2")
                     .arg(QStringLiteral(PERIKON_SOURCE_ROOT), QLatin1StringView(function))});
    return shell.waitForFinished(120000) && shell.exitStatus() == QProcess::NormalExit
           && shell.exitCode() == 0;
}

// Stops the server for its lifetime: the server is back even when a check fails half way.
class ServerDown
{
public:
    ServerDown()
        : m_stopped(clusterCommand("pg_throwaway_pause"))
    {}
    ~ServerDown() { resume(); }
    bool stopped() const { return m_stopped; }
    bool resume()
    {
        if (m_stopped)
            m_stopped = !clusterCommand("pg_throwaway_resume");
        return !m_stopped;
    }

private:
    bool m_stopped;
};

// Runs a statement on the server's own database, outside the test database.
bool onServer(const QString &sql)
{
    try {
        db::Connection server;
        server.open(TestDatabase::withDatabase(
            db::ConnectionString(TestDatabase::serverConnectionString()).database(), {}));
        server.driver().execute(sql);
        return true;
    } catch (const db::DbError &e) {
        qInfo("%s", qPrintable(e.description()));
        return false;
    }
}

// Ends every session on the database, as a server restart does, and waits until they are gone.
bool endSessions(const QString &database)
{
    return onServer(QStringLiteral("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity "
                                   "WHERE datname = '%1' AND pid <> pg_backend_pid()")
                        .arg(database));
}

// The database refuses every connection for the lifetime of the object, and its sessions are
// ended: to the component it is a server that went away. The other tests on the server go on.
class Outage
{
public:
    explicit Outage(const QString &database)
        : m_database(database)
        , m_started(
              onServer(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(database))
              && endSessions(database))
    {}
    ~Outage()
    {
        onServer(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS true").arg(m_database));
    }
    Outage(const Outage &) = delete;
    Outage &operator=(const Outage &) = delete;
    bool started() const { return m_started; }

private:
    QString m_database;
    bool m_started;
};

QString text(const char *key)
{
    return suite::ResourceTexts::format(QStringLiteral("zh-CN"), QString::fromLatin1(key), {});
}

QString connectionMessage()
{
    return text("K2.CRM.COMMON.DBMSG.0003") + QStringLiteral("\r\n")
           + text("K2.CRM.COMMON.DBMSG.0004");
}

struct Outcome
{
    bool ok = false;
    QString message; // the operation's sMsg, where it has one
};

// A contact that the "Delete" operation removes (it deletes by name).
const QString kDeletable = QStringLiteral("待删除");

// Runs one of IClsCommon's operations as a window or a calling component would, with arguments
// that succeed on a reachable database.
Outcome perform(const QString &operation, IClsCommon &com)
{
    Outcome out;
    QString &msg = out.message;
    const QString contacts = QStringLiteral("Crm_Contact");
    gContactTs.clear();
    if (operation == u"Add") {
        QString xml = QStringLiteral("<Crm_Contact><cContactName>新来的</cContactName>"
                                     "<cCusCode>C0000001</cCusCode></Crm_Contact>");
        out.ok = com.Add(xml, contacts, msg);
    } else if (operation == u"Modify") {
        QString xml = QStringLiteral(
            "<Crm_Contact><cContactCode>00000002</cContactCode><cContactName>改过</cContactName>"
            "<cCusCode>C0000001</cCusCode><cMemo>改过</cMemo></Crm_Contact>");
        QString table = contacts;
        out.ok = com.Modify(xml, table, msg);
    } else if (operation == u"ModifyDifferent") {
        // A new value each time: a row that would not change is not written at all.
        static int round = 0;
        out.ok = com.ModifyDifferent(QStringLiteral("<Crm_Contact><cContactCode>00000003"
                                                    "</cContactCode><cMemo>补全%1</cMemo>"
                                                    "</Crm_Contact>")
                                         .arg(++round),
                                     contacts, msg);
    } else if (operation == u"Delete") {
        out.ok = com.Delete(kDeletable, QStringLiteral("cContactName"), contacts, msg);
    } else if (operation == u"AddInDiffDB") {
        QString xml = QStringLiteral(
            "<UA_Account_Sub><cAcc_Id>001</cAcc_Id><iYear>2026</iYear><cSub_Id>SA</cSub_Id>"
            "<cUser_Id>demo</cUser_Id></UA_Account_Sub>");
        QStringList statements{
            QStringLiteral("update Crm_Contact set cMemo=N'启用' where cContactCode=N'00000004'")};
        out.ok = com.AddInDiffDB(xml, statements, QStringLiteral("QZDATA_001_2026"),
                                 QStringLiteral("UA_Account_Sub"), msg);
    } else if (operation == u"Find") {
        std::unique_ptr<db::Recordset> rs(
            com.Find(QStringLiteral("<data><cContactCode>00000001</cContactCode></data>"),
                     {contacts}, {}, msg));
        out.ok = rs != nullptr;
    } else if (operation == u"OpenX" || operation == u"OpenForward") {
        const QString sql = QStringLiteral("select count(*) from Crm_Contact");
        bool flag = false;
        std::unique_ptr<db::Recordset> rs(operation == u"OpenX" ? com.OpenX(sql, flag, msg)
                                                                : com.OpenForward(sql, flag, msg));
        out.ok = rs && flag;
    } else if (operation == u"OpenPage") {
        int page = 1;
        int pages = 0;
        db::Recordset *rs = nullptr;
        com.OpenPage(QStringLiteral("select * from Crm_Contact"), 5, page, pages, rs, msg, out.ok);
        delete rs;
    } else if (operation == u"ExecuteX") {
        out.ok = com.ExecuteX(
            QStringLiteral("update Crm_Contact set cMemo=N'执行' where cContactCode=N'00000005'"));
    } else if (operation == u"GetContactCode") {
        try {
            out.ok = !com.GetContactCode().isEmpty();
        } catch (...) {
            // GetContactCode lets its errors reach the caller.
        }
    } else if (operation == u"CheckRefed") {
        QString referring;
        out.ok = com.CheckRefed(QStringLiteral("99999999"), contacts, true, referring);
    } else if (operation == u"BArchIsUsed") {
        out.ok
            = com.BArchIsUsed(contacts, QStringLiteral("cContactCode"), QStringLiteral("00000001"));
    } else if (operation == u"zy_ConvertDB") {
        out.ok = com.zy_ConvertDB(QStringLiteral("QZDATA_001_2026"), msg);
    } else {
        qFatal("no such operation in the test: %s", qPrintable(operation));
    }
    return out;
}

} // namespace

class tst_PgFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (TestDatabase::serverConnectionString().isEmpty())
            QSKIP("PERIKON_TEST_PG is not set: no PostgreSQL server to test faults against.");
        suite::registerServices();
        qputenv("PERIKON_LOG_DIR", m_logs.path().toLocal8Bit());
        m_db = std::make_unique<TestDatabase>(10, 7, Backend::Postgres);
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    }

    void cleanupTestCase() { m_db.reset(); }

    void connectionStringThatCannotConnect_data()
    {
        QTest::addColumn<QString>("connectionString");
        QTest::addColumn<QString>("saying");
        if (TestDatabase::serverConnectionString().isEmpty())
            return;
        const db::ConnectionString server(TestDatabase::serverConnectionString());
        QTest::newRow("unknown database") << TestDatabase::withDatabase(
            QStringLiteral("perikon_missing"), QStringLiteral("QZDATA_001_2026"))
                                          << "perikon_missing";
        QTest::newRow("unknown user") << QString(m_db->connectionString())
                                             .replace(QStringLiteral("User ID=") + server.user(),
                                                      QStringLiteral("User ID=nobody_here"))
                                      << "nobody_here";
        QTest::newRow("unknown account database")
            << TestDatabase::withDatabase(m_db->serverDatabase(), QStringLiteral("QZDATA_999_2026"))
            << "QZDATA_999_2026";
        QTest::newRow("no server at that place")
            << TestDatabase::withDatabase(m_db->serverDatabase(), QStringLiteral("QZDATA_001_2026"))
                   .replace(QStringLiteral("Port=%1").arg(server.port()), QStringLiteral("Port=1"))
            << "Cannot connect";
    }

    void connectionStringThatCannotConnect()
    {
        QFETCH(QString, connectionString);
        QFETCH(QString, saying);
        db::Connection connection;
        try {
            connection.open(connectionString);
            QFAIL("opened");
        } catch (const db::DbError &e) {
            QCOMPARE(e.number(), db::DbError::ProviderError);
            QVERIFY2(e.description().contains(saying), qPrintable(e.description()));
        }
        QCOMPARE(connection.state(), db::Connection::StateClosed);

        // Init logs the failure and leaves the connection closed; what runs on it says so.
        OperatorSession session(connectionString, QStringLiteral("王经理"));
        QVERIFY(!session.isOpen());
        QVERIFY(!session.com.ExecuteX(QStringLiteral("update Crm_Contact set cMemo=null")));
        QCOMPARE(gLastError, connectionMessage());
    }

    void operationsReportAnOutage_data() { operations(); }

    void operationsReportAnOutage()
    {
        QFETCH(QString, operation);
        QFETCH(bool, hasMessage);
        OperatorSession session(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(session.isOpen());
        prepare(operation, session.com);
        const qsizetype logged = logText().size();
        {
            Outage outage(m_db->serverDatabase());
            QVERIFY(outage.started());
            gLastError.clear();
            const Outcome during = perform(operation, session.com);
            QVERIFY(!during.ok);
            QCOMPARE(gLastError, connectionMessage());
            if (hasMessage)
                QCOMPARE(during.message, connectionMessage());
            // The clerk reads the system's message; the log keeps what the server said.
            QVERIFY2(logText().mid(logged).contains(QStringLiteral("not currently accepting")),
                     qPrintable(logText().mid(logged)));
        }
        // Nothing to set up again: the same object makes a new link.
        const Outcome after = perform(operation, session.com);
        QVERIFY2(after.ok, qPrintable(after.message + QLatin1Char('|') + gLastError));
    }

    void linkEndedInsideAnOperation_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("hasMessage");
        QTest::newRow("Add") << "Add" << true;
        QTest::newRow("Modify") << "Modify" << true;
        QTest::newRow("ModifyDifferent") << "ModifyDifferent" << true;
        QTest::newRow("Delete") << "Delete" << true;
        QTest::newRow("ExecuteX") << "ExecuteX" << false;
    }

    // The server ends the session while the operation writes the contact row.
    void linkEndedInsideAnOperation()
    {
        QFETCH(QString, operation);
        QFETCH(bool, hasMessage);
        OperatorSession session(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(session.isOpen());
        prepare(operation, session.com);
        const int contacts = countContacts(session);
        const qsizetype logged = logText().size();
        QVERIFY(onAccount(QStringLiteral(
            "CREATE FUNCTION end_session() RETURNS trigger LANGUAGE plpgsql AS "
            "$$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END $$; "
            "CREATE TRIGGER end_session BEFORE INSERT OR UPDATE OR DELETE ON crm_contact "
            "FOR EACH STATEMENT EXECUTE FUNCTION end_session()")));
        gLastError.clear();
        const Outcome during = perform(operation, session.com);
        QVERIFY(onAccount(QStringLiteral(
            "DROP TRIGGER end_session ON crm_contact; DROP FUNCTION end_session()")));
        QVERIFY(!during.ok);
        QCOMPARE(gLastError, connectionMessage());
        if (hasMessage)
            QCOMPARE(during.message, connectionMessage());
        QVERIFY2(logText().mid(logged).contains(QStringLiteral("server closed the connection")),
                 qPrintable(logText().mid(logged)));

        const Outcome after = perform(operation, session.com);
        QVERIFY2(after.ok, qPrintable(after.message + QLatin1Char('|') + gLastError));
        const int expected = operation == u"Add"      ? contacts + 1
                             : operation == u"Delete" ? contacts - 1
                                                      : contacts;
        QCOMPARE(countContacts(session), expected);
    }

    void initMakesANewLinkWhenTheServerEndedTheOldOne()
    {
        OperatorSession session(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(session.isOpen());
        const quint64 generation = session.com.connection()->generation();
        QVERIFY(endSessions(m_db->serverDatabase()));

        QString cnn = m_db->connectionString();
        session.com.Init(cnn);
        // Statements straight on the connection, as recordsets run them, work at once; whoever
        // holds something the server kept for the old link can tell it is gone.
        QVERIFY(session.com.connection()->generation() != generation);
        try {
            std::unique_ptr<db::ResultCursor> rows
                = session.com.connection()->openCursor(QStringLiteral(
                    "select cContactCode from Crm_Contact where cContactCode=N'00000001'"));
            QVERIFY(rows && rows->next());
        } catch (const db::DbError &e) {
            QFAIL(qPrintable(e.description()));
        }
    }

    void linkLostInsideATransactionIsNotReplaced()
    {
        OperatorSession session(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(session.isOpen());
        db::Connection *cnn = session.com.connection();
        const QString update = QStringLiteral(
            "update Crm_Contact set cMemo=N'事务中' where cContactCode=N'00000006'");
        cnn->beginTrans();
        QVERIFY(session.com.ExecuteX(update));
        QVERIFY(endSessions(m_db->serverDatabase()));

        // A new link would carry on outside the transaction: each statement is refused until
        // its owner ends it.
        for (int attempt = 0; attempt < 2; ++attempt) {
            QVERIFY(!session.com.ExecuteX(update));
            QCOMPARE(gLastError, connectionMessage());
        }
        QVERIFY_THROWS_EXCEPTION(db::DbError, cnn->rollbackTrans());
        QVERIFY(!cnn->inTransaction());

        QVERIFY2(session.com.ExecuteX(QStringLiteral(
                     "update Crm_Contact set cMemo=N'之后' where cContactCode=N'00000007'")),
                 qPrintable(gLastError));
        QVERIFY(session
                    .scalar(QStringLiteral(
                        "select cMemo from Crm_Contact where cContactCode=N'00000006'"))
                    .toString()
                != QStringLiteral("事务中"));
    }

    void workGoesOnAfterTheServerRestarts()
    {
        if (qEnvironmentVariableIsEmpty("PERIKON_PG_BIN")
            || qEnvironmentVariableIsEmpty("PERIKON_PG_SOCKET_DIR"))
            QSKIP(
                "the server was not started by scripts/pg-throwaway.sh; it cannot be stopped here");
        const QString added
            = QStringLiteral("select count(*) from Crm_Contact where cContactName=N'新来的'");
        OperatorSession session(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(session.isOpen());
        const int before = session.scalar(added).toInt();
        QVERIFY(perform(QStringLiteral("Add"), session.com).ok);
        db::Connection raw;
        raw.open(m_db->connectionString());

        {
            ServerDown down;
            QVERIFY2(down.stopped(), "could not stop the test server");

            for (const char *operation :
                 {"Add", "Modify", "ModifyDifferent", "OpenX", "OpenPage", "ExecuteX"}) {
                gLastError.clear();
                QVERIFY2(!perform(QString::fromLatin1(operation), session.com).ok, operation);
                QCOMPARE(gLastError, connectionMessage());
            }
            for (const QString &sql :
                 {added, QStringLiteral("update Crm_Contact set cMemo=null")}) {
                try {
                    raw.execute(sql);
                    QFAIL("ran without a server");
                } catch (const db::DbError &e) {
                    QCOMPARE(e.number(), db::DbError::ProviderError);
                    QVERIFY2(!e.description().isEmpty(), "no message");
                }
            }
            QVERIFY_THROWS_EXCEPTION(db::DbError, raw.beginTrans());
            QVERIFY2(down.resume(), "could not start the test server again");
        }

        // The same objects work again; what was acknowledged is there, and only that.
        const Outcome again = perform(QStringLiteral("Add"), session.com);
        QVERIFY2(again.ok, qPrintable(again.message));
        QCOMPARE(session.scalar(added).toInt(), before + 2);
        QVERIFY(raw.restoreLostLink());
        raw.execute(QStringLiteral(
            "update Crm_Contact set cMemo=N'回来了' where cContactCode=N'00000001'"));
    }

private:
    static void operations()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("hasMessage"); // the operation reports through its sMsg
        for (const char *operation : {"Add", "Modify", "ModifyDifferent", "Delete", "AddInDiffDB",
                                      "Find", "OpenX", "OpenForward", "OpenPage"})
            QTest::newRow(operation) << QString::fromLatin1(operation) << true;
        for (const char *operation :
             {"ExecuteX", "GetContactCode", "CheckRefed", "BArchIsUsed", "zy_ConvertDB"})
            QTest::newRow(operation) << QString::fromLatin1(operation) << false;
    }

    // What an operation needs before it can succeed.
    static void prepare(const QString &operation, IClsCommon &com)
    {
        if (operation != u"Delete")
            return;
        QString xml = QStringLiteral("<Crm_Contact><cContactName>%1</cContactName>"
                                     "<cCusCode>C0000002</cCusCode></Crm_Contact>")
                          .arg(kDeletable);
        QString msg;
        QVERIFY2(com.Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
    }

    // Runs PostgreSQL text on the test's account database, on a connection of its own.
    bool onAccount(const QString &sql)
    {
        try {
            db::Connection account;
            account.open(m_db->connectionString());
            account.driver().execute(sql);
            return true;
        } catch (const db::DbError &e) {
            qInfo("%s", qPrintable(e.description()));
            return false;
        }
    }

    static int countContacts(OperatorSession &session)
    {
        return session.scalar(QStringLiteral("select count(*) from Crm_Contact")).toInt();
    }

    QString logText() const
    {
        QFile file(m_logs.filePath(QStringLiteral("SrvTransLog.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_logs;
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_MAIN(tst_PgFaults)
#include "tst_pgfaults.moc"
