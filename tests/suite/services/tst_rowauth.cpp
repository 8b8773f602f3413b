// Row authorization: which contacts an operator reaches through the suite's rules and the
// contact fragment built from them, checked by running the fragment against a real account.

#include "perikon/host/contract/RowAuthService.h"
#include "suite/services/SuiteRowAuthService.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_RowAuth : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void combination_data();
    void combination();

    void visibleContacts_data();
    void visibleContacts();
    void unreadableRulesLiftNothing();
    void reachableCustomers_data();
    void reachableCustomers();
    void uninitializedServiceReachesNoRow();

private:
    QStringList visible(const QString &fragment, bool throughListView);
    SuiteFixture m_db;
};

void tst_RowAuth::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void tst_RowAuth::combination_data()
{
    QTest::addColumn<QString>("person");
    QTest::addColumn<QString>("dimension");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<bool>("customerControlled");
    QTest::addColumn<QString>("fragment");
    const QString no = QStringLiteral(" OR ISNULL(Crm_Contact.cCusCode,'')='' ");
    // Dimension and customer first, then the person widening what they leave.
    QTest::newRow("dimension denies") << ""
                                      << "1=2"
                                      << "C" << true << "1=2";
    QTest::newRow("dimension denies, person widens") << "P"
                                                     << "1=2"
                                                     << "" << false << "P";
    QTest::newRow("dimension denies, person denies too") << "1=2"
                                                         << "1=2"
                                                         << "" << false << "1=2";
    QTest::newRow("dimension and denied customer")
        << ""
        << "M"
        << "1=2" << false << QString("(1=2" + no + ") AND M");
    QTest::newRow("dimension and customer") << ""
                                            << "M"
                                            << "C" << false << QString("M AND ((C)" + no + ")");
    QTest::newRow("dimension alone") << ""
                                     << "M"
                                     << "" << true << "M";
    QTest::newRow("denied customer keeps contacts without one")
        << ""
        << ""
        << "1=2" << false << QString("(1=2" + no + ")");
    QTest::newRow("customer alone") << ""
                                    << ""
                                    << "C" << false << QString("((C)" + no + ")");
    QTest::newRow("controlled customers without restriction")
        << ""
        << ""
        << "" << true << "EXISTS(SELECT 1 WHERE 1=1)";
    QTest::newRow("nothing restricts") << ""
                                       << ""
                                       << "" << false << "";
    QTest::newRow("person widens the rest") << "P"
                                            << "M"
                                            << "" << false << "(P OR (M))";
    QTest::newRow("denied person leaves the rest") << "1=2"
                                                   << "M"
                                                   << "" << false << "M";
    QTest::newRow("person alone") << "P"
                                  << ""
                                  << "" << false << "P";
    QTest::newRow("denied person alone") << "1=2"
                                         << ""
                                         << "" << false << "1=2";
}

void tst_RowAuth::combination()
{
    QFETCH(QString, person);
    QFETCH(QString, dimension);
    QFETCH(QString, customer);
    QFETCH(bool, customerControlled);
    QFETCH(QString, fragment);
    QCOMPARE(rowauth::combineContactAuth(person, dimension, customer, customerControlled),
             fragment);
}

QStringList tst_RowAuth::visible(const QString &fragment, bool throughListView)
{
    const QString where = fragment.isEmpty() ? QStringLiteral("1=1") : fragment;
    // The list reads through the view and joins the contacts table a second time for the
    // superior's name: a fragment must name its columns without ambiguity there.
    const QString from = throughListView
                             ? QStringLiteral("v_Crm_Contact Crm_Contact Left join Crm_Contact "
                                              "Contact1 on Contact1.cContactCode="
                                              "Crm_Contact.cSuperiorID ")
                             : QStringLiteral("Crm_Contact ");
    return m_db.column(QStringLiteral("select Crm_Contact.cContactCode from ") + from
                       + QStringLiteral("where (") + where
                       + QStringLiteral(") order by Crm_Contact.cContactCode"));
}

