// Function locks between two operators' sessions on one account database: which locks keep
// each other out, what a refused operator is told, releasing, and how a dead session's locks
// expire while a live session's heartbeat keeps them.

#include "FunctionLockMatrix.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuitePubService.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

namespace {

// Short enough that the expiry tests wait well under a few seconds.
constexpr int kTimeoutMs = 1000;
const QString kArchive = QStringLiteral("Crm_Contact");

} // namespace

class tst_FunctionLocks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void otherSession_data();
    void otherSession();
    void sameSessionNeverConflicts_data();
    void sameSessionNeverConflicts();
    void steps_data();
    void steps();
    void refusalNamesHolderAndActivity_data();
    void refusalNamesHolderAndActivity();
    void lockWithoutConnectionCannotBeHad();

    void backdatedLocksExpire();
    void locksOfAGoneLoginExpire();
    void heartbeatKeepsALiveSessionsLock();

private:
    std::unique_ptr<suite::SuiteLogin> login(const QString &user,
                                             const QString &language = QStringLiteral("en-US"));
    bool lock(QObject *who, int number, const QString &archive = kArchive);
    qint64 rowsOf(const suite::SuiteLogin &who);

    SuiteFixture m_db;
    std::unique_ptr<DataAccessStub> m_dataAccess;
    suite::SuitePubService m_service;
};

void tst_FunctionLocks::initTestCase()
{
    // Read once per process, before the first lock.
    qputenv("PERIKON_LOCK_TIMEOUT_SECONDS", QByteArray::number(kTimeoutMs / 1000.0));
    qputenv("PERIKON_LOCK_HEARTBEAT_SECONDS", "0.2");
    // The tests write only the lock table, which init() empties: one account keeps the walk
    // through the whole matrix quick on a server.
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_dataAccess = std::make_unique<DataAccessStub>(&m_db.connection());
}

void tst_FunctionLocks::init()
{
    m_db.exec(QStringLiteral("delete from qz_FunctionLock"));
    suite::MessageBoxScript::takeShownMessages();
}

std::unique_ptr<suite::SuiteLogin> tst_FunctionLocks::login(const QString &user,
                                                            const QString &language)
{
    auto login = std::make_unique<suite::SuiteLogin>();
    login->cUserId = user;
    login->qzDBName = m_db.connectionString();
    login->setLanguageRegion(language);
    return login;
}

bool tst_FunctionLocks::lock(QObject *who, int number, const QString &archive)
{
    QObject *com = m_dataAccess.get();
    const bool answer = m_service.IsLockFun(com, who, archive, number);
    if (com != m_dataAccess.get())
        qFatal("the service handed back another data-access object");
    return answer;
}

qint64 tst_FunctionLocks::rowsOf(const suite::SuiteLogin &who)
{
    return m_db.count(QStringLiteral("select count(*) from qz_FunctionLock where cSessionId=N'%1'")
                          .arg(who.sessionId()));
}

void tst_FunctionLocks::otherSession_data()
{
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("requested");
    QTest::addColumn<bool>("refused");
    using namespace functionlockmatrix;
    for (size_t r = 0; r < kLocks.size(); ++r) {
        for (size_t h = 0; h < kLocks.size(); ++h) {
            QTest::addRow("%d held, %d asked", kLocks[h], kLocks[r])
                << kLocks[h] << kLocks[r] << kConflicts[r][h];
        }
    }
}

void tst_FunctionLocks::otherSession()
{
    QFETCH(int, held);
    QFETCH(int, requested);
    QFETCH(bool, refused);
    auto a = login(QStringLiteral("wang"));
    auto b = login(QStringLiteral("li"));
    QCOMPARE(lock(a.get(), held), false);
    QCOMPARE(lock(b.get(), requested), refused);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), refused ? 1 : 0);
    // A refusal leaves nothing behind; the holder keeps his lock either way.
    QCOMPARE(rowsOf(*b), refused ? 0 : 1);
    QCOMPARE(rowsOf(*a), 1);
}

void tst_FunctionLocks::sameSessionNeverConflicts_data()
{
    otherSession_data();
}

void tst_FunctionLocks::sameSessionNeverConflicts()
{
    QFETCH(int, held);
    QFETCH(int, requested);
    auto a = login(QStringLiteral("wang"));
    QCOMPARE(lock(a.get(), held), false);
    QCOMPARE(lock(a.get(), requested), false);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList{});
    QCOMPARE(rowsOf(*a), held == requested ? 1 : 2);
}

void tst_FunctionLocks::steps_data()
{
    // Steps: "<session><lock number>", e.g. "a11" = session a takes lock 11, "b-11" = session b
    // releases it; the archive is named in alternating spellings.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<bool>>("answers");
    QTest::newRow("release after a hold answers released")
        << QStringList{"a8", "a-8"} << QList<bool>{false, true};
    QTest::newRow("releasing twice is harmless")
        << QStringList{"a8", "a-8", "a-8"} << QList<bool>{false, true, false};
    QTest::newRow("releasing what is not held answers not locked")
        << QStringList{"b-3"} << QList<bool>{false};
    QTest::newRow("another session's lock is not released for it")
        << QStringList{"a8", "b-8", "b2"} << QList<bool>{false, false, true};
    QTest::newRow("released, the other session gets it")
        << QStringList{"a8", "b2", "a-8", "b2", "a7"}
        << QList<bool>{false, true, true, false, true};
    QTest::newRow("the archive's name without regard to case")
        << QStringList{"a7", "b7"} << QList<bool>{false, true};
    QTest::newRow("releasing one lock keeps the others")
        << QStringList{"a8", "a2", "a-2", "b3"} << QList<bool>{false, false, true, true};
}

