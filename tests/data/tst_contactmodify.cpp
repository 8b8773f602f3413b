// Changing contacts: the row-version check, partial rows, the customer link, and the archive
// operations a row may ask for instead of a plain update.

#include "support/SessionFixture.h"

#include "perikon/data/db/Connection.h"

#include <QTest>

using namespace perikon;
using perikon::testing::SessionFixture;

class tst_ContactModify : public QObject
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

    void rowChangedElsewhereIsRefused()
    {
        gContactTs = version(QStringLiteral("00000005"));
        QVERIFY(!gContactTs.isEmpty());
        // Another operator saves the same contact in the meantime.
        db::Connection other;
        other.open(m_session->database().connectionString());
        other.execute(QStringLiteral(
            "update Crm_Contact set cMemo=N'别人改的' where cContactCode=N'00000005'"));

        QString xml = QStringLiteral(
            "<Crm_Contact><cContactCode>00000005</cContactCode><cMobilePhone>13700000000</cMobilePhone></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!com().Modify(xml, table, msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.DBMSG.Upt01"));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cMemo from Crm_Contact where cContactCode=N'00000005'"))
                     .toString(),
                 QStringLiteral("别人改的"));
        QVERIFY(m_session
                    ->scalar(QStringLiteral(
                        "select cMobilePhone from Crm_Contact where cContactCode=N'00000005'"))
                    .toString()
                != QStringLiteral("13700000000"));
    }

    void currentRowIsWrittenAndGetsANewVersion()
    {
        gContactTs = version(QStringLiteral("00000006"));
        QString xml = QStringLiteral(
            "<Crm_Contact><cContactCode>00000006</cContactCode><cContactName>新名字</cContactName>"
            "<cCusCode>C0000001</cCusCode></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cContactName from Crm_Contact where cContactCode=N'00000006'"))
                     .toString(),
                 QStringLiteral("新名字"));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cRevisor from Crm_Contact where cContactCode=N'00000006'"))
                     .toString(),
                 QStringLiteral("王经理"));
        QVERIFY(version(QStringLiteral("00000006")) != gContactTs);
    }

    void missingContacts_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty code") << ""
                                    << "K2.CRM.QZContact.frmcontactedit.00079";
        QTest::newRow("unknown code") << "99999998"
                                      << "K2.CRM.COMMON.DBMSG.0400";
    }

    void missingContacts()
    {
        QFETCH(QString, code);
        QFETCH(QString, key);
        QString xml
            = QStringLiteral(
                  "<Crm_Contact><cContactCode>%1</cContactCode><cContactName>x</cContactName></Crm_Contact>")
                  .arg(code);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!com().Modify(xml, table, msg));
        QCOMPARE(msg, SessionFixture::text(key.toLatin1().constData()));
    }

    void defaultContactKeepsItsCustomerInStep()
    {
        // A row without its OID gets the stored one, so the customer is linked to the right
        // contact.
        gDefaultContactChanged = true;
        const QString oid = m_session
                                ->scalar(QStringLiteral(
                                    "select OID from Crm_Contact where cContactCode=N'00000007'"))
                                .toString();
        const QString customer
            = m_session
                  ->scalar(QStringLiteral(
                      "select cCusCode from Crm_Contact where cContactCode=N'00000007'"))
                  .toString();
        QString xml
            = QStringLiteral(
                  "<Crm_Contact><cContactCode>00000007</cContactCode><cContactName>新默认</cContactName>"
                  "<cCusCode>%1</cCusCode><cMobilePhone>13511112222</cMobilePhone></Crm_Contact>")
                  .arg(customer);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        std::unique_ptr<db::Recordset> rs(com().OpenX(
            QStringLiteral(
                "select ccuscontactcode, cCusPerson, cCusHand from Customer where cCusCode=N'%1'")
                .arg(customer)));
        QCOMPARE(rs->value(0).toString(), oid);
        QCOMPARE(rs->value(1).toString(), QStringLiteral("新默认"));
        QCOMPARE(rs->value(2).toString(), QStringLiteral("13511112222"));
    }

    void movingToAnotherCustomerClearsTheFormerDefault()
    {
        // Find a customer whose default contact is known, and move that contact elsewhere.
        std::unique_ptr<db::Recordset> link(com().OpenX(QStringLiteral(
            "select c.cContactCode, c.OID, c.cCusCode from Crm_Contact c join Customer u on u.ccuscontactcode = c.OID")));
        QVERIFY(link && link->recordCount() > 0);
        const QString code = link->value(0).toString();
        const QString oid = link->value(1).toString();
        const QString former = link->value(2).toString();
        const QString other
            = m_session
                  ->scalar(QStringLiteral("select cCusCode from Customer where cCusCode <> N'%1'")
                               .arg(former))
                  .toString();
        const QString untouched
            = m_session
                  ->scalar(
                      QStringLiteral("select ccuscontactcode from Customer where cCusCode = N'%1'")
                          .arg(other))
                  .toString();
        gDefaultContactChanged = false;
        QString xml
            = QStringLiteral(
                  "<Crm_Contact OID='%1'><cContactCode>%2</cContactCode><cContactName>搬家</cContactName>"
                  "<cCusCode>%3</cCusCode></Crm_Contact>")
                  .arg(oid, code, other);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        QVERIFY(
            m_session
                ->scalar(QStringLiteral("select ccuscontactcode from Customer where cCusCode=N'%1'")
                             .arg(former))
                .isNull());
        QCOMPARE(
            m_session
                ->scalar(QStringLiteral("select ccuscontactcode from Customer where cCusCode=N'%1'")
                             .arg(other))
                .toString(),
            untouched);
    }

    void partialRowOfADefaultContactKeepsItsLink()
    {
        // Made the default through the save steps, so its flag is what they stored.
        QString xml
            = QStringLiteral("<Crm_Contact bDefaultCon='1'><cContactName>默认甲</cContactName>"
                             "<cCusCode>C0000003</cCusCode></Crm_Contact>");
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        const QString code = codeOf(QStringLiteral("默认甲"));
        QCOMPARE(defaultFlag(code), 1);
        QCOMPARE(customerLink(QStringLiteral("C0000003")), oidOf(code));

        gDefaultContactChanged = false; // another contact's save came in between
        QVERIFY2(com().ModifyDifferent(QStringLiteral("<Crm_Contact><cContactCode>%1</cContactCode>"
                                                      "<cMobilePhone>13700001111</cMobilePhone>"
                                                      "</Crm_Contact>")
                                           .arg(code),
                                       QStringLiteral("Crm_Contact"), msg),
                 qPrintable(msg));
        QCOMPARE(customerLink(QStringLiteral("C0000003")), oidOf(code));
        QCOMPARE(defaultFlag(code), 1);
        QCOMPARE(
            m_session
                ->scalar(QStringLiteral("select cCusHand from Customer where cCusCode=N'C0000003'"))
                .toString(),
            QStringLiteral("13700001111"));
    }

    void clearedFlagGivesUpTheLink()
    {
        const DefaultContact former = demoDefaultContact();
        QVERIFY(!former.code.isEmpty());
        QCOMPARE(defaultFlag(former.code), 1);
        QString xml = QStringLiteral("<Crm_Contact><cContactCode>%1</cContactCode>"
                                     "<cContactName>%2</cContactName><cCusCode>%3</cCusCode>"
                                     "<bDefaultCon>0</bDefaultCon></Crm_Contact>")
                          .arg(former.code, former.name, former.customer);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        QCOMPARE(customerLink(former.customer), QString());
        QCOMPARE(defaultFlag(former.code), 0);
    }

    void newDefaultContactTakesOverTheFlag()
    {
        const DefaultContact former = demoDefaultContact();
        QVERIFY(!former.code.isEmpty());
        QString xml
            = QStringLiteral("<Crm_Contact bDefaultCon='1'><cContactName>新默认乙</cContactName>"
                             "<cCusCode>%1</cCusCode></Crm_Contact>")
                  .arg(former.customer);
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        const QString code = codeOf(QStringLiteral("新默认乙"));
        QCOMPARE(customerLink(former.customer), oidOf(code));
        QCOMPARE(defaultFlag(code), 1);
        QCOMPARE(defaultFlag(former.code), 0);

        // A partial row of the former default, completed from its stored row, leaves the new
        // default in place.
        gDefaultContactChanged = false;
        QVERIFY2(com().ModifyDifferent(QStringLiteral("<Crm_Contact><cContactCode>%1</cContactCode>"
                                                      "<cMemo>旧的</cMemo></Crm_Contact>")
                                           .arg(former.code),
                                       QStringLiteral("Crm_Contact"), msg),
                 qPrintable(msg));
        QCOMPARE(customerLink(former.customer), oidOf(code));
        QCOMPARE(defaultFlag(former.code), 0);
    }

    void transferredRowIsNotStampedOrChecked()
    {
        QVERIFY(com().ExecuteX(QStringLiteral(
            "update userdef set cItemName=N'级别', bInput=1 where cClass=N'联系人' and CItem=N'自定义项4'")));
        QVERIFY(com().ExecuteX(QStringLiteral(
            "update Crm_Contact set dModifyDate=null, cRevisor=null where cContactCode=N'00000008'")));
        gPubService = nullptr;
        QString xml = QStringLiteral(
            "<Crm_Contact transcusperson='1'><cContactCode>00000008</cContactCode><cContactName>转入</cContactName>"
            "<cCusCode>C0000001</cCusCode></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        QVERIFY(m_session
                    ->scalar(QStringLiteral(
                        "select dModifyDate from Crm_Contact where cContactCode=N'00000008'"))
                    .isNull());
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cRevisor from Crm_Contact where cContactCode=N'00000008'"))
                     .toString(),
                 QStringLiteral("王经理"));
    }

    void partialRowKeepsEveryOtherColumn()
    {
        const QString before = rowText(QStringLiteral("00000009"));
        com().SetbConvertStr(true);
        QString msg;
        QVERIFY2(com().ModifyDifferent(
                     QStringLiteral("<Crm_Contact><cContactCode>00000009</cContactCode>"
                                    "<cMobilePhone>13600001111</cMobilePhone></Crm_Contact>"),
                     QStringLiteral("Crm_Contact"), msg),
                 qPrintable(msg));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cMobilePhone from Crm_Contact where cContactCode=N'00000009'"))
                     .toString(),
                 QStringLiteral("13600001111"));
        QCOMPARE(withoutVolatile(rowText(QStringLiteral("00000009"))), withoutVolatile(before));
    }

    void partialRowsKeepStoredTextExactly_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ampersand") << "cContactName"
                                   << "Smith & Sons";
        QTest::newRow("text that reads like entities") << "cMemo"
                                                       << "R&amp;D &lt;1&gt; &#65;";
        QTest::newRow("angle brackets") << "cWorkAddress"
                                        << "<Building 5> > 4";
        QTest::newRow("quotes") << "cHomeAddress"
                                << "O'Brien \"Lane\"";
    }

    void partialRowsKeepStoredTextExactly()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QVERIFY(com().ExecuteX(
            QStringLiteral("update Crm_Contact set %1=N'%2' where cContactCode=N'00000009'")
                .arg(column, QString(stored).replace(QLatin1Char('\''), QLatin1String("''")))));
        com().SetbConvertStr(true);
        // However often another component changes a different column, this one stays as stored.
        for (int run = 1; run <= 3; ++run) {
            QString msg;
            QVERIFY2(com().ModifyDifferent(
                         QStringLiteral("<Crm_Contact><cContactCode>00000009</cContactCode>"
                                        "<cMobilePhone>1360000111%1</cMobilePhone></Crm_Contact>")
                             .arg(run),
                         QStringLiteral("Crm_Contact"), msg),
                     qPrintable(msg));
            QCOMPARE(m_session
                         ->scalar(QStringLiteral(
                                      "select %1 from Crm_Contact where cContactCode=N'00000009'")
                                      .arg(column))
                         .toString(),
                     stored);
        }
    }

    void partialRowStoresTheCallersTextAsAddDoes_data()
    {
        QTest::addColumn<bool>("convert");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("stored");
        QTest::newRow("converted: bare ampersand") << true << "R&D"
                                                   << "R&D";
        QTest::newRow("converted: an entity is text") << true << "R&amp;D"
                                                      << "R&amp;D";
        QTest::newRow("unconverted: entities") << false << "R&amp;D &lt;1&gt;"
                                               << "R&D <1>";
    }

    void partialRowStoresTheCallersTextAsAddDoes()
    {
        QFETCH(bool, convert);
        QFETCH(QString, sent);
        QFETCH(QString, stored);
        com().SetbConvertStr(convert);
        QString msg;
        QVERIFY2(com().ModifyDifferent(
                     QStringLiteral("<Crm_Contact><cContactCode>00000009</cContactCode>"
                                    "<cMemo>%1</cMemo></Crm_Contact>")
                         .arg(sent),
                     QStringLiteral("Crm_Contact"), msg),
                 qPrintable(msg));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cMemo from Crm_Contact where cContactCode=N'00000009'"))
                     .toString(),
                 stored);
    }

    void partialRowOfAnUnknownContactFails()
    {
        QString msg;
        QVERIFY(!com().ModifyDifferent(
            QStringLiteral("<Crm_Contact><cContactCode>99999997</cContactCode></Crm_Contact>"),
            QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.DBMSG.0400"));
    }

    void precompileWritesNothing()
    {
        const QString before = rowText(QStringLiteral("00000010"));
        QString xml = QStringLiteral(
            "<Crm_Contact operating='Precompile'><cContactCode>00000010</cContactCode><cMemo>x</cMemo></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(com().Modify(xml, table, msg));
        QCOMPARE(rowText(QStringLiteral("00000010")), before);
    }

    void columnRulesAnswerThroughLastError()
    {
        QString xml = QStringLiteral(
            "<Crm_Contact operating='GetAuthFlds'><UserId>demo</UserId><cFuncId>CS020201</cFuncId></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!com().Modify(xml, table, msg));
        QCOMPARE(gLastError, QStringLiteral("*"));
    }

    void uniteLeavesOneContactWithAllReferences()
    {
        // 00000003 is named by an opportunity; merge it into 00000004.
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Opportunity where cContactCode=N'00000003'")),
                 1);
        const int before = m_session->count(
            QStringLiteral("select count(*) from Crm_Opportunity where cContactCode=N'00000004'"));
        QString xml = QStringLiteral(
            "<Crm_Contact operating='Unite'><code1>00000003</code1><code2>00000004</code2></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Contact where cContactCode=N'00000003'")),
                 0);
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Opportunity where cContactCode=N'00000004'")),
                 before + 1);
        // The scratch tables of the steps are gone again.
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from tempdb..sysobjects where name like N'tempK250%'")),
                 0);
    }

    void uniteWritesTheContentToTheSurvivor()
    {
        const QString customer
            = m_session
                  ->scalar(QStringLiteral(
                      "select cCusCode from Crm_Contact where cContactCode=N'00000004'"))
                  .toString();
        QVERIFY(com().ExecuteX(QStringLiteral(
            "update Crm_Contact set dModifyDate=null where cContactCode=N'00000004'")));
        // The content is the surviving contact as the merge window shows it after the merge.
        QString xml
            = QStringLiteral(
                  "<Crm_Contact operating='Unite'><code1>00000003</code1><code2>00000004</code2>"
                  "<content><cContactCode>00000004</cContactCode><cContactName>合并后</cContactName>"
                  "<cCusCode>%1</cCusCode><cMemo>contents of both & more</cMemo>"
                  "<cMobilePhone>13900000004</cMobilePhone></content></Crm_Contact>")
                  .arg(customer);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
        QVERIFY2(msg.isEmpty(), qPrintable(msg));
        std::unique_ptr<db::Recordset> survivor(com().OpenX(
            QStringLiteral("select cContactName, cMemo, cMobilePhone, dModifyDate from Crm_Contact "
                           "where cContactCode=N'00000004'")));
        QVERIFY(survivor && survivor->recordCount() == 1);
        QCOMPARE(survivor->value(0).toString(), QStringLiteral("合并后"));
        QCOMPARE(survivor->value(1).toString(), QStringLiteral("contents of both & more"));
        QCOMPARE(survivor->value(2).toString(), QStringLiteral("13900000004"));
        QVERIFY(!survivor->value(3).isNull());
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Contact where cContactCode=N'00000003'")),
                 0);
    }

    void columnRulesFailClosed_data()
    {
        QTest::addColumn<QString>("funcId");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("withheld"); // empty: every column of the table
        QTest::newRow("quote in the function id reaches its rules")
            << "CS'01"
            << "insert into qz_ColumnAuth (cUser_Id, cBusObId, cFuncId, cFieldName, bDenied) "
               "values (N'demo', N'Crm_Contact', N'CS''01', N'cMemo', 1)"
            << "cmemo";
        QTest::newRow("rules unreadable: every column withheld") << "CS020201"
                                                                 << "drop table qz_ColumnAuth"
                                                                 << "";
    }

    void columnRulesFailClosed()
    {
        QFETCH(QString, funcId);
        QFETCH(QString, setup);
        QFETCH(QString, withheld);
        QVERIFY(com().ExecuteX(setup));
        QString xml = QStringLiteral("<Crm_Contact operating='GetAuthFlds'><UserId>demo</UserId>"
                                     "<cFuncId>%1</cFuncId></Crm_Contact>")
                          .arg(funcId);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!com().Modify(xml, table, msg));
        if (!withheld.isEmpty()) {
            QCOMPARE(gLastError, withheld);
            return;
        }
        std::unique_ptr<db::Recordset> columns(
            com().OpenX(QStringLiteral("select * from Crm_Contact where 1=2")));
        QStringList every;
        for (int i = 0; i < columns->fieldCount(); ++i)
            every << columns->field(i).name().toLower();
        QStringList answered = gLastError.split(QLatin1Char(','));
        answered.sort();
        every.sort();
        QCOMPARE(answered, every);
        QVERIFY2(m_session->logText().contains(
                     QStringLiteral("Procedure:GetAuthFlds\r\nModule:IClsCommon\r\n")),
                 qPrintable(m_session->logText()));
    }

    void uniteNeedsBothCodes_data()
    {
        QTest::addColumn<QString>("code1");
        QTest::addColumn<QString>("code2");
        QTest::newRow("first empty") << ""
                                     << "00000004";
        QTest::newRow("second blank") << "00000003"
                                      << "  ";
    }

    void uniteNeedsBothCodes()
    {
        QFETCH(QString, code1);
        QFETCH(QString, code2);
        QString xml
            = QStringLiteral(
                  "<Crm_Contact operating='unite'><code1>%1</code1><code2>%2</code2></Crm_Contact>")
                  .arg(code1, code2);
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!com().Modify(xml, table, msg));
        QCOMPARE(msg,
                 SessionFixture::text("K2.AA.SRVTRANS.xx_notnull",
                                      {SessionFixture::text("K2.AA.ARCHIVE.FIELD.unite_code")}));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 20);
    }

    void uniteWithAnUnknownCodeLosesNothing()
    {
        QString xml = QStringLiteral(
            "<Crm_Contact operating='Unite'><code1>00000003</code1><code2>99999996</code2></Crm_Contact>");
        QString table = QStringLiteral("Crm_Contact");
        QString msg;
        QVERIFY(!com().Modify(xml, table, msg));
        QVERIFY(!msg.isEmpty());
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 20);
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Opportunity where cContactCode=N'00000003'")),
                 1);
    }

