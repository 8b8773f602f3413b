// The contact list's statement: its text, and that it runs with every join on the backend.

#include "perikon/data/db/Recordset.h"
#include "perikon/list/ListStatement.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

namespace {

const QString kEveryJoin = QStringLiteral(
    "Crm_Contact.cContactCode as cContactCode, cCusName, Contact1.cContactName as cSuperior, "
    "cDepName, BaseCodeDuty.cName as cDuty, BaseCodeSex.cName as cSex, BaseCodeTaste.cName as "
    "cTaste, BaseCodeMarriage.cName as cMarriage, Person3.cPsn_Name as cPrincipalName, "
    "Crm_Contact_extradefine.cLDefine1 as cLDefine1");

} // namespace

class tst_ListStatement : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void runsWithEveryJoin_data();
    void runsWithEveryJoin();
};

void tst_ListStatement::text_data()
{
    QTest::addColumn<QString>("selectCols");
    QTest::addColumn<QString>("rowAuth");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("statement");
    const QString code = QStringLiteral("Crm_Contact.cContactCode");
    const QString head = QStringLiteral("SELECT Crm_Contact.cContactCode FROM v_Crm_Contact "
                                        "Crm_Contact WHERE (");
    QTest::newRow("unrestricted, default order")
        << code << "1=1"
        << ""
        << ""
        << ""
        << "" << head + "1=1)   ORDER BY Crm_Contact.cContactCode";
    QTest::newRow("one customer's archive, quote escaped")
        << code << "1=1"
        << "O'Neil"
        << ""
        << ""
        << ""
        << head
               + "1=1)   and Crm_Contact.cCusCode = N'O''Neil'  ORDER BY "
                 "Crm_Contact.cContactCode";
    QTest::newRow("extra, filter and order")
        << code << "Crm_Contact.cPrincipal IN (N'P1')"
        << ""
        << "cMemo is null"
        << "cMemo is null"
        << "cContactName desc"
        << head
               + "Crm_Contact.cPrincipal IN (N'P1'))   AND cMemo is null AND cMemo is null "
                 "Order by cContactName desc";
    QTest::newRow("a join ending without a blank is kept apart from WHERE")
        << "Contact1.cContactName"
        << "1=1"
        << ""
        << ""
        << ""
        << ""
        << "SELECT Contact1.cContactName FROM v_Crm_Contact Crm_Contact  Left join Crm_Contact "
           "Contact1 on Contact1.cContactCode=Crm_Contact.cSuperiorID WHERE (1=1)   ORDER BY "
           "Crm_Contact.cContactCode";
    QTest::newRow("no read authorization, no statement") << code << " "
                                                         << ""
                                                         << ""
                                                         << ""
                                                         << ""
                                                         << "";
}

void tst_ListStatement::text()
{
    QFETCH(QString, selectCols);
    QFETCH(QString, rowAuth);
    QFETCH(QString, customer);
    QFETCH(QString, extra);
    QFETCH(QString, filter);
    QFETCH(QString, order);
    QFETCH(QString, statement);
    QCOMPARE(list::listStatement({selectCols, rowAuth, customer, extra, filter, order}), statement);
}

void tst_ListStatement::runsWithEveryJoin_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("default order") << ""
                                   << "" << QStringList{"c1", "c10", "c2"};
    QTest::newRow("one customer") << "C1"
                                  << "" << QStringList{"c10", "c2"};
    QTest::newRow("own order") << ""
                               << "Crm_Contact.cContactCode desc" << QStringList{"c2", "c10", "c1"};
}

void tst_ListStatement::runsWithEveryJoin()
{
    QFETCH(QString, customer);
    QFETCH(QString, order);
    QFETCH(QStringList, codes);
    SuiteFixture db;
    const QString error = db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    db.exec(QStringLiteral("insert into Customer (cCusCode, iId, cCusName) values "
                           "(N'C1', 1, N'Acme')"));
    db.exec(QStringLiteral("insert into Department (cDepCode, cDepName) values (N'D1', N'Sales')"));
    db.exec(QStringLiteral("insert into hr_hi_person (cPsn_Num, cPsn_Name) values "
                           "(N'P1', N'Wang')"));
    db.exec(QStringLiteral(
        "insert into Crm_Contact (OID, cContactCode, cContactName, cCusCode, cSuperiorID, "
        "cConDepart, bcSexID, bcMarriageID, cPrincipal) values "
        "(N'o1', N'c1', N'A', null, null, null, null, null, null), "
        "(N'o2', N'c2', N'B', N'C1', N'c1', N'D1', 6, 9, N'P1'), "
        "(N'o10', N'c10', N'C', N'C1', N'c2', null, 7, null, null)"));
    db.exec(QStringLiteral("insert into Crm_Contact_extradefine (OID, cContactCode, cLDefine1) "
                           "values (N'o2', N'c2', N'x')"));

    const QString sql
        = list::listStatement({kEveryJoin, QStringLiteral("1=1"), customer, {}, {}, order});
    QCOMPARE(db.column(sql), codes);
    // Each join finds its row: one contact carries every looked-up value.
    db::Recordset rs;
    rs.open(list::listStatement({kEveryJoin,
                                 QStringLiteral("1=1"),
                                 {},
                                 QStringLiteral("Crm_Contact.cContactCode=N'c2'"),
                                 {},
                                 {}}),
            &db.connection());
    QVERIFY(!rs.eof());
    QStringList looked;
    for (const char *name :
         {"cCusName", "cSuperior", "cDepName", "cSex", "cPrincipalName", "cLDefine1"})
        looked.append(rs.value(QString::fromLatin1(name)).toString());
    QCOMPARE(looked.join(u'|'), QStringLiteral("Acme|A|Sales|男|Wang|x"));
}

QTEST_GUILESS_MAIN(tst_ListStatement)
#include "tst_liststatement.moc"
