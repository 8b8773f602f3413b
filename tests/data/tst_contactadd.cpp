// Adding contacts and code-list rows from record XML: codes, stamps, companion rows, the customer
// link, user-defined checks and the failures a caller must be told about.

#include "support/SessionFixture.h"

#include <QRegularExpression>
#include <QTest>

using namespace perikon;
using perikon::testing::SessionFixture;

namespace {

// A contact row; the customer, which every contact must have, is filled in when not given.
QString contactXml(const QString &children, const QString &attributes = {})
{
    const QString customer = children.contains(QLatin1String("<cCusCode>"))
                                 ? QString()
                                 : QStringLiteral("<cCusCode>C0000003</cCusCode>");
    return QStringLiteral("<Crm_Contact%1>%2%3</Crm_Contact>").arg(attributes, children, customer);
}

} // namespace

class tst_ContactAdd : public QObject
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

    void contactWithoutCodeGetsTheNextOne()
    {
        QString xml = contactXml(
            QStringLiteral("<cContactName>赵六</cContactName><cCusCode>C0000003</cCusCode>"));
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        QVERIFY(msg.isEmpty());
        // The caller gets the stored document back, with what the save steps filled in.
        QVERIFY(xml.startsWith(QStringLiteral("<data><crm_contact>")));
        QVERIFY(xml.contains(QStringLiteral("<ccontactcode>00000021</ccontactcode>")));
        QVERIFY(xml.contains(QStringLiteral("<ccreator>王经理</ccreator>")));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cContactName from Crm_Contact where cContactCode=N'00000021'"))
                     .toString(),
                 QStringLiteral("赵六"));

        QString second = contactXml(
            QStringLiteral("<cContactName>钱七</cContactName><cCusCode>C0000003</cCusCode>"));
        QVERIFY(com().Add(second, QStringLiteral("crm_contact"), msg));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select cContactName from Crm_Contact where cContactCode=N'00000022'"))
                     .toString(),
                 QStringLiteral("钱七"));
    }

    void nextCodeFollowsTheHighestEightDigitCode_data()
    {
        QTest::addColumn<QString>("highest");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty table") << QString() << "00000001";
        QTest::newRow("forty-one") << "00000041"
                                   << "00000042";
        QTest::newRow("past eight digits") << "99999999"
                                           << "100000000";
        QTest::newRow("trailing digits after a letter") << "1A000999"
                                                        << "1A001000";
        QTest::newRow("trailing digits after a hyphen") << "12-34567"
                                                        << "12-34568";
    }

    void nextCodeFollowsTheHighestEightDigitCode()
    {
        QFETCH(QString, highest);
        QFETCH(QString, expected);
        QVERIFY(com().ExecuteX(QStringLiteral("delete from Crm_Contact")));
        // Codes that are not 8 characters or do not start with a digit never count.
        QVERIFY(com().ExecuteX(QStringLiteral(
            "insert into Crm_Contact(cContactCode,cContactName) values(N'A9999999',N'x')")));
        QVERIFY(com().ExecuteX(QStringLiteral(
            "insert into Crm_Contact(cContactCode,cContactName) values(N'999999999',N'y')")));
        if (!highest.isEmpty())
            QVERIFY(com().ExecuteX(
                QStringLiteral(
                    "insert into Crm_Contact(cContactCode,cContactName) values(N'%1',N'z')")
                    .arg(highest)));
        QString xml = contactXml(QStringLiteral("<cContactName>新联系人</cContactName>"));
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        QCOMPARE(
            m_session->count(
                QStringLiteral(
                    "select count(*) from Crm_Contact where cContactCode=N'%1' and cContactName=N'新联系人'")
                    .arg(expected)),
            1);
    }

    void highestCodeEndingInALetterStopsTheSave()
    {
        QVERIFY(com().ExecuteX(QStringLiteral("delete from Crm_Contact")));
        QVERIFY(com().ExecuteX(QStringLiteral(
            "insert into Crm_Contact(cContactCode,cContactName) values(N'1234567A',N'x')")));
        QString xml = contactXml(QStringLiteral("<cContactName>新联系人</cContactName>"));
        QString msg;
        QVERIFY(!com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        QVERIFY(!msg.isEmpty());
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), 1);
    }

    void givenValuesAreKept()
    {
        QString xml = contactXml(QStringLiteral(
            "<cContactCode>X-001</cContactCode><cContactName>  O'Brien &amp; 张 </cContactName>"
            "<dCreateDate>2024-03-01</dCreateDate><cCreator>导入</cCreator>"));
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        std::unique_ptr<db::Recordset> rs(com().OpenX(QStringLiteral(
            "select cContactName, dCreateDate, cCreator from Crm_Contact where cContactCode=N'X-001'")));
        QVERIFY(rs && rs->recordCount() == 1);
        // "&amp;" is escaped once more by the normalization, so the text arrives as the caller
        // wrote it.
        QCOMPARE(rs->value(0).toString(), QStringLiteral("  O'Brien &amp; 张 "));
        QCOMPARE(rs->value(1).toDateTime().date(), QDate(2024, 3, 1));
        QCOMPARE(rs->value(2).toString(), QStringLiteral("导入"));
    }

    void databaseRefusalReadsAsTheSaveFailure()
    {
        // A code that is taken: the database refuses the row.
        QString xml = contactXml(QStringLiteral(
            "<cContactCode>00000001</cContactCode><cContactName>重复编码</cContactName>"));
        QString msg;
        QVERIFY(!com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        // The clerk reads the component's message; the database's text, with its statement, is
        // in the data-access log only.
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.DBMSG.0008"));
        QVERIFY(m_session->logText().contains(QStringLiteral("Procedure:Add")));
        QCOMPARE(m_session->count(QStringLiteral(
                     "select count(*) from Crm_Contact where cContactName=N'重复编码'")),
                 0);
    }

    void everyAddedContactHasAnExtensionRow()
    {
        QString xml = contactXml(QStringLiteral(
                          "<cContactName>甲</cContactName><cLDefine1>扩展值</cLDefine1>"))
                      + contactXml(QStringLiteral("<cContactName>乙</cContactName>"));
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from Crm_Contact c join Crm_Contact_extradefine e on e.OID = c.OID "
                "and e.cContactCode = c.cContactCode where c.cContactCode in (N'00000021', N'00000022')")),
            2);
        QCOMPARE(
            m_session
                ->scalar(QStringLiteral(
                    "select cLDefine1 from Crm_Contact_extradefine where cContactCode=N'00000021'"))
                .toString(),
            QStringLiteral("扩展值"));
    }

    void defaultContactBecomesTheCustomersContact()
    {
        QString xml = contactXml(
            QStringLiteral("<cContactName>孙八</cContactName><cCusCode>C0000003</cCusCode>"
                           "<cMobilePhone>13912345678</cMobilePhone>"),
            QStringLiteral(" bDefaultCon='1'"));
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        const QString oid
            = m_session
                  ->scalar(QStringLiteral("select OID from Crm_Contact where cContactName=N'孙八'"))
                  .toString();
        QVERIFY(!oid.isEmpty());
        std::unique_ptr<db::Recordset> customer(com().OpenX(QStringLiteral(
            "select ccuscontactcode, cCusPerson, cCusHand from Customer where cCusCode=N'C0000003'")));
        QCOMPARE(customer->value(0).toString(), oid);
        QCOMPARE(customer->value(1).toString(), QStringLiteral("孙八"));
        QCOMPARE(customer->value(2).toString(), QStringLiteral("13912345678"));
        // The contact carries the flag as well: a partial row completed from it keeps the link.
        QCOMPARE(m_session->count(QStringLiteral(
                     "select bDefaultCon from Crm_Contact where cContactName=N'孙八'")),
                 1);

        // A later contact that is not the default leaves the customer's default alone.
        QString other = contactXml(
            QStringLiteral("<cContactName>周九</cContactName><cCusCode>C0000003</cCusCode>"
                           "<bDefaultCon>0</bDefaultCon>"));
        QVERIFY(com().Add(other, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(m_session
                     ->scalar(QStringLiteral(
                         "select ccuscontactcode from Customer where cCusCode=N'C0000003'"))
                     .toString(),
                 oid);
        QCOMPARE(m_session->count(QStringLiteral(
                     "select bDefaultCon from Crm_Contact where cContactName=N'周九'")),
                 0);
        QCOMPARE(m_session->count(QStringLiteral(
                     "select bDefaultCon from Crm_Contact where cContactName=N'孙八'")),
                 1);
    }

    void requiredUserDefinedFieldRefusesAnEmptyValue()
    {
        // A save on this connection has read the definitions before they change: the change
        // still counts for the next save.
        QString earlier = contactXml(QStringLiteral("<cContactName>吴九</cContactName>"));
        QString earlierMsg;
        QVERIFY2(com().Add(earlier, QStringLiteral("Crm_Contact"), earlierMsg),
                 qPrintable(earlierMsg));
        QVERIFY(com().ExecuteX(QStringLiteral(
            "update userdef set cItemName=N'客户级别', bInput=1 where cClass=N'联系人' and CItem=N'自定义项3'")));
        const int before = m_session->count(QStringLiteral("select count(*) from Crm_Contact"));
        const int extensionsBefore
            = m_session->count(QStringLiteral("select count(*) from Crm_Contact_extradefine"));
        QString xml = contactXml(
            QStringLiteral("<cContactName>吴十</cContactName><cConDefine3></cConDefine3>"));
        QString msg;
        QVERIFY(!com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg,
                 SessionFixture::text("K2.CRM.COMMON.CheckNull03", {QStringLiteral("客户级别")}));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), before);
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact_extradefine")),
                 extensionsBefore);

        QString filled = contactXml(
            QStringLiteral("<cContactName>吴十</cContactName><cConDefine3>A级</cConDefine3>"));
        QVERIFY2(com().Add(filled, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
    }

    void userDefinedChecks_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("messageKey"); // empty: the row is saved
        QTest::addColumn<QStringList>("args");
        QTest::newRow("item not in use drops its value") << "cItemName=N''"
                                                         << "随便" << QString() << QStringList{};
        QTest::newRow("date before the range")
            << "cType=N'日期'"
            << "1759-12-31"
            << "K2.CRM.COMMON.CheckDate11" << QStringList{"级别"};
        QTest::newRow("first day of the range") << "cType=N'日期'"
                                                << "1760-01-01" << QString() << QStringList{};
        QTest::newRow("end of the range") << "cType=N'日期'"
                                          << "2300-01-01"
                                          << "K2.CRM.COMMON.CheckDate12" << QStringList{"级别"};
        QTest::newRow("not a date") << "cType=N'日期'"
                                    << "明天"
                                    << "K2.CRM.COMMON.CheckDate01" << QStringList{"级别"};
        QTest::newRow("fixed length too short")
            << "bFixLength=1, iLength=4"
            << "123"
            << "K2.CRM.COMMON.CheckLen02" << QStringList{"级别", "4"};
        QTest::newRow("fixed length met") << "bFixLength=1, iLength=4"
                                          << "1234" << QString() << QStringList{};
        QTest::newRow("value not in the list")
            << "bCheckVal=1, iDataSource=0, bArchive=0"
            << "Z级"
            << "K2.CRM.QZCompetitor.transxml.00034" << QStringList{"级别"};
        QTest::newRow("value from another archive")
            << "bCheckVal=1, iDataSource=1, cRelArchive=N'Department', cRelField=N'cDepName', bArchive=0"
            << "不存在的部门"
            << "K2.CRM.QZCompetitor.transxml.00033" << QStringList{"级别", "__table__"};
    }

    void userDefinedChecks()
    {
        QFETCH(QString, definition);
        QFETCH(QString, value);
        QFETCH(QString, messageKey);
        QFETCH(QStringList, args);
        QVERIFY(com().ExecuteX(
            QStringLiteral("update userdef set %1 where cClass=N'联系人' and CItem=N'自定义项5'")
                .arg(definition.startsWith(QLatin1String("cItemName"))
                         ? definition
                         : QStringLiteral("cItemName=N'级别', ") + definition)));
        if (args.contains(QStringLiteral("__table__"))) {
            QString name
                = m_session
                      ->scalar(QStringLiteral(
                          "select TableDefine from Rpt_GRPDef where TableName=N'Department'"))
                      .toString();
            if (name.isEmpty())
                name = SessionFixture::text("K2.CRM.QZBaseCodeRefer.transxml.00009");
            args.replace(args.indexOf(QStringLiteral("__table__")), name);
        }
        QString xml = contactXml(
            QStringLiteral("<cContactName>郑一</cContactName><cConDefine5>%1</cConDefine5>")
                .arg(value));
        QString msg;
        const bool saved = com().Add(xml, QStringLiteral("Crm_Contact"), msg);
        if (messageKey.isEmpty()) {
            QVERIFY2(saved, qPrintable(msg));
        } else {
            QVERIFY(!saved);
            QCOMPARE(msg, SessionFixture::text(messageKey.toLatin1().constData(), args));
        }
        if (definition == QLatin1String("cItemName=N''"))
            QVERIFY(m_session
                        ->scalar(QStringLiteral(
                            "select cConDefine5 from Crm_Contact where cContactName=N'郑一'"))
                        .isNull());
    }

    void listValueIsAddedOnceWhenAllowed()
    {
        QVERIFY(com().ExecuteX(QStringLiteral(
            "update userdef set cItemName=N'来源', bCheckVal=1, iDataSource=0, bArchive=1 "
            "where cClass=N'联系人' and CItem=N'自定义项2'")));
        const QString id
            = m_session
                  ->scalar(QStringLiteral(
                      "select cID from userdef where cClass=N'联系人' and CItem=N'自定义项2'"))
                  .toString();
        for (const char *name : {"甲", "乙"}) {
            QString xml = contactXml(
                QStringLiteral("<cContactName>%1</cContactName><cConDefine2>展会</cConDefine2>")
                    .arg(QString::fromUtf8(name)));
            QString msg;
            QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        }
        QCOMPARE(
            m_session->count(
                QStringLiteral("select count(*) from userdefine where cId=N'%1' and cValue=N'展会'")
                    .arg(id)),
            1);
    }

    void duplicateDetectionHearsOfNewCodes()
    {
        QString xml = contactXml(QStringLiteral("<cContactName>冯二</cContactName>"));
        QString msg;
        QVERIFY(com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from tc_tmp_duplication where obj_type=2 and code=N'00000021'")),
            1);

        // Without the table nothing fails.
        QVERIFY(com().ExecuteX(QStringLiteral("drop table tc_tmp_duplication")));
        QString next = contactXml(QStringLiteral("<cContactName>陈三</cContactName>"));
        QVERIFY2(com().Add(next, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        QVERIFY(msg.isEmpty());
    }

    void baseCodesAreAddedOnce()
    {
        QString xml = QStringLiteral(
            "<Crm_BaseCode><cType>Duty</cType><cName>首席顾问</cName></Crm_BaseCode>");
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_BaseCode"), msg), qPrintable(msg));
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from Crm_BaseCode where cType=N'Duty' and cName=N'首席顾问'")),
            1);
        QString again = xml;
        QVERIFY(!com().Add(again, QStringLiteral("Crm_BaseCode"), msg));
        QVERIFY(msg.isEmpty());
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from Crm_BaseCode where cType=N'Duty' and cName=N'首席顾问'")),
            1);
    }

    void refusedDocuments_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("expected");
        QTest::newRow("table not handled")
            << contactXml("<cContactName>x</cContactName>") << "Customer"
            << SessionFixture::text("K2.CRM.QZBaseCodeRefer.clscommon.00083");
        QTest::newRow("less-than sign in a value")
            << contactXml("<cContactName>a<b</cContactName>") << "Crm_Contact"
            << SessionFixture::text("K2.CRM.COMMON.XMLMSGParseErr01") + "\r\n"
                   + SessionFixture::text("K2.CRM.COMMON.XMLMSGParseErr02");
        QTest::newRow("child that names no column")
            << contactXml("<cContactName>x</cContactName><cColour>red</cColour>") << "Crm_Contact"
            << SessionFixture::text("K2.CRM.COMMON.DBMSG.Fld01", {"ccolour"}) + "\r\n"
                   + SessionFixture::text("K2.CRM.COMMON.DBMSG.Fld02");
    }

    void refusedDocuments()
    {
        QFETCH(QString, xml);
        QFETCH(QString, table);
        QFETCH(QString, expected);
        const int before = m_session->count(QStringLiteral("select count(*) from Crm_Contact"));
        QString msg;
        QVERIFY(!com().Add(xml, table, msg));
        QCOMPARE(msg, expected);
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), before);
    }

    void pictureIsStoredWithTheContact()
    {
        const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
        QString xml = contactXml(
            QStringLiteral(
                "<cContactName>带照片</cContactName><PictureGUID bXML='True'>%1</PictureGUID>"
                "<cPictureType>png</cPictureType>")
                .arg(QString::fromLatin1(png.toBase64())));
        QString msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
        const QString guid
            = m_session
                  ->scalar(QStringLiteral(
                      "select PictureGUID from Crm_Contact where cContactName=N'带照片'"))
                  .toString();
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"))
                    .match(guid)
                    .hasMatch());
        QCOMPARE(
            m_session
                ->scalar(
                    QStringLiteral("select Picture from AA_Picture where cGUID=N'%1'").arg(guid))
                .toByteArray(),
            png);
    }

    void unreadablePictureFileRefusesTheContact()
    {
        const int before = m_session->count(QStringLiteral("select count(*) from Crm_Contact"));
        QString xml = contactXml(
            QStringLiteral("<cContactName>无照片</cContactName>"
                           "<PictureGUID bXML='False'>/nonexistent/photo.png</PictureGUID>"
                           "<cPictureType>png</cPictureType>"));
        QString msg;
        QVERIFY(!com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.AA.SRVTRANS.COMMONFUN.1151_1"));
        QCOMPARE(m_session->count(QStringLiteral("select count(*) from Crm_Contact")), before);
    }

    void convertDatabase()
    {
        QString msg = QStringLiteral("stale");
        QVERIFY(!com().zy_ConvertDB(QString(), msg));
        QVERIFY(msg.isEmpty());
        QCOMPARE(gLastError, SessionFixture::text("K2.CRM.COMMON.DBMSG.NoDB"));
        QVERIFY(!com().zy_ConvertDB(QStringLiteral("QZDATA_404_2026"), msg));
        QCOMPARE(gLastError, SessionFixture::text("K2.CRM.COMMON.DBMSG.ChagDBErr"));
        QVERIFY(com().zy_ConvertDB(QStringLiteral("qzsystem"), msg));
        QCOMPARE(com().connection()->defaultDatabase().toLower(), QStringLiteral("qzsystem"));
        // The account database stays reachable by its name.
        QCOMPARE(
            m_session->count(QStringLiteral("select count(*) from QZDATA_001_2026..Crm_Contact")),
            20);
    }

    void accountLevelWritesRunTogether()
    {
        QString xml = QStringLiteral(
            "<UA_Account_Sub><cAcc_Id>001</cAcc_Id><iYear>2026</iYear><cSub_Id>SA</cSub_Id>"
            "<cUser_Id>demo</cUser_Id><dSubSysUsed>2026-01-01</dSubSysUsed></UA_Account_Sub>");
        QStringList statements{
            QStringLiteral(
                "update Crm_Contact set cMemo=N'启用销售' where cContactCode=N'00000001'"),
            QString(),
            QStringLiteral(
                "update Crm_Contact set cMemo=N'启用销售' where cContactCode=N'00000002'")};
        QString msg;
        QVERIFY2(com().AddInDiffDB(xml, statements, QStringLiteral("QZDATA_001_2026"),
                                   QStringLiteral("UA_Account_Sub"), msg),
                 qPrintable(msg));
        QCOMPARE(
            m_session->count(QStringLiteral(
                "select count(*) from qzsystem..UA_Account_Sub where cAcc_Id=N'001' and cSub_Id=N'SA'")),
            1);
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from Crm_Contact where cMemo=N'启用销售'")),
                 2);

        // The same row again changes the registered row instead of adding one.
        // (The call normalized xml in place: its tags are lower case now.)
        QVERIFY(xml.contains(QStringLiteral("<cuser_id>demo</cuser_id>")));
        QString again = xml;
        again.replace(QStringLiteral("<cuser_id>demo</cuser_id>"),
                      QStringLiteral("<cUser_Id>admin</cUser_Id>"));
        QStringList none;
        QVERIFY2(com().AddInDiffDB(again, none, QStringLiteral("QZDATA_001_2026"),
                                   QStringLiteral("UA_Account_Sub"), msg),
                 qPrintable(msg));
        QCOMPARE(
            m_session
                ->scalar(QStringLiteral(
                    "select cUser_Id from qzsystem..UA_Account_Sub where cAcc_Id=N'001' and cSub_Id=N'SA'"))
                .toString(),
            QStringLiteral("admin"));
    }

    void accountLevelStatementsRollBackTogether()
    {
        QString xml = QStringLiteral(
            "<UA_Account_Sub><cAcc_Id>001</cAcc_Id><iYear>2026</iYear><cSub_Id>SA</cSub_Id>"
            "<cUser_Id>demo</cUser_Id><dSubSysUsed>2026-01-01</dSubSysUsed></UA_Account_Sub>");
        QStringList statements{
            QStringLiteral(
                "update Crm_Contact set cMemo=N'只执行一半' where cContactCode=N'00000001'"),
            QStringLiteral("update Crm_Contact set cNoSuchColumn=1")};
        QString msg;
        QVERIFY(!com().AddInDiffDB(xml, statements, QStringLiteral("QZDATA_001_2026"),
                                   QStringLiteral("UA_Account_Sub"), msg));
        QVERIFY(!msg.isEmpty());
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from Crm_Contact where cMemo=N'只执行一半'")),
                 0);
        // The component's own connection is still usable afterwards.
        QVERIFY(com().ExecuteX(
            QStringLiteral("update Crm_Contact set cMemo=N'之后' where cContactCode=N'00000001'")));
    }

    void accountLevelYearMustBeANumber_data()
    {
        QTest::addColumn<QString>("year");
        QTest::newRow("statement after the year") << "2026; DROP TABLE UA_Account_Sub;--";
        QTest::newRow("condition after the year") << "2026 OR 1=1";
        QTest::newRow("words") << "this year";
        QTest::newRow("empty") << "";
    }

    void accountLevelYearMustBeANumber()
    {
        QFETCH(QString, year);
        const QString countRows = QStringLiteral("select count(*) from qzsystem..UA_Account_Sub");
        const int before = m_session->count(countRows);
        QString xml = QStringLiteral("<UA_Account_Sub><cAcc_Id>001</cAcc_Id><iYear>%1</iYear>"
                                     "<cSub_Id>SA</cSub_Id></UA_Account_Sub>")
                          .arg(year.toHtmlEscaped());
        QStringList statements{QStringLiteral(
            "update Crm_Contact set cMemo=N'不该执行' where cContactCode=N'00000001'")};
        QString msg;
        QVERIFY(!com().AddInDiffDB(xml, statements, QStringLiteral("QZDATA_001_2026"),
                                   QStringLiteral("UA_Account_Sub"), msg));
        QVERIFY(!msg.isEmpty());
        // The table is still there, unchanged, and nothing of the batch ran.
        QCOMPARE(m_session->count(countRows), before);
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from Crm_Contact where cMemo=N'不该执行'")),
                 0);
        QVERIFY(m_session->logText().contains(QStringLiteral("AddInDiffDB")));
    }

    void accountLevelWritesRefuseOtherTables()
    {
        QString xml = QStringLiteral("<Customer><cCusCode>C9</cCusCode></Customer>");
        QStringList statements{QStringLiteral(
            "update Crm_Contact set cMemo=N'不该执行' where cContactCode=N'00000001'")};
        QString msg;
        QVERIFY(!com().AddInDiffDB(xml, statements, QStringLiteral("QZDATA_001_2026"),
                                   QStringLiteral("Customer"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.DBMSG.NoTableParam",
                                           {QStringLiteral("Customer")}));
        QCOMPARE(m_session->count(
                     QStringLiteral("select count(*) from Crm_Contact where cMemo=N'不该执行'")),
                 0);
    }

private:
    IClsCommon &com() { return m_session->com; }
    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_ContactAdd)
#include "tst_contactadd.moc"
