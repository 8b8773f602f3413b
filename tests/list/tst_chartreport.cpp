// The data behind the list's relationship chart, against a real account: the customer's
// contacts in code order with their duty names and superiors, contacts without a customer, and
// the operator's read authorization over the chart.

#include "perikon/data/IClsCommon.h"
#include "perikon/list/ChartReport.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/chart/ChartDocument.h"
#include "suite/services/SuiteRowAuthService.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;
using list::ChartReport;

class tst_ChartReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsTheCustomersContactsInCodeOrder_data();
    void readsTheCustomersContactsInCodeOrder();
    void contactWithoutCustomerHasNoChart_data();
    void contactWithoutCustomerHasNoChart();
    void clerkSeesOnlyWhatHeMayRead();
    void chartCarriesItsNameInTheSessionLanguage();
    void noCustomerMessageFollowsTheLoginRegion_data();
    void noCustomerMessageFollowsTheLoginRegion();

private:
    void startSession(const QString &user, bool admin);
    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_ChartReport::initTestCase()
{
    suite::registerServices();
}

void tst_ChartReport::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Duty is kept by name; the same word as a taste must not be taken for a duty.
    m_db.exec(QStringLiteral(
        "insert into Crm_BaseCode (cCode, cType, cName) values (N'', N'Taste', N'Chief')"));
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (cContactCode, cContactName, cCusCode, bcDutyID, cSuperiorID, "
        "cPrincipal) values "
        "(N'c01', N'Boss Zhang', N'C1', N'总经理', null, N'P1'), "
        "(N'c02', N'O''Neil & <Co>', N'C1', N'Chief', N'c01', N'P2'), "
        "(N'c03', N'王小明', N'C1', N'销售经理', N'c02', N'P1'), "
        "(N'c04''q', N'Quote Code', N'C1', null, N'd01', N'P1'), "
        "(N'c05', N'Self', N'C1', N'', N'c05', N'P1'), "
        "(N'd01', N'Other Customer', N'C2', null, N'c01', N'P1'), "
        "(N'x01', N'Loner', null, null, null, N'P1'), "
        "(N'x02', N'Blank Customer', N'', null, null, N'P1'), "
        "(N'x03', N'Blank Too', N'', null, N'x02', N'P1')"));
}

void tst_ChartReport::cleanup()
{
    gClsCommon.reset();
    gRowAuth.reset();
    gLogin = nullptr;
    m_login.reset();
}

void tst_ChartReport::startSession(const QString &user, bool admin)
{
    m_login = std::make_unique<suite::SuiteLogin>();
    m_login->cUserId = user;
    m_login->IsAdmin = admin;
    m_login->qzDBName = m_db.connectionString();
    m_login->setLanguageRegion(QStringLiteral("zh-CN"));
    gLogin = m_login.get();
    gClsCommon = std::make_shared<IClsCommon>();
    QString cnn = m_db.connectionString();
    gClsCommon->Init(cnn);
    auto rows = std::make_unique<suite::SuiteRowAuthService>();
    QVERIFY(rows->Init(m_db.connectionString(), user));
    gRowAuth = std::move(rows);
}

void tst_ChartReport::readsTheCustomersContactsInCodeOrder_data()
{
    QTest::addColumn<QString>("code");
    const QStringList customerC1{"c01|Boss Zhang|总经理|NULL", "c02|O'Neil & <Co>||c01",
                                 "c03|王小明|销售经理|c02", "c04'q|Quote Code||d01",
                                 "c05|Self||c05"};
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("from the top") << "c01" << customerC1;
    QTest::newRow("from a subordinate") << "c03" << customerC1;
    QTest::newRow("code with a quote") << "c04'q" << customerC1;
    QTest::newRow("another customer") << "d01" << QStringList{"d01|Other Customer||c01"};
}

