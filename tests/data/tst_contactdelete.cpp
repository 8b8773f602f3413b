// Deleting a contact: key checks, declared references, companion rows and the customer link.

#include "support/SessionFixture.h"

#include <QTest>

using namespace perikon;
using perikon::testing::SessionFixture;

class tst_ContactDelete : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (SessionFixture::unavailable())
            QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
        m_session = std::make_unique<SessionFixture>(20);
        QVERIFY2(m_session->ok(), qPrintable(m_session->error()));
    }

    void cleanup() { m_session.reset(); }

    void emptyKeyDeletesNothing_data()
    {
        QTest::addColumn<QVariant>("id");
        QTest::newRow("null") << QVariant();
        QTest::newRow("empty text") << QVariant(QString());
    }

    void emptyKeyDeletesNothing()
    {
        QFETCH(QVariant, id);
        QString msg;
        QVERIFY(
            !com().Delete(id, QStringLiteral("cContactCode"), QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.DBMSG.NoKeyID"));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from tc_tmp_duplication")), 0);
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 20);
    }

    void otherTablesAndMissingKeyNamesAreRefused()
    {
        QString msg;
        QVERIFY(!com().Delete(QStringLiteral("C0000001"), QStringLiteral("cCusCode"),
                              QStringLiteral("Customer"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
        QVERIFY(!com().Delete(QStringLiteral("00000005"), QStringLiteral("  "),
                              QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.QZCompetitor.iclscommon.00059"));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 20);
    }

    void keyNameMustBeAColumnOfTheTable_data()
    {
        QTest::addColumn<QString>("keyName");
        QTest::newRow("condition smuggled in") << "cContactCode=N'1' OR 1=1 OR cContactCode";
        QTest::newRow("comment") << "cContactCode=cContactCode --";
        QTest::newRow("unknown column") << "cNoSuchColumn";
        QTest::newRow("bracketed") << "[cContactCode]";
    }

    void keyNameMustBeAColumnOfTheTable()
    {
        QFETCH(QString, keyName);
        QString msg;
        QVERIFY(
            !com().Delete(QStringLiteral("00000005"), keyName, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.QZCompetitor.iclscommon.00059"));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 20);
        QVERIFY(m_session->logText().contains(keyName));
        // The column itself, in any case, still names the key.
        QVERIFY2(com().Delete(QStringLiteral("00000005"), QStringLiteral("CCONTACTCODE"),
                              QStringLiteral("Crm_Contact"), msg),
                 qPrintable(msg));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 19);
    }

    void referencedContactNamesEveryReferrer()
    {
        // A second declared reference, by OID, from a table of visit records.
        QVERIFY(com().ExecuteX(QStringLiteral(
            "insert into crm_ref_relation(creferencedtablename,creferencedtablekey,"
            "creferencingtablename,creferencingtablecolumn,cwherepart,cObjName) "
            "values(N'Crm_Contact',N'OID',N'Crm_Contact_extradefine',N'OID',N'',N'联系人扩展')")));
        QString msg;
        // The list names the table in lower case; the declarations still hold on every server.
        QVERIFY(!com().Delete(QStringLiteral("00000003"), QStringLiteral("cContactCode"),
                              QStringLiteral("crm_contact"), msg));
        const QString list = QStringLiteral("联系人扩展、商机");
        QCOMPARE(msg, SessionFixture::text(
                          "K2.CRM.COMMON.CheckRef02",
                          {GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContactMng")), list}));
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Contact where cContactCode=N'00000003'")),
                 1);
        // The duplicate detection heard of the attempt all the same.
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from tc_tmp_duplication where code=N'00000003' and oper=N'del'")),
            1);
    }

    void defaultContactLeavesItsCustomerWithoutOne()
    {
        std::unique_ptr<db::Recordset> link(com().OpenX(QStringLiteral(
            "select c.cContactCode, u.cCusCode from Crm_Contact c join Customer u on u.ccuscontactcode = c.OID "
            "where c.cContactCode <> N'00000003'")));
        QVERIFY(link && link->recordCount() > 0);
        const QString code = link->value(0).toString();
        const QString customer = link->value(1).toString();
        const QString oid
            = m_session
                  ->scalar(QStringLiteral("select OID from Crm_Contact where cContactCode=N'%1'")
                               .arg(code))
                  .toString();
        QVERIFY(com().ExecuteX(
            QStringLiteral(
                "insert into crm_contact_Auth(Contact_Id,Privilege_ID,Privilege_Type) values(N'%1',N'01',0)")
                .arg(code)));
        QVERIFY(com().ExecuteX(
            QStringLiteral(
                "insert into crm_contact_User(Contact_Id,User_Id,iUserType) values(N'%1',N'demo',0)")
                .arg(code)));

        QString msg;
        QVERIFY2(
            com().Delete(code, QStringLiteral("cContactCode"), QStringLiteral("Crm_Contact"), msg),
            qPrintable(msg));
        std::unique_ptr<db::Recordset> rs(com().OpenX(
            QStringLiteral("select ccuscontactcode, cCusPerson from Customer where cCusCode=N'%1'")
                .arg(customer)));
        QVERIFY(rs->value(0).isNull());
        QCOMPARE(rs->value(1).toString(), QString());
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from Crm_Contact where cContactCode=N'%1'")
                         .arg(code)),
                 0);
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from Crm_Contact_extradefine where OID=N'%1'")
                         .arg(oid)),
                 0);
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from crm_contact_Auth where Contact_Id=N'%1'")
                         .arg(code)),
                 0);
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from crm_contact_User where Contact_Id=N'%1'")
                         .arg(code)),
                 0);
    }

    void vanishedContactIsReported()
    {
        QString msg;
        QVERIFY(!com().Delete(QStringLiteral("99999995"), QStringLiteral("cContactCode"),
                              QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.DBMSG.Sel0512"));
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from tc_tmp_duplication where code=N'99999995' and oper=N'del'")),
            1);
    }

    void referenceCheckWithoutDeclarationsPasses()
    {
        QVERIFY(com().ExecuteX(QStringLiteral("delete from crm_ref_relation")));
        QString names;
        QVERIFY(com().CheckRefed(QStringLiteral("00000003"), QStringLiteral("Crm_Contact"), true,
                                 names));
        QVERIFY(names.isEmpty());
        QVERIFY(com().BArchIsUsed(QStringLiteral("Crm_Contact"), QStringLiteral("cContactCode"),
                                  QStringLiteral("00000003")));
        QVERIFY(!com().BArchIsUsed(QStringLiteral("Crm_Contact"), QStringLiteral("cContactCode"),
                                   QStringLiteral("O'Brien")));
    }

private:
    IClsCommon &com() { return m_session->com; }
    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_ContactDelete)
#include "tst_contactdelete.moc"