private:
    struct DefaultContact
    {
        QString code;
        QString name;
        QString customer;
    };

    // A contact of the demo data that its customer names as default contact.
    DefaultContact demoDefaultContact()
    {
        std::unique_ptr<db::Recordset> rs(com().OpenX(QStringLiteral(
            "select c.cContactCode, c.cContactName, c.cCusCode from Crm_Contact c join Customer u "
            "on u.ccuscontactcode = c.OID and u.cCusPerson = c.cContactName order by c.cContactCode")));
        if (!rs || rs->recordCount() == 0)
            return {};
        return {rs->value(0).toString(), rs->value(1).toString(), rs->value(2).toString()};
    }

    QString codeOf(const QString &name)
    {
        return m_session
            ->scalar(QStringLiteral("select cContactCode from Crm_Contact where cContactName=N'%1'")
                         .arg(name))
            .toString();
    }

    QString oidOf(const QString &code)
    {
        return m_session
            ->scalar(
                QStringLiteral("select OID from Crm_Contact where cContactCode=N'%1'").arg(code))
            .toString();
    }

    // The contact the customer names as its default; empty when none.
    QString customerLink(const QString &customer)
    {
        return m_session
            ->scalar(QStringLiteral("select ccuscontactcode from Customer where cCusCode=N'%1'")
                         .arg(customer))
            .toString();
    }

    int defaultFlag(const QString &code)
    {
        return m_session->count(
            QStringLiteral("select bDefaultCon from Crm_Contact where cContactCode=N'%1'")
                .arg(code));
    }

    QString version(const QString &code)
    {
        return m_session
            ->scalar(
                QStringLiteral(
                    "select convert(char, convert(money,qzts), 2) from Crm_Contact where cContactCode=N'%1'")
                    .arg(code))
            .toString();
    }

    // Every column of the row as text, in column order.
    QString rowText(const QString &code)
    {
        std::unique_ptr<db::Recordset> rs(com().OpenX(
            QStringLiteral("select * from Crm_Contact where cContactCode=N'%1'").arg(code)));
        QStringList values;
        for (int i = 0; i < rs->fieldCount(); ++i)
            values << rs->field(i).name() + QLatin1Char('=') + rs->value(i).toString();
        return values.join(QLatin1Char('|'));
    }

    // The columns a modification changes by itself: mobile, stamps and row version.
    static QString withoutVolatile(const QString &row)
    {
        QStringList kept;
        for (const QString &part : row.split(QLatin1Char('|'))) {
            const QString name = part.section(QLatin1Char('='), 0, 0);
            if (name != QLatin1String("cMobilePhone") && name != QLatin1String("dModifyDate")
                && name != QLatin1String("cRevisor") && name != QLatin1String("qzts"))
                kept << part;
        }
        return kept.join(QLatin1Char('|'));
    }

    IClsCommon &com() { return m_session->com; }
    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_ContactModify)
#include "tst_contactmodify.moc"
