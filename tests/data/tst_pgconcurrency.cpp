// Two operators on one PostgreSQL server at the same time: stale row versions, contacts added in
// the same moment, and a delete racing a modify. Each operator is a thread with its own session.

#include "support/OperatorSession.h"

#include "suite/ResourceTexts.h"
#include "support/TestDatabase.h"

#include "suite/SuiteServices.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>

using namespace perikon;
using perikon::testing::Backend;
using perikon::testing::OperatorSession;
using perikon::testing::TestDatabase;

namespace {

// Runs `work` on two threads that start together; each gets its own operator session.
void runTogether(const QString &connectionString,
                 const std::function<void(OperatorSession &, int)> &work)
{
    QSemaphore ready, go;
    auto body = [&](int index) {
        OperatorSession session(connectionString,
                                index == 0 ? QStringLiteral("甲") : QStringLiteral("乙"));
        ready.release();
        go.acquire();
        work(session, index);
    };
    std::unique_ptr<QThread> first(QThread::create(body, 0));
    std::unique_ptr<QThread> second(QThread::create(body, 1));
    first->start();
    second->start();
    ready.acquire(2);
    go.release(2);
    first->wait();
    second->wait();
}

QString contactXml(const QString &children)
{
    return QStringLiteral("<Crm_Contact>%1<cCusCode>C0000001</cCusCode></Crm_Contact>")
        .arg(children);
}

} // namespace