void tst_ChartReport::readsTheCustomersContactsInCodeOrder()
{
    QFETCH(QString, code);
    QFETCH(QStringList, rows);
    startSession(QStringLiteral("admin"), true);
    QStringList read;
    for (const list::ChartContact &contact : ChartReport::readContacts(code)) {
        QVERIFY(contact.readable);
        read << QStringList{contact.code, contact.name, contact.duty, contact.superior}.join(u'|');
    }
    QCOMPARE(read, rows);
}

void tst_ChartReport::contactWithoutCustomerHasNoChart_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("customer NULL") << "x01";
    QTest::newRow("customer blank, like others") << "x02";
    QTest::newRow("no such contact") << "nobody";
    QTest::newRow("quote in an unknown code") << "x'; delete from Crm_Contact; --";
}

void tst_ChartReport::contactWithoutCustomerHasNoChart()
{
    QFETCH(QString, code);
    startSession(QStringLiteral("admin"), true);
    const qint64 contacts = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    QCOMPARE(ChartReport::chartXml(code), std::nullopt);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), contacts);
}

void tst_ChartReport::clerkSeesOnlyWhatHeMayRead()
{
    // The clerk reads the contacts of person P1 only: c02 is not his, so c03 moves up to c01.
    m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) values "
                             "(N'clerk', N'person', N'R', N'P1')"));
    startSession(QStringLiteral("clerk"), false);
    const std::optional<QString> xml = ChartReport::chartXml(QStringLiteral("c03"));
    QVERIFY(xml);
    QVERIFY2(!xml->contains(QStringLiteral("Neil")), qPrintable(*xml));
    const auto entries = suite::chart::ChartDocument::parse(*xml);
    QVERIFY(entries);
    QStringList shown;
    for (const suite::chart::ChartEntry &entry : *entries)
        shown << entry.code + u'>' + entry.superior;
    QCOMPARE(shown, (QStringList{"c01>NULL", "c03>c01", "c04'q>d01", "c05>c05"}));

    // Nothing of the customer readable: the same answer as no customer.
    m_db.exec(QStringLiteral("delete from qz_RowAuth"));
    QCOMPARE(ChartReport::chartXml(QStringLiteral("c03")), std::nullopt);
}

void tst_ChartReport::chartCarriesItsNameInTheSessionLanguage()
{
    startSession(QStringLiteral("admin"), true);
    const std::optional<QString> xml = ChartReport::chartXml(QStringLiteral("c01"));
    QVERIFY(xml);
    QVERIFY2(xml->startsWith(QStringLiteral("<?xml version=\"1.0\" encoding= \"UTF-8\"?><Chart "
                                            "Name = \"组织结构图\" Type = \"Organization\">")),
             qPrintable(*xml));
    QVERIFY(xml->contains(QStringLiteral(
        "<Contract Code = \"c02\" Name = \"O'Neil &amp; &lt;Co&gt;\" Duty = \"NULL\" "
        "Superior =\"c01\"/>")));
}

void tst_ChartReport::noCustomerMessageFollowsTheLoginRegion_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("message");
    const QString simplified = QStringLiteral("无【所属客户】信息的联系人没有上报关系!");
    const QString traditional = QStringLiteral("無【所屬客戶】資訊的連絡人沒有上報關係!");
    const QString english = QStringLiteral(
        "Without [their respective customer] information contact not reported relationship!");
    QTest::newRow("zh-CN") << "zh-CN" << simplified;
    QTest::newRow("any case") << "ZH-cn" << simplified;
    QTest::newRow("zh-TW") << "zh-TW" << traditional;
    QTest::newRow("zh-tw") << "zh-tw" << traditional;
    QTest::newRow("en-US") << "en-US" << english;
    QTest::newRow("another Chinese region") << "zh-HK" << english;
    QTest::newRow("none") << "" << english;
}

void tst_ChartReport::noCustomerMessageFollowsTheLoginRegion()
{
    QFETCH(QString, region);
    QFETCH(QString, message);
    QCOMPARE(ChartReport::noCustomerMessage(region), message);
}

QTEST_GUILESS_MAIN(tst_ChartReport)
#include "tst_chartreport.moc"