void tst_FunctionLocks::steps()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<bool>, answers);
    auto a = login(QStringLiteral("wang"));
    auto b = login(QStringLiteral("li"));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        suite::SuiteLogin *who = steps.at(i).startsWith(u'a') ? a.get() : b.get();
        const QString archive
            = i % 2 ? QStringLiteral("crm_contact") : QStringLiteral("CRM_Contact");
        QVERIFY2(lock(who, steps.at(i).mid(1).toInt(), archive) == answers.at(i),
                 qPrintable(QStringLiteral("step %1 (%2)").arg(i + 1).arg(steps.at(i))));
    }
}

void tst_FunctionLocks::refusalNamesHolderAndActivity_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("requested");
    QTest::addColumn<QString>("activity");
    QTest::newRow("deleting") << "en-US" << 8 << 2 << "deleting contacts";
    QTest::newRow("batch") << "en-US" << 7 << 11 << "running a batch modification";
    QTest::newRow("modifying") << "en-US" << 2 << 8 << "modifying a contact";
    QTest::newRow("sending") << "en-US" << 3 << 7 << "sending mail or SMS";
    QTest::newRow("adding") << "en-US" << 11 << 8 << "adding a contact";
    QTest::newRow("maintaining") << "en-US" << 99 << 1 << "maintaining the archive";
    QTest::newRow("viewing the list") << "en-US" << 1 << 99 << "viewing the archive list";
    QTest::newRow("another function") << "en-US" << 42 << 42 << "using function 42";
    QTest::newRow("deleting, Chinese") << "zh-CN" << 8 << 3 << "删除联系人";
}

void tst_FunctionLocks::refusalNamesHolderAndActivity()
{
    QFETCH(QString, language);
    QFETCH(int, held);
    QFETCH(int, requested);
    QFETCH(QString, activity);
    auto a = login(QStringLiteral("wang"), language);
    auto b = login(QStringLiteral("zhao"), language);
    QCOMPARE(lock(a.get(), held), false);
    QCOMPARE(lock(b.get(), requested), true);
    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(u"wang"), qPrintable(shown.first()));
    QVERIFY2(!shown.first().contains(u"zhao"), qPrintable(shown.first()));
    QVERIFY2(shown.first().contains(activity), qPrintable(shown.first()));
}

void tst_FunctionLocks::lockWithoutConnectionCannotBeHad()
{
    auto a = login(QStringLiteral("wang"));
    DataAccessStub unbound(nullptr);
    QObject *com = &unbound;
    QVERIFY(m_service.IsLockFun(com, a.get(), kArchive, 11));
    QVERIFY(!m_service.IsLockFun(com, a.get(), kArchive, -11));
}

void tst_FunctionLocks::backdatedLocksExpire()
{
    // A session that stopped beating long ago, as a killed process leaves its rows.
    m_db.exec(QStringLiteral("insert into qz_FunctionLock (cArchive, iLock, cSessionId, cUser_Id, "
                             "dBeat) values (N'crm_contact', 8, N'gone', N'zhao', "
                             "N'2020-01-01 08:00:00')"));
    auto b = login(QStringLiteral("li"));
    QCOMPARE(lock(b.get(), 2), false);
    QCOMPARE(m_db.column(QStringLiteral("select cUser_Id from qz_FunctionLock")),
             QStringList{"li"});
}

void tst_FunctionLocks::locksOfAGoneLoginExpire()
{
    auto a = login(QStringLiteral("wang"));
    auto b = login(QStringLiteral("li"));
    QCOMPARE(lock(a.get(), 8), false);
    QCOMPARE(lock(b.get(), 2), true);
    suite::MessageBoxScript::takeShownMessages();
    a.reset(); // its heartbeat goes with it, and nobody releases its lock
    QTest::qWait(kTimeoutMs + 600);
    QCOMPARE(lock(b.get(), 2), false);
    QCOMPARE(m_db.column(QStringLiteral("select cUser_Id from qz_FunctionLock")),
             QStringList{"li"});
}

void tst_FunctionLocks::heartbeatKeepsALiveSessionsLock()
{
    auto a = login(QStringLiteral("wang"));
    auto b = login(QStringLiteral("li"));
    QCOMPARE(lock(a.get(), 8), false);
    // The operator keeps the function open without asking for any lock meanwhile.
    QTest::qWait(2 * kTimeoutMs + 500);
    QCOMPARE(lock(b.get(), 2), true);
    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(u"wang"), qPrintable(shown.first()));
}

QTEST_GUILESS_MAIN(tst_FunctionLocks)
#include "tst_functionlocks.moc"
