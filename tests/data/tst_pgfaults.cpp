// The server going away and connection strings that cannot connect: every operation fails with a
// clear error, nothing crashes, and once the server is back a new connection works. The test
// stops the shared test server, so ctest runs it alone.

#include "support/OperatorSession.h"

#include "support/TestDatabase.h"

#include "perikon/data/db/DbError.h"
#include "suite/SuiteServices.h"

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

        // Init logs the failure and leaves the connection closed; what runs on it fails.
        OperatorSession session(connectionString, QStringLiteral("王经理"));
        QVERIFY(!session.isOpen());
        QVERIFY(!session.com.ExecuteX(QStringLiteral("update Crm_Contact set cMemo=null")));
    }

    void serverStoppedBetweenOperations()
    {
        if (qEnvironmentVariableIsEmpty("PERIKON_PG_BIN")
            || qEnvironmentVariableIsEmpty("PERIKON_PG_SOCKET_DIR"))
            QSKIP(
                "the server was not started by scripts/pg-throwaway.sh; it cannot be stopped here");
        const QString count = QStringLiteral("select count(*) from Crm_Contact");
        auto session
            = std::make_unique<OperatorSession>(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(session->isOpen());
        QCOMPARE(session->scalar(count).toInt(), 10);
        db::Connection raw;
        raw.open(m_db->connectionString());

        {
            ServerDown down;
            QVERIFY2(down.stopped(), "could not stop the test server");

            QVERIFY(!session->com.ExecuteX(QStringLiteral("update Crm_Contact set cMemo=N'x'")));
            std::unique_ptr<db::Recordset> rs(session->com.OpenX(count));
            QVERIFY(!rs);
            for (const QString &sql :
                 {count, QStringLiteral("update Crm_Contact set cMemo=null")}) {
                try {
                    raw.execute(sql);
                    QFAIL("ran without a server");
                } catch (const db::DbError &e) {
                    QCOMPARE(e.number(), db::DbError::ProviderError);
                    QVERIFY2(!e.description().isEmpty(), "no message");
                }
            }
            try {
                raw.beginTrans();
                QFAIL("began a transaction without a server");
            } catch (const db::DbError &) {
            }
            QVERIFY2(down.resume(), "could not start the test server again");
        }

        // The old connections stay broken; a new one works.
        raw.close();
        QCOMPARE(raw.state(), db::Connection::StateClosed);
        session.reset();
        OperatorSession again(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(again.isOpen());
        QCOMPARE(again.scalar(count).toInt(), 10);
        QVERIFY(again.com.ExecuteX(QStringLiteral(
            "update Crm_Contact set cMemo=N'回来了' where cContactCode=N'00000001'")));
    }

private:
    QTemporaryDir m_logs;
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_MAIN(tst_PgFaults)
#include "tst_pgfaults.moc"
