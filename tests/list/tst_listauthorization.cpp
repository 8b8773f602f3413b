// The list's authorization strings and joins, and the per-contact permission the list and the
// card ask before changing a contact, against a real account.

#include "perikon/data/IClsCommon.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteColumnAuthService.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/SuiteRowAuthService.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_ListAuthorization : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void joins_data();
    void joins();

    void administratorReadsAndWritesEverything();
    void clerkStrings();
    void unreadableColumnRulesWithholdEveryColumn();
    void contactRowAllowed_data();
    void contactRowAllowed();
    void withoutRowServiceNothingIsAllowed();

private:
    void startSession(const QString &user, bool admin);
    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_ListAuthorization::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (cContactCode, cContactName, cPrincipal, cCusCode) values "
        "(N'c1', N'A', N'P1', N'C1'), (N'c2', N'B', N'P2', N'C2'), (N'c''3', N'C', N'P1', null)"));
    m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) values "
                             "(N'clerk', N'person', N'W', N'P1'), "
                             "(N'clerk', N'customer', N'', N'C2')"));
}

void tst_ListAuthorization::cleanup()
{
    gClsCommon.reset();
    gRowAuth.reset();
    gColAuth.reset();
    gPubService.reset();
    gLogin = nullptr;
    gArchiveCusCode.clear();
    gListSelectCols.clear();
    m_login.reset();
}

void tst_ListAuthorization::startSession(const QString &user, bool admin)
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
    gPubService = std::make_unique<suite::SuitePubService>();
    auto rows = std::make_unique<suite::SuiteRowAuthService>();
    QVERIFY(rows->Init(m_db.connectionString(), user));
    gRowAuth = std::move(rows);
    auto columns = std::make_unique<suite::SuiteColumnAuthService>();
    QVERIFY(columns->Init(m_db.connectionString(), user));
    gColAuth = std::move(columns);
}

void tst_ListAuthorization::joins_data()
{
    QTest::addColumn<QString>("selectList");
    QTest::addColumn<QString>("joins");
    QTest::newRow("no marker") << "Crm_Contact.cContactCode, Crm_Contact.cContactName"
                               << "";
    QTest::newRow("extension columns")
        << "Crm_Contact_extradefine.cLDefine1"
        << " LEFT JOIN Crm_Contact_extradefine on crm_contact.oid=Crm_Contact_extradefine.oid ";
    QTest::newRow("marker without regard to case, in a longer name")
        << "customer.CCUSNAMEABBR"
        << " Left join Customer on Customer.cCusCode=Crm_Contact.cCusCode";
    QTest::newRow("fixed order whatever the select order")
        << "BaseCodeSex.cName as s, Contact1.cContactName as sup, cCusName"
        << " Left join Customer on Customer.cCusCode=Crm_Contact.cCusCode"
           " Left join Crm_Contact Contact1 on Contact1.cContactCode=Crm_Contact.cSuperiorID"
           " Left join Crm_BaseCode BaseCodeSex on BaseCodeSex.ID=Crm_Contact.bcSexID";
    QTest::newRow("duty and taste by name, marriage by id")
        << "BaseCodeDuty.cName, BaseCodeTaste.cName, BaseCodeMarriage.cName"
        << " Left join Crm_BaseCode BaseCodeDuty on BaseCodeDuty.cName=Crm_Contact.bcDutyID"
           " Left join Crm_BaseCode BaseCodeTaste on BaseCodeTaste.cName=Crm_Contact.bcTasteID"
           " Left join Crm_BaseCode BaseCodeMarriage on "
           "BaseCodeMarriage.ID=Crm_Contact.bcMarriageID";
    QTest::newRow("department and principal")
        << "cDepName, Person3.cPsn_Name as cPrincipalName"
        << " Left join Department on cDepCode=Crm_Contact.cConDepart"
           " Left join hr_hi_person Person3 on Person3.cPsn_Num=Crm_Contact.cprincipal ";
}

void tst_ListAuthorization::joins()
{
    QFETCH(QString, selectList);
    QFETCH(QString, joins);
    QCOMPARE(Common::BuildListJoins(selectList), joins);
}

