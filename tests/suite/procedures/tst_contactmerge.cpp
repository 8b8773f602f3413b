#include "support/SuiteFixture.h"

#include "perikon/data/db/Driver.h"
#include "suite/SuiteLogin.h"
#include "suite/procedures/SuiteProcedures.h"

#include <QTest>

using namespace perikon;

// The merge of two contacts as the component runs it: each step through the proxy procedure,
// its outcome read back from the scratch table.
class tst_ContactMerge : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void mergeMovesEveryReferenceToTheSurvivor();
    void everyMergeStepReportsThroughTheScratchTable_data();
    void everyMergeStepReportsThroughTheScratchTable();
    void failingStepLeavesNothingMoved();
    void failureInsideCallersTransactionUndoesOnlyTheMerge();

private:
    struct Outcome
    {
        int status = 1;
        QString text;
    };
    Outcome runStep(const QString &procedure, const QString &table, const QString &code1,
                    const QString &code2);
    QStringList rows(const QString &sql);
    QStringList snapshot();

    SuiteFixture m_db;
    int m_scratch = 0;
};

void tst_ContactMerge::initTestCase()
{
    suite::registerProcedures();
}

void tst_ContactMerge::init()
{
    suite::setSessionLanguage(QStringLiteral("en-US"));
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // An archive that refers to contacts by OID, declared like any other reference.
    m_db.connection().driver().execute(
        QStringLiteral("CREATE TABLE Crm_Visit (cVisitCode nvarchar(20) NOT NULL PRIMARY KEY, "
                       "cContactOID nvarchar(100))"));
    m_db.exec(QStringLiteral(
        "insert into crm_ref_relation (creferencedtablename, creferencedtablekey, "
        "creferencingtablename, creferencingtablecolumn, cwherepart, cObjName) values "
        "(N'Crm_Contact', N'OID', N'Crm_Visit', N'cContactOID', N'', N'拜访')"));
    m_db.exec(QStringLiteral(
        "insert into Customer (cCusCode, iId, cCusName, ccuscontactcode, cCusPerson) values "
        "(N'C001', 1, N'甲公司', N'{A}', N'张三'), (N'C002', 2, N'乙公司', N'{C}', N'王五')"));
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (OID, cContactCode, cContactName, cCusCode, cSuperiorID) values "
        "(N'{A}', N'00000001', N'张三', N'C001', null), "
        "(N'{B}', N'00000002', N'O''Brien', N'C001', N'00000001'), "
        "(N'{C}', N'00000003', N'王五', N'C002', N'00000001'), "
        "(N'{D}', N'00000004', N'赵六', N'C002', N'00000003')"));
    m_db.exec(
        QStringLiteral("insert into Crm_Contact_extradefine (OID, cContactCode, cLDefine1) values "
                       "(N'{A}', N'00000001', N'a'), (N'{B}', N'00000002', N'b')"));
    m_db.exec(
        QStringLiteral("insert into Crm_Opportunity (cOppCode, cOppName, cContactCode) values "
                       "(N'SJ1', N'x', N'00000001'), (N'SJ2', N'y', N'00000004')"));
    m_db.exec(QStringLiteral("insert into Crm_Visit (cVisitCode, cContactOID) values "
                             "(N'V1', N'{A}'), (N'V2', N'{D}')"));
    m_db.exec(QStringLiteral(
        "insert into crm_contact_Auth (Contact_Id, Privilege_Type, Privilege_ID) values "
        "(N'00000001', 1, N'01'), (N'00000001', 0, N'D1'), (N'00000002', 1, N'01')"));
    m_db.exec(QStringLiteral(
        "insert into crm_contact_User (Contact_Id, User_Id, iUserType) values "
        "(N'00000001', N'u1', 1), (N'00000001', N'u2', 0), (N'00000002', N'u2', 0)"));
}

tst_ContactMerge::Outcome tst_ContactMerge::runStep(const QString &procedure, const QString &table,
                                                    const QString &code1, const QString &code2)
{
    const QString scratch = QStringLiteral("tempK250%1").arg(++m_scratch);
    m_db.exec(QStringLiteral("EXECUTE sp_UniteArchiveProxy '%1', '%2', '%3', '%4','%5','cRetVal'")
                  .arg(procedure, table, code1, code2, scratch));
    Outcome outcome;
    const auto cursor
        = m_db.connection().openCursor(QStringLiteral("SELECT * FROM  tempdb..") + scratch);
    if (cursor && cursor->next()) {
        outcome.status = cursor->value(0).toInt();
        outcome.text = cursor->value(1).toString();
        if (cursor->next())
            outcome.status = 99; // exactly one row is the contract
    }
    m_db.exec(QStringLiteral("drop table tempdb..") + scratch);
    return outcome;
}

