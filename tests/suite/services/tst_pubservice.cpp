// The public service's function locks, per-operator settings and number formats, against a real
// account: two sessions stand for two operators on one server.

#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuitePubService.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_PubService : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void locks_data();
    void locks();
    void lockOfADeadSessionIsFreed();
    void lockWithoutConnectionCannotBeHad();

    void settings();
    void settingsWithoutLogin();

    void formatNum_data();
    void formatNum();
    void columnDecimals();
    void resourceStrings();

private:
    std::unique_ptr<suite::SuiteLogin> login(const QString &user);
    SuiteFixture m_db;
};

void tst_PubService::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    suite::MessageBoxScript::takeShownMessages();
}

std::unique_ptr<suite::SuiteLogin> tst_PubService::login(const QString &user)
{
    auto login = std::make_unique<suite::SuiteLogin>();
    login->cUserId = user;
    login->qzDBName = m_db.connectionString();
    login->setLanguageRegion(QStringLiteral("en-US"));
    return login;
}

void tst_PubService::locks_data()
{
    // Steps: "<session><lock number>" with the archive named as written, e.g. "a11" = session a
    // takes lock 11 on Crm_Contact, "b-11" = session b releases it.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("messages");
    QTest::newRow("the open list is shared")
        << QStringList{"a1", "b1"} << QList<bool>{false, false} << 0;
    QTest::newRow("a function lock keeps the other session out")
        << QStringList{"a11", "b11"} << QList<bool>{false, true} << 1;
    QTest::newRow("the same session may take it again")
        << QStringList{"a11", "a11"} << QList<bool>{false, false} << 0;
    QTest::newRow("released, the other session gets it")
        << QStringList{"a8", "a-8", "b8"} << QList<bool>{false, true, false} << 0;
    QTest::newRow("different functions do not meet")
        << QStringList{"a2", "b8"} << QList<bool>{false, false} << 0;
    QTest::newRow("releasing what is not held answers released")
        << QStringList{"b-3"} << QList<bool>{true} << 0;
}

void tst_PubService::locks()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<bool>, answers);
    QFETCH(int, messages);
    auto a = login(QStringLiteral("wang"));
    auto b = login(QStringLiteral("li"));
    DataAccessStub dataAccess(&m_db.connection());
    suite::SuitePubService service;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QObject *com = &dataAccess;
        suite::SuiteLogin *who = steps.at(i).startsWith(u'a') ? a.get() : b.get();
        // The archive's name in two spellings: locks compare it without regard to case.
        const QString archive
            = i % 2 ? QStringLiteral("crm_contact") : QStringLiteral("Crm_Contact");
        QCOMPARE(service.IsLockFun(com, who, archive, steps.at(i).mid(1).toInt()), answers.at(i));
        QCOMPARE(com, &dataAccess);
    }
    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), messages);
    if (messages)
        QVERIFY2(shown.first().contains(u"wang"), qPrintable(shown.first())); // says who holds it
}

void tst_PubService::lockOfADeadSessionIsFreed()
{
    m_db.exec(QStringLiteral("insert into qz_FunctionLock (cArchive, iLock, cSessionId, cUser_Id, "
                             "dBeat) values (N'crm_contact', 11, N'gone', N'zhao', "
                             "N'2020-01-01 08:00:00')"));
    auto b = login(QStringLiteral("li"));
    DataAccessStub dataAccess(&m_db.connection());
    QObject *com = &dataAccess;
    suite::SuitePubService service;
    QCOMPARE(service.IsLockFun(com, b.get(), QStringLiteral("Crm_Contact"), 11), false);
    QCOMPARE(m_db.column(QStringLiteral("select cUser_Id from qz_FunctionLock")),
             QStringList{"li"});
}

void tst_PubService::lockWithoutConnectionCannotBeHad()
{
    auto a = login(QStringLiteral("wang"));
    DataAccessStub unbound(nullptr);
    QObject *com = &unbound;
    suite::SuitePubService service;
    QVERIFY(service.IsLockFun(com, a.get(), QStringLiteral("Crm_Contact"), 11));
    QVERIFY(!service.IsLockFun(com, a.get(), QStringLiteral("Crm_Contact"), -11));
}

