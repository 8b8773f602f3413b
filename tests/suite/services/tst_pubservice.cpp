// The public service's per-operator settings and number formats, against a real account
// (function locks: tst_functionlocks).

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