QStringList tst_ContactMerge::rows(const QString &sql)
{
    QStringList result;
    const auto cursor = m_db.connection().openCursor(sql);
    while (cursor && cursor->next()) {
        QStringList values;
        for (int i = 0; i < int(cursor->columns().size()); ++i)
            values.append(cursor->value(i).toString());
        result.append(values.join(u'|'));
    }
    return result;
}

QStringList tst_ContactMerge::snapshot()
{
    return rows(QStringLiteral("select cContactCode, OID, cContactName, cSuperiorID from "
                               "Crm_Contact order by cContactCode"))
           + rows(QStringLiteral(
               "select cCusCode, ccuscontactcode, cCusPerson from Customer order by cCusCode"))
           + rows(QStringLiteral("select OID, cLDefine1 from Crm_Contact_extradefine order by OID"))
           + rows(QStringLiteral(
               "select cOppCode, cContactCode from Crm_Opportunity order by cOppCode"))
           + rows(
               QStringLiteral("select cVisitCode, cContactOID from Crm_Visit order by cVisitCode"))
           + rows(QStringLiteral("select Contact_Id, Privilege_Type, Privilege_ID from "
                                 "crm_contact_Auth order by 1, 2, 3"))
           + rows(QStringLiteral(
               "select Contact_Id, User_Id, iUserType from crm_contact_User order by 1, 2"));
}

void tst_ContactMerge::mergeMovesEveryReferenceToTheSurvivor()
{
    const Outcome outcome
        = runStep(QStringLiteral("sp_ContactMerg_CRM"), QStringLiteral("Crm_Contact"),
                  QStringLiteral("00000001"), QStringLiteral("00000002"));
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.text, QString());

    // Code1 is gone with its extension row; its subordinate follows the survivor, and the
    // survivor, formerly code1's subordinate, does not become its own superior.
    QCOMPARE(rows(QStringLiteral(
                 "select cContactCode, cSuperiorID from Crm_Contact order by cContactCode")),
             (QStringList{"00000002|", "00000003|00000002", "00000004|00000003"}));
    QCOMPARE(rows(QStringLiteral("select OID from Crm_Contact_extradefine")), QStringList{"{B}"});
    QCOMPARE(rows(QStringLiteral(
                 "select cCusCode, ccuscontactcode, cCusPerson from Customer order by cCusCode")),
             (QStringList{"C001|{B}|O'Brien", "C002|{C}|王五"}));
    QCOMPARE(rows(QStringLiteral(
                 "select cOppCode, cContactCode from Crm_Opportunity order by cOppCode")),
             (QStringList{"SJ1|00000002", "SJ2|00000004"}));
    QCOMPARE(
        rows(QStringLiteral("select cVisitCode, cContactOID from Crm_Visit order by cVisitCode")),
        (QStringList{"V1|{B}", "V2|{D}"}));
    QCOMPARE(rows(QStringLiteral("select Contact_Id, Privilege_Type, Privilege_ID from "
                                 "crm_contact_Auth order by 1, 2, 3")),
             (QStringList{"00000002|0|D1", "00000002|1|01"}));
    QCOMPARE(rows(QStringLiteral(
                 "select Contact_Id, User_Id, iUserType from crm_contact_User order by 1, 2")),
             (QStringList{"00000002|u1|1", "00000002|u2|0"}));
}

