// Function tasks: the right decides, the task is recorded per session in the account database,
// and ending is always safe.

#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteFunctionTaskService.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_FunctionTasks : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void begin_data();
    void begin();
    void beginningAgainKeepsOneTask();
    void sessionsAreApart();
    void endingWhatDoesNotRunIsHarmless();

private:
    std::unique_ptr<suite::SuiteLogin> login(const QString &user, bool admin = false);
    SuiteFixture m_db;
};

void tst_FunctionTasks::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into qz_UserFunction (cUser_Id, cFuncId) values "
                             "(N'clerk', N'CS020202')"));
    suite::MessageBoxScript::takeShownMessages();
}

std::unique_ptr<suite::SuiteLogin> tst_FunctionTasks::login(const QString &user, bool admin)
{
    auto login = std::make_unique<suite::SuiteLogin>();
    login->cUserId = user;
    login->IsAdmin = admin;
    login->qzDBName = m_db.connectionString();
    login->setLanguageRegion(QStringLiteral("en-US"));
    return login;
}

void tst_FunctionTasks::begin_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("begun");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("right in the table") << "clerk" << false << "CS020202" << true << QStringList{};
    QTest::newRow("function id without regard to case")
        << "clerk" << false << "cs020202" << true << QStringList{};
    QTest::newRow("administrator") << "admin" << true << "CS020205" << true << QStringList{};
    QTest::newRow("no right: the refusal is shown")
        << "clerk" << false << "CS020205" << false
        << QStringList{"User clerk has no right to function CS020205."};
    QTest::newRow("empty function") << "admin" << true << "" << false << QStringList{};
}

void tst_FunctionTasks::begin()
{
    QFETCH(QString, user);
    QFETCH(bool, admin);
    QFETCH(QString, function);
    QFETCH(bool, begun);
    QFETCH(QStringList, shown);
    auto operatorLogin = login(user, admin);
    suite::SuiteFunctionTaskService tasks;
    bool ok = !begun;
    QCOMPARE(tasks.Begin(operatorLogin.get(), function, ok), begun);
    QCOMPARE(ok, begun);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), shown);
    QCOMPARE(tasks.RunningTasks(operatorLogin.get()),
             begun ? QStringList{function.toUpper()} : QStringList{});
}

void tst_FunctionTasks::beginningAgainKeepsOneTask()
{
    auto admin = login(QStringLiteral("admin"), true);
    suite::SuiteFunctionTaskService tasks;
    bool ok = false;
    QVERIFY(tasks.Begin(admin.get(), QStringLiteral("CS020201"), ok));
    QVERIFY(tasks.Begin(admin.get(), QStringLiteral("cs020201"), ok));
    QVERIFY(ok);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 1);
    tasks.End(admin.get(), QStringLiteral("CS020201"));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 0);
}

void tst_FunctionTasks::sessionsAreApart()
{
    // The same operator on two machines: two sessions, each ending only its own task.
    auto first = login(QStringLiteral("admin"), true);
    auto second = login(QStringLiteral("admin"), true);
    QVERIFY(first->sessionId() != second->sessionId());
    suite::SuiteFunctionTaskService tasks;
    bool ok = false;
    QVERIFY(tasks.Begin(first.get(), QStringLiteral("CS020204"), ok));
    QVERIFY(tasks.Begin(second.get(), QStringLiteral("CS020204"), ok));
    tasks.End(first.get(), QStringLiteral("CS020204"));
    QCOMPARE(tasks.RunningTasks(first.get()), QStringList{});
    QCOMPARE(tasks.RunningTasks(second.get()), QStringList{"CS020204"});
}

void tst_FunctionTasks::endingWhatDoesNotRunIsHarmless()
{
    auto admin = login(QStringLiteral("admin"), true);
    suite::SuiteFunctionTaskService tasks;
    tasks.End(admin.get(), QStringLiteral("CS020203"));
    tasks.End(nullptr, QStringLiteral("CS020203"));
    admin->qzDBName = QStringLiteral("Provider=SQLite;Data Source=/nonexistent/dir/x.db");
    tasks.End(admin.get(), QStringLiteral("CS020203"));
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList{});
}

QTEST_GUILESS_MAIN(tst_FunctionTasks)
#include "tst_functiontasks.moc"