void tst_PubService::settings()
{
    auto operatorLogin = login(QStringLiteral("wang"));
    suite::SuitePubService service;
    const QString key = QStringLiteral("Crm_Contact");
    QCOMPARE(service.GetRegEdit(key, "PageSize", false, "wang"), QString());
    QVERIFY(service.SaveRegEdit(key, "PageSize", "200", false, "wang"));
    QVERIFY(service.SaveRegEdit(key, "PageSize", "250", false, "wang"));
    QVERIFY(service.SaveRegEdit(key, "PageSize", "O'Neil", false, "li"));
    QCOMPARE(service.GetRegEdit("crm_contact", "pagesize", false, "wang"), QStringLiteral("250"));
    QCOMPARE(service.GetRegEdit(key, "PageSize", false, "li"), QStringLiteral("O'Neil"));
    QCOMPARE(service.GetRegEdit("Customer", "PageSize", false, "wang"), QString());
    QCOMPARE(service.LastError(), QString());

    m_db.exec(QStringLiteral("drop table qz_UserSetting"));
    QCOMPARE(service.GetRegEdit(key, "PageSize", false, "wang"), QString());
    QVERIFY(!service.LastError().isEmpty());
    QVERIFY(!service.SaveRegEdit(key, "PageSize", "5", false, "wang"));
}

void tst_PubService::settingsWithoutLogin()
{
    suite::SuitePubService service;
    {
        auto gone = login(QStringLiteral("wang")); // the current login goes away with it
    }
    QCOMPARE(service.GetRegEdit("Crm_Contact", "PageSize", false, "wang"), QString());
    QVERIFY(!service.LastError().isEmpty());
}

void tst_PubService::formatNum_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("more decimals") << "12.5" << 2 << "12.50";
    QTest::newRow("rounded") << "2.345678" << 3 << "2.346";
    QTest::newRow("none") << "7.6" << 0 << "8";
    QTest::newRow("negative") << "-3" << 1 << "-3.0";
    QTest::newRow("not a number stays") << "n/a" << 2 << "n/a";
    QTest::newRow("empty stays") << "" << 2 << "";
    QTest::newRow("comma is no decimal point") << "1,5" << 2 << "1,5";
}

void tst_PubService::formatNum()
{
    QFETCH(QString, text);
    QFETCH(int, digits);
    QFETCH(QString, formatted);
    QCOMPARE(suite::SuitePubService().FormatNum(text, digits), formatted);
}

void tst_PubService::columnDecimals()
{
    m_db.exec(QStringLiteral("insert into qz_UserSetting (cUser_Id, cKey, cName, cValue) values "
                             "(N'wang', N'crm_contact.cldefine9', N'decimals', N'2'), "
                             "(N'li', N'crm_contact.cmemo', N'decimals', N'4')"));
    auto operatorLogin = login(QStringLiteral("wang"));
    suite::SuitePubService service;
    QObject *settings = nullptr;
    QCOMPARE(service.GetEleVal(QStringLiteral("cLDefine9"), settings), QStringLiteral("2"));
    QVERIFY(settings);
    QObject *kept = settings;
    QCOMPARE(service.GetEleVal(QStringLiteral("cMemo"), settings), QString());
    QCOMPARE(settings, kept); // read once, then reused
}

void tst_PubService::resourceStrings()
{
    auto operatorLogin = login(QStringLiteral("wang"));
    suite::SuitePubService service;
    QCOMPARE(service.GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.yes")),
             QStringLiteral("Yes"));
    operatorLogin->setLanguageRegion(QStringLiteral("zh-CN"));
    QCOMPARE(service.GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.yes")),
             QStringLiteral("是"));
}

QTEST_GUILESS_MAIN(tst_PubService)
#include "tst_pubservice.moc"