class tst_PgConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (TestDatabase::serverConnectionString().isEmpty())
            QSKIP(
                "PERIKON_TEST_PG is not set: no PostgreSQL server to test two operators against.");
        suite::registerServices();
        qputenv("PERIKON_LOG_DIR", m_logs.path().toLocal8Bit());
    }

    void init()
    {
        m_db = std::make_unique<TestDatabase>(20, 7, Backend::Postgres);
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        m_me
            = std::make_unique<OperatorSession>(m_db->connectionString(), QStringLiteral("王经理"));
        QVERIFY(m_me->isOpen());
    }

    void cleanup()
    {
        m_me.reset();
        m_db.reset();
    }

    void versionReadBeforeAnotherSaveIsStale()
    {
        const QString code = QStringLiteral("00000005");
        const QString mine = m_me->version(code);
        QVERIFY(!mine.isEmpty());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d+\\.0000$")).match(mine.trimmed()).hasMatch(),
            qPrintable(mine));

        // Another operator saves the contact on a connection of its own.
        db::Connection other;
        other.open(m_db->connectionString());
        other.execute(
            QStringLiteral("update Crm_Contact set cMemo=N'别人改的' where cContactCode=N'%1'")
                .arg(code));
        other.close();
        QVERIFY(m_me->version(code) != mine);

        gContactTs = mine;
        QString xml = contactXml(
            QStringLiteral("<cContactCode>%1</cContactCode><cContactName>改过</cContactName>"
                           "<cMobilePhone>13700000000</cMobilePhone>")
                .arg(code));
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!m_me->com.Modify(xml, table, msg));
        QVERIFY(!msg.isEmpty());
        QCOMPARE(
            m_me->scalar(QStringLiteral("select cMemo from Crm_Contact where cContactCode=N'%1'")
                             .arg(code))
                .toString(),
            QStringLiteral("别人改的"));
        QVERIFY(m_me->scalar(QStringLiteral(
                                 "select cMobilePhone from Crm_Contact where cContactCode=N'%1'")
                                 .arg(code))
                    .toString()
                != QStringLiteral("13700000000"));

        // With the current version the same save goes through.
        gContactTs = m_me->version(code);
        QVERIFY2(m_me->com.Modify(xml, table, msg), qPrintable(msg));
        QCOMPARE(m_me->scalar(QStringLiteral(
                                  "select cMobilePhone from Crm_Contact where cContactCode=N'%1'")
                                  .arg(code))
                     .toString(),
                 QStringLiteral("13700000000"));
    }

    void contactsAddedTogetherAreNeverLost()
    {
        const int before = m_me->scalar(QStringLiteral("select count(*) from Crm_Contact")).toInt();
        constexpr int kRounds = 5;
        QStringList refusals; // what the operator who lost the race was told
        for (int round = 0; round < kRounds; ++round) {
            bool saved[2] = {false, false};
            QString failure[2];
            runTogether(m_db->connectionString(), [&](OperatorSession &session, int index) {
                QString xml = contactXml(
                    QStringLiteral("<cContactName>并发%1-%2</cContactName>").arg(round).arg(index));
                QString msg;
                saved[index] = session.com.Add(xml, QStringLiteral("Crm_Contact"), msg);
                if (!saved[index]) {
                    failure[index] = msg;
                    // The operator saves again, as after any refused save.
                    QString again
                        = contactXml(QStringLiteral("<cContactName>并发%1-%2</cContactName>")
                                         .arg(round)
                                         .arg(index));
                    saved[index] = session.com.Add(again, QStringLiteral("Crm_Contact"), msg);
                }
            });
            for (int index = 0; index < 2; ++index) {
                if (!failure[index].isEmpty())
                    refusals << failure[index];
            }
            for (int index = 0; index < 2; ++index)
                QVERIFY2(saved[index], qPrintable(QStringLiteral("round %1 operator %2: %3")
                                                      .arg(round)
                                                      .arg(index)
                                                      .arg(failure[index])));
        }
        QCOMPARE(m_me->scalar(QStringLiteral("select count(*) from Crm_Contact")).toInt(),
                 before + 2 * kRounds);
        QCOMPARE(m_me->scalar(QStringLiteral(
                                  "select count(distinct cContactCode) from Crm_Contact where "
                                  "cContactName like N'并发%'"))
                     .toInt(),
                 2 * kRounds);
        // The operator whose contact collided reads the save failure, never the database's text
        // with its statement (that goes to the data-access log).
        const QString saveFailed = suite::ResourceTexts::text(
            QStringLiteral("zh-CN"), QStringLiteral("K2.CRM.COMMON.DBMSG.0008"));
        for (const QString &refusal : std::as_const(refusals))
            QCOMPARE(refusal, saveFailed);
        // Every added contact has its extension row, so none was half written.
        QCOMPARE(m_me
                     ->scalar(QStringLiteral(
                         "select count(*) from Crm_Contact c left join Crm_Contact_extradefine e "
                         "on e.cContactCode = c.cContactCode where c.cContactName like N'并发%' "
                         "and e.OID is null"))
                     .toInt(),
                 0);
    }

    void deleteRacingModifyLeavesOneWholeOutcome()
    {
        // Each contact is deleted by one operator while another saves it; whoever wins, the
        // contact itself ends deleted or saved, and the two never both fail.
        QStringList halfStates; // contacts gone while their extension row stayed, or the reverse
        for (int i = 10; i <= 15; ++i) {
            const QString code = QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'));
            QVERIFY(m_me->com.ExecuteX(
                QStringLiteral("update Customer set ccuscontactcode=null where ccuscontactcode = "
                               "(select OID from Crm_Contact where cContactCode=N'%1')")
                    .arg(code)));
            const QString version = m_me->version(code);
            bool deleted = false, modified = false;
            runTogether(m_db->connectionString(), [&](OperatorSession &session, int index) {
                QString msg;
                if (index == 0) {
                    deleted = session.com.Delete(code, QStringLiteral("cContactCode"),
                                                 QStringLiteral("Crm_Contact"), msg,
                                                 QStringLiteral("demo"));
                } else {
                    gContactTs = version;
                    QString xml = contactXml(
                        QStringLiteral(
                            "<cContactCode>%1</cContactCode><cContactName>改名</cContactName>")
                            .arg(code));
                    QString table = QStringLiteral("Crm_Contact");
                    modified = session.com.Modify(xml, table, msg);
                }
            });
            QVERIFY2(deleted || modified, qPrintable(code));
            const int contacts
                = m_me->scalar(QStringLiteral(
                                   "select count(*) from Crm_Contact where cContactCode=N'%1'")
                                   .arg(code))
                      .toInt();
            const int extensions
                = m_me->scalar(QStringLiteral("select count(*) from Crm_Contact_extradefine where "
                                              "cContactCode=N'%1'")
                                   .arg(code))
                      .toInt();
            if (deleted) {
                QCOMPARE(contacts, 0);
            } else {
                QCOMPARE(contacts, 1);
                QCOMPARE(
                    m_me->scalar(
                            QStringLiteral(
                                "select cContactName from Crm_Contact where cContactCode=N'%1'")
                                .arg(code))
                        .toString(),
                    QStringLiteral("改名"));
            }
            if (extensions != contacts)
                halfStates << code;
        }
        // A save that re-created a companion row of a contact being deleted must leave nothing
        // behind.
        QVERIFY2(halfStates.isEmpty(), qPrintable(halfStates.join(u',')));
    }

private:
    QTemporaryDir m_logs;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<OperatorSession> m_me;
};

QTEST_MAIN(tst_PgConcurrency)
#include "tst_pgconcurrency.moc"