void tst_ContactMerge::everyMergeStepReportsThroughTheScratchTable_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("code1");
    QTest::addColumn<QString>("code2");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("changes");
    for (const char *step : {"sp_UniteArchive_EX", "sp_UniteArchive_IM", "sp_UniteArchive_CM",
                             "sp_UniteArchive_Sa", "sp_UniteCustomer_CRM", "sp_UniteArchive_As"})
        QTest::newRow(step) << step << "Crm_Contact"
                            << "00000001"
                            << "00000002" << 0 << "" << false;
    QTest::newRow("contact merge") << "sp_ContactMerg_CRM"
                                   << "Crm_Contact"
                                   << "00000003"
                                   << "00000004" << 0 << "" << true;
    QTest::newRow("merge step names in any case") << "SP_CONTACTMERG_CRM"
                                                  << "crm_contact"
                                                  << "00000003"
                                                  << "00000004" << 0 << "" << true;
    QTest::newRow("other archive has no contacts") << "sp_ContactMerg_CRM"
                                                   << "Customer"
                                                   << "00000001"
                                                   << "00000002" << 0 << "" << false;
    QTest::newRow("first code missing") << "sp_ContactMerg_CRM"
                                        << "Crm_Contact"
                                        << "00000009"
                                        << "00000002" << -1 << "00000009" << false;
    QTest::newRow("second code missing") << "sp_ContactMerg_CRM"
                                         << "Crm_Contact"
                                         << "00000001"
                                         << "O''Hara" << -1 << "O'Hara" << false;
    QTest::newRow("into itself") << "sp_ContactMerg_CRM"
                                 << "Crm_Contact"
                                 << "00000001"
                                 << "00000001" << -1 << "itself" << false;
    QTest::newRow("unknown procedure") << "sp_NoSuchMerge"
                                       << "Crm_Contact"
                                       << "00000001"
                                       << "00000002" << -1 << "sp_NoSuchMerge" << false;
}

void tst_ContactMerge::everyMergeStepReportsThroughTheScratchTable()
{
    QFETCH(QString, procedure);
    QFETCH(QString, table);
    QFETCH(QString, code1);
    QFETCH(QString, code2);
    QFETCH(int, status);
    QFETCH(QString, reason);
    QFETCH(bool, changes);
    const QStringList before = snapshot();
    const Outcome outcome = runStep(procedure, table, code1, code2);
    QCOMPARE(outcome.status, status);
    if (reason.isEmpty())
        QCOMPARE(outcome.text, QString());
    else
        QVERIFY2(outcome.text.contains(reason), qPrintable(outcome.text));
    QCOMPARE(snapshot() != before, changes);
}

void tst_ContactMerge::failingStepLeavesNothingMoved()
{
    // The update of this reference fails after the subordinates and the customer link were
    // already moved in the same transaction, so there is earlier work to undo.
    m_db.exec(
        QStringLiteral("insert into crm_ref_relation (creferencedtablename, creferencedtablekey, "
                       "creferencingtablename, creferencingtablecolumn) values "
                       "(N'crm_contact', N'cContactCode', N'No_Such_Table', N'cContactCode')"));
    const QStringList before = snapshot();
    const Outcome outcome
        = runStep(QStringLiteral("sp_ContactMerg_CRM"), QStringLiteral("Crm_Contact"),
                  QStringLiteral("00000001"), QStringLiteral("00000002"));
    QCOMPARE(outcome.status, -1);
    QVERIFY2(outcome.text.contains(QLatin1String("No_Such_Table"), Qt::CaseInsensitive),
             qPrintable(outcome.text));
    QCOMPARE(snapshot(), before);
    QVERIFY(!m_db.connection().inTransaction());
}

void tst_ContactMerge::failureInsideCallersTransactionUndoesOnlyTheMerge()
{
    m_db.exec(
        QStringLiteral("insert into crm_ref_relation (creferencedtablename, creferencedtablekey, "
                       "creferencingtablename, creferencingtablecolumn) values "
                       "(N'Crm_Contact', N'cContactCode', N'No_Such_Table', N'cContactCode')"));
    const QStringList before = snapshot();
    m_db.connection().beginTrans();
    m_db.exec(QStringLiteral("insert into Crm_BaseCode (cType, cName) values (N'Duty', N'顾问')"));
    const Outcome outcome
        = runStep(QStringLiteral("sp_ContactMerg_CRM"), QStringLiteral("Crm_Contact"),
                  QStringLiteral("00000001"), QStringLiteral("00000002"));
    QCOMPARE(outcome.status, -1);
    QVERIFY(m_db.connection().inTransaction());
    QCOMPARE(snapshot(), before);
    m_db.connection().commitTrans();
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_BaseCode where cName=N'顾问'")),
             1);
}

QTEST_GUILESS_MAIN(tst_ContactMerge)
#include "tst_contactmerge.moc"