void tst_ListAuthorization::administratorReadsAndWritesEverything()
{
    startSession(QStringLiteral("admin"), true);
    Common::InitAuthStrings();
    QCOMPARE(gRowAuthRead, QStringLiteral("1=1"));
    QCOMPARE(gRowAuthWrite, QStringLiteral("1=1"));
    QCOMPARE(Common::BuildContactAuthWhere(QStringLiteral("D")), QString());
    QVERIFY(Common::ContactRowAllowed(QStringLiteral("c2"), QStringLiteral("D")));
}

void tst_ListAuthorization::clerkStrings()
{
    m_db.exec(QStringLiteral("insert into qz_ColumnAuth (cUser_Id, cBusObId, cFuncId, cFieldName, "
                             "bDenied) values (N'clerk', N'customer', N'R', N'cCusPhone', 1)"));
    startSession(QStringLiteral("clerk"), false);
    Common::InitAuthStrings();
    QCOMPARE(gColAuthRead, QStringLiteral("ccusphone"));
    QCOMPARE(gColAuthWrite, QString());

    // What each string reaches, read through the database rather than by its text.
    auto reached = [this](const QString &fragment) {
        QStringList codes = m_db.column(
            QStringLiteral("select cContactCode from Crm_Contact where (") + fragment + u')');
        codes.sort(); // the server's collation need not order a quote before a digit
        return codes;
    };
    QCOMPARE(reached(gRowAuthRead), (QStringList{"c'3", "c2"}));
    QCOMPARE(reached(gRowAuthWrite), (QStringList{"c'3", "c1", "c2"}));
}

void tst_ListAuthorization::unreadableColumnRulesWithholdEveryColumn()
{
    startSession(QStringLiteral("clerk"), false);
    m_db.exec(QStringLiteral("drop table qz_ColumnAuth"));
    Common::InitAuthStrings();
    const QStringList withheld = gColAuthWrite.split(u',');
    QVERIFY2(withheld.contains(QStringLiteral("ccuscode")), qPrintable(gColAuthWrite));
    QVERIFY2(withheld.contains(QStringLiteral("ccusname")), qPrintable(gColAuthWrite));
    QCOMPARE(gColAuthRead, gColAuthWrite);
}

void tst_ListAuthorization::contactRowAllowed_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("archiveCustomer");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("own person may be written") << "c1"
                                               << "W"
                                               << "" << true;
    QTest::newRow("own person is not readable by customer") << "c1"
                                                            << "R"
                                                            << "" << false;
    QTest::newRow("granted customer") << "c2"
                                      << "D"
                                      << "" << true;
    QTest::newRow("quote in the code") << "c'3"
                                       << "D"
                                       << "" << true;
    QTest::newRow("unknown contact") << "c9"
                                     << "W"
                                     << "" << false;
    QTest::newRow("empty code") << ""
                                << "W"
                                << "" << false;
    QTest::newRow("empty function") << "c2"
                                    << ""
                                    << "" << false;
    QTest::newRow("inside the shown customer") << "c2"
                                               << "W"
                                               << "C2" << true;
    QTest::newRow("outside the shown customer") << "c1"
                                                << "W"
                                                << "C2" << false;
    QTest::newRow("quote in the shown customer") << "c2"
                                                 << "W"
                                                 << "C'2" << false;
}

void tst_ListAuthorization::contactRowAllowed()
{
    QFETCH(QString, code);
    QFETCH(QString, function);
    QFETCH(QString, archiveCustomer);
    QFETCH(bool, allowed);
    startSession(QStringLiteral("clerk"), false);
    gArchiveCusCode = archiveCustomer;
    // The list's select list decides the joins; a joined second contacts table must not make
    // the statement ambiguous.
    gListSelectCols = QStringLiteral("Crm_Contact.cContactCode, Contact1.cContactName, cCusName");
    QCOMPARE(Common::ContactRowAllowed(code, function), allowed);
}

void tst_ListAuthorization::withoutRowServiceNothingIsAllowed()
{
    startSession(QStringLiteral("clerk"), false);
    gRowAuth.reset();
    QCOMPARE(Common::BuildContactAuthWhere(QStringLiteral("W")), QStringLiteral("1=2"));
    QVERIFY(!Common::ContactRowAllowed(QStringLiteral("c1"), QStringLiteral("W")));
}

QTEST_GUILESS_MAIN(tst_ListAuthorization)
#include "tst_listauthorization.moc"