void tst_RowAuth::visibleContacts_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("rules"); // values of an insert into qz_RowAuth
    QTest::addColumn<QString>("setup"); // extra statement before the check
    QTest::addColumn<QString>("function");
    QTest::addColumn<QStringList>("contacts");

    // The seeded archives control contacts by person and customers by rule, not by dimension.
    QTest::newRow("no rules: only contacts without a customer") << "u1"
                                                                << ""
                                                                << ""
                                                                << "R" << QStringList{"c3", "c4"};
    QTest::newRow("own person widens") << "u1"
                                       << "(N'u1', N'person', N'', N'P1')"
                                       << ""
                                       << "R" << QStringList{"c1", "c3", "c4", "c5"};
    QTest::newRow("rule for another function does not apply") << "u1"
                                                              << "(N'u1', N'person', N'W', N'P1')"
                                                              << ""
                                                              << "R" << QStringList{"c3", "c4"};
    QTest::newRow("rule for the function applies") << "u1"
                                                   << "(N'u1', N'person', N'w', N'P1')"
                                                   << ""
                                                   << "W" << QStringList{"c1", "c3", "c4", "c5"};
    QTest::newRow("customer rule")
        << "u1"
        << "(N'u1', N'person', N'', N'*'), (N'u1', N'customer', N'', N'C2')"
        << ""
        << "R" << QStringList{"c2", "c3", "c4", "c5"};
    QTest::newRow("customer code with a quote")
        << "u1"
        << "(N'u1', N'customer', N'', N'O''Neil'), (N'u1', N'person', N'', N'*')"
        << ""
        << "D" << QStringList{"c3", "c4", "c6"};
    QTest::newRow("everything lifted")
        << "u1"
        << "(N'u1', N'person', N'', N'*'), (N'u1', N'customer', N'', N'*')"
        << ""
        << "R" << QStringList{"c1", "c2", "c3", "c4", "c5", "c6"};
    QTest::newRow("rules of another operator")
        << "u2"
        << "(N'u1', N'person', N'', N'*'), (N'u1', N'customer', N'', N'*')"
        << ""
        << "R" << QStringList{"c3", "c4"};
    QTest::newRow("dimension rules")
        << "u1"
        << "(N'u1', N'person', N'', N'*'), (N'u1', N'customer', N'', N'*'), "
           "(N'u1', N'dimension', N'', N'0:D1'), (N'u1', N'dimension', N'', N'1:R1')"
        << "update aa_busobject_base set bAuthDimControl=1 where cBusObId=N'Crm_Contact'"
        << "R" << QStringList{"c1", "c2"};
    QTest::newRow("dimension type must match")
        << "u1"
        << "(N'u1', N'person', N'', N'*'), (N'u1', N'customer', N'', N'*'), "
           "(N'u1', N'dimension', N'', N'1:D1')"
        << "update aa_busobject_base set bAuthDimControl=1 where cBusObId=N'Crm_Contact'"
        << "R" << QStringList{};
    QTest::newRow("dimension without rule, person widens")
        << "u1"
        << "(N'u1', N'person', N'', N'P2'), (N'u1', N'customer', N'', N'*')"
        << "update aa_busobject_base set bAuthDimControl=1 where cBusObId=N'Crm_Contact'"
        << "R" << QStringList{"c2", "c3"};
    QTest::newRow("uncontrolled archives")
        << "u1"
        << ""
        << "update aa_busobject_base set bAuthControl=0, bPersonControl=0"
        << "R" << QStringList{"c1", "c2", "c3", "c4", "c5", "c6"};
}

void tst_RowAuth::visibleContacts()
{
    QFETCH(QString, user);
    QFETCH(QString, rules);
    QFETCH(QString, setup);
    QFETCH(QString, function);
    QFETCH(QStringList, contacts);

    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (cContactCode, cContactName, cPrincipal, cCusCode, cSuperiorID) "
        "values (N'c1', N'A', N'P1', N'C1', null), (N'c2', N'B', N'P2', N'C2', N'c1'), "
        "(N'c3', N'C', N'P2', null, N'c1'), (N'c4', N'D', null, N'', null), "
        "(N'c5', N'E', N'P1', N'C2', null), (N'c6', N'F', null, N'O''Neil', null)"));
    m_db.exec(QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_Type, "
                             "Privilege_ID) values (N'c1', 0, N'D1'), (N'c2', 1, N'R1'), "
                             "(N'c5', 0, N'D2')"));
    if (!rules.isEmpty())
        m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) "
                                 "values ")
                  + rules);
    if (!setup.isEmpty())
        m_db.exec(setup);

    suite::SuiteRowAuthService service;
    QVERIFY(service.Init(m_db.connectionString(), user));
    const QString fragment
        = rowauth::contactAuthString(service, function, QStringLiteral("Crm_Contact"));
    QCOMPARE(visible(fragment, false), contacts);
    QCOMPARE(visible(fragment, true), contacts);
}

void tst_RowAuth::reachableCustomers_data()
{
    QTest::addColumn<QString>("rules"); // values of an insert into qz_RowAuth
    QTest::addColumn<QString>("setup"); // extra statement before the check
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("customers"); // reached through customerAuthCondition

    const QStringList all{"C1", "C2", "C3", "O'Neil"};
    // clang-format off
    QTest::newRow("no rule restricts nothing") << "" << "" << "Customer" << "R" << "" << all;
    QTest::newRow("rule names two customers")
        << "(N'u1', N'customer', N'', N'C3'), (N'u1', N'customer', N'', N'C1')"
        << "" << "Customer" << "W" << "21,23" << QStringList{"C1", "C3"};
    QTest::newRow("customer code with a quote")
        << "(N'u1', N'customer', N'W', N'O''Neil')" << "" << "customer" << "W" << "24" << QStringList{"O'Neil"};
    QTest::newRow("rule of another function")
        << "(N'u1', N'customer', N'W', N'C1')" << "" << "Customer" << "R" << "" << all;
    QTest::newRow("rule of the asked function")
        << "(N'u1', N'customer', N'W', N'C2')" << "" << "Customer" << "W" << "22" << QStringList{"C2"};
    QTest::newRow("rule naming no existing customer")
        << "(N'u1', N'customer', N'', N'C9')" << "" << "Customer" << "W" << "1=2" << QStringList{};
    QTest::newRow("lifted rule")
        << "(N'u1', N'customer', N'', N'C1'), (N'u1', N'customer', N'', N'*')" << "" << "Customer" << "W" << "" << all;
    QTest::newRow("rules of another operator")
        << "(N'u2', N'customer', N'', N'C1')" << "" << "Customer" << "R" << "" << all;
    QTest::newRow("customers not under control")
        << "(N'u1', N'customer', N'', N'C1')"
        << "update aa_busobject_base set bAuthControl=0 where cBusObId=N'Customer'"
        << "Customer" << "R" << "" << all;
    QTest::newRow("other archives are not listed")
        << "(N'u1', N'customer', N'', N'C1')" << "" << "Crm_Contact" << "R" << "" << all;
    QTest::newRow("unreadable rules reach none")
        << "" << "drop table qz_RowAuth" << "Customer" << "R" << "1=2" << QStringList{};
    // clang-format on
}

void tst_RowAuth::reachableCustomers()
{
    QFETCH(QString, rules);
    QFETCH(QString, setup);
    QFETCH(QString, archive);
    QFETCH(QString, function);
    QFETCH(QString, answer);
    QFETCH(QStringList, customers);

    m_db.exec(QStringLiteral("insert into Customer (cCusCode, iId, cCusName) values "
                             "(N'C1', 21, N'A'), (N'C2', 22, N'B'), (N'C3', 23, N'C'), "
                             "(N'O''Neil', 24, N'D')"));
    if (!rules.isEmpty())
        m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) "
                                 "values ")
                  + rules);
    if (!setup.isEmpty())
        m_db.exec(setup);

    suite::SuiteRowAuthService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QString reached = service.GetAuthString(archive, function);
    QCOMPARE(reached, answer);
    QCOMPARE(m_db.column(QStringLiteral("select cCusCode from Customer where ")
                         + rowauth::customerAuthCondition(reached)
                         + QStringLiteral(" order by cCusCode")),
             customers);
}

void tst_RowAuth::unreadableRulesLiftNothing()
{
    m_db.exec(QStringLiteral("insert into Crm_Contact (cContactCode, cPrincipal, cCusCode) values "
                             "(N'c1', N'P1', N'C1')"));
    m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) values "
                             "(N'u1', N'person', N'', N'*'), (N'u1', N'customer', N'', N'*')"));
    suite::SuiteRowAuthService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    QCOMPARE(visible(rowauth::contactAuthString(service, "R", "Crm_Contact"), false),
             QStringList{"c1"});

    m_db.exec(QStringLiteral("drop table qz_RowAuth"));
    const QString contact = QStringLiteral("Crm_Contact");
    QCOMPARE(service.GetPersonAuthString(contact, {}, "R", contact), QStringLiteral("1=2"));
    QCOMPARE(service.GetAuthString2("customer", {}, "R", contact, true, false),
             QStringLiteral("1=2"));
    QCOMPARE(visible(rowauth::contactAuthString(service, "R", contact), false), QStringList{});
}

void tst_RowAuth::uninitializedServiceReachesNoRow()
{
    suite::SuiteRowAuthService service;
    const QString contact = QStringLiteral("Crm_Contact");
    QCOMPARE(service.GetPersonAuthString(contact, {}, "R", contact), QStringLiteral("1=2"));
    QCOMPARE(service.GetDimAuthString(contact, {}, "R", contact), QStringLiteral("1=2"));
    QCOMPARE(service.GetAuthString2("customer", {}, "R", contact, true, true),
             QStringLiteral("1=2"));
    QVERIFY(service.NeedControlAuth(QStringLiteral("Customer")));
}

QTEST_GUILESS_MAIN(tst_RowAuth)
#include "tst_rowauth.moc"
