// Record XML: normalization, parsing, node helpers, writing a row element into a record, and the
// text helpers of the transXML and Common modules.

#include "support/TestDatabase.h"

#include "perikon/data/Common.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/transXML.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;
using perikon::testing::TestDatabase;

namespace {

QString zh(const char *key)
{
    return suite::ResourceTexts::text(QStringLiteral("zh-CN"), QString::fromLatin1(key));
}

QString readGolden(const QString &name)
{
    QFile file(QStringLiteral(PERIKON_TEST_SOURCE_DIR "/golden/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing golden file %1>").arg(name);
    return QString::fromUtf8(file.readAll());
}

pugi::xml_node parseInto(pugi::xml_document &doc, const char *xml)
{
    doc.load_string(xml);
    return doc.document_element();
}

} // namespace

class tst_RecordXml : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        suite::registerServices();
        m_login = std::make_unique<suite::SuiteLogin>();
        m_login->setLanguageRegion(QStringLiteral("zh-CN"));
        gLogin = m_login.get();
    }

    void init()
    {
        m_logDir = std::make_unique<QTemporaryDir>();
        qputenv("PERIKON_LOG_DIR", m_logDir->path().toLocal8Bit());
        gLastError.clear();
    }

    void cleanup()
    {
        m_rs.reset();
        m_com.reset();
        m_db.reset();
        qunsetenv("PERIKON_LOG_DIR");
    }

    void normalizationMatchesGoldenFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("convert");
        QTest::newRow("contact row: tags, attributes and their values lower-cased")
            << "contact_row" << true;
        QTest::newRow("ampersands doubled, escaped ones again") << "ampersands" << true;
        QTest::newRow("without conversion entities stay") << "escaped_kept" << false;
    }

    // Tags go to lower case whole, attribute values of any script included; text between tags
    // keeps its case.
    void tagsOfAnyScriptAreLowered_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "<A B='C'>Dd</A>"
                               << "<a b='c'>Dd</a>";
        QTest::newRow("accented attribute value") << "<Row Name='ÄRGER Ω'>Ä</Row>"
                                                  << "<row name='ärger ω'>Ä</row>";
        QTest::newRow("CJK beside upper case") << "<Row Name='张三 ZHANG'/>"
                                               << "<row name='张三 zhang'/>";
        QTest::newRow("tag broken by a line stays") << "<Row\nName='X'>"
                                                    << "<Row\nName='X'>";
    }
    void tagsOfAnyScriptAreLowered()
    {
        QFETCH(QString, xml);
        Common::EscapeXmlText(xml, false);
        QTEST(xml, "expected");
    }

    void normalizationMatchesGoldenFiles()
    {
        QFETCH(QString, name);
        QFETCH(bool, convert);
        const QString input = readGolden(name + QStringLiteral(".xml"));
        const QString expected = readGolden(name + QStringLiteral(".ref"));

        QString viaCommon = input;
        Common::EscapeXmlText(viaCommon, convert);
        QCOMPARE(viaCommon, expected);

        IClsCommon com;
        QString viaClass = input;
        com.UTLCase(viaClass, convert);
        QCOMPARE(viaClass, expected);
    }

    void unparsableRecordFailsWithParseMessage()
    {
        IClsCommon com;
        QString xml
            = QStringLiteral("<data><Crm_Contact><cMemo>a < b</cMemo></Crm_Contact></data>");
        com.UTLCase(xml, true);
        QVERIFY(!com.LoadRecordXml(xml));
        QCOMPARE(gLastError, zh("K2.CRM.COMMON.XMLMSGParseErr01") + QStringLiteral("\r\n")
                                 + zh("K2.CRM.COMMON.XMLMSGParseErr02"));
        // An ampersand in a value is not the caller's problem: normalization escapes it.
        xml = QStringLiteral("<data><Crm_Contact><cMemo>R&D</cMemo></Crm_Contact></data>");
        com.UTLCase(xml, true);
        QVERIFY(com.LoadRecordXml(xml));
        QVERIFY(com.workingDocument());
        QCOMPARE(transXML::GetNodeText(com.workingDocument()->child("data").child("crm_contact"),
                                       QStringLiteral("cMemo")),
                 QStringLiteral("R&D"));
    }

    void setFieldValueFollowsColumnType_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected"); // invalid: NULL

        const QVariant null;
        QTest::newRow("int") << "bcSexID"
                             << "2" << QVariant(2);
        QTest::newRow("int empty") << "cConDefine11"
                                   << "" << null;
        QTest::newRow("bit True") << "bMajor"
                                  << "True" << QVariant(true);
        QTest::newRow("bit 1") << "bMajor"
                               << "1" << QVariant(true);
        QTest::newRow("bit 0") << "bMajor"
                               << "0" << QVariant(false);
        QTest::newRow("bit empty") << "bMajor"
                                   << "" << null;
        QTest::newRow("float comma ends the number") << "cConDefine13"
                                                     << "12,5" << QVariant(12.0);
        QTest::newRow("float leading number") << "cConDefine14"
                                              << " -2.5e1kg" << QVariant(-25.0);
        QTest::newRow("float without number") << "cConDefine14"
                                              << "abc" << QVariant(0.0);
        QTest::newRow("float empty") << "cConDefine13"
                                     << "" << null;
        QTest::newRow("date") << "dBirthday"
                              << "1985-07-09"
                              << QVariant(QDateTime(QDate(1985, 7, 9), QTime(0, 0)));
        QTest::newRow("date and time")
            << "dConEDate"
            << "2024/3/1 08:30:00" << QVariant(QDateTime(QDate(2024, 3, 1), QTime(8, 30)));
        QTest::newRow("date empty") << "dBirthday"
                                    << "" << null;
        QTest::newRow("text keeps blanks") << "cContactName"
                                           << "  张三 " << QVariant(QStringLiteral("  张三 "));
        QTest::newRow("text of blanks only") << "cMemo"
                                             << "   " << QVariant(QStringLiteral("   "));
        QTest::newRow("text empty") << "cNative"
                                    << "" << null;
        QTest::newRow("column named in other case") << "CWECHAT"
                                                    << "wx_01" << QVariant(QStringLiteral("wx_01"));
    }

    void setFieldValueFollowsColumnType()
    {
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        openNewRecord();

        // Values are written the way the card writes them: raw text, escaped by normalization.
        QString xml
            = QStringLiteral("<data><Crm_Contact><cContactCode>T0000001</cContactCode><%1>%2</%1>"
                             "</Crm_Contact></data>")
                  .arg(column, text);
        QVERIFY(writeRow(xml));
        const QVariant stored = m_rs->value(column);
        if (!expected.isValid()) {
            QVERIFY2(!stored.isValid() || stored.isNull(), qPrintable(stored.toString()));
        } else {
            QCOMPARE(stored, expected);
        }
    }

    void storedTextKeepsBlanksAndChinese()
    {
        openNewRecord();
        QVERIFY(writeRow(
            QStringLiteral("<Crm_Contact><cContactCode>T0000002</cContactCode>"
                           "<cContactName>  张三 </cContactName><cMemo>Tom &amp; 李</cMemo>"
                           "</Crm_Contact>")));
        m_rs->update();
        std::unique_ptr<db::Recordset> back(m_com->OpenX(QStringLiteral(
            "select cContactName, cMemo from Crm_Contact where cContactCode=N'T0000002'")));
        QVERIFY(back && !back->eof());
        QCOMPARE(back->value(0).toString(), QStringLiteral("  张三 "));
        // The caller's own entity is escaped again by normalization and arrives as written.
        QCOMPARE(back->value(1).toString(), QStringLiteral("Tom &amp; 李"));
    }

    void rowVersionAndDefaultFlagAreNotWritten()
    {
        openNewRecord();
        QVERIFY(writeRow(
            QStringLiteral("<Crm_Contact><cContactCode>T0000003</cContactCode>"
                           "<qzts>77.0000</qzts><bDefaultCon>1</bDefaultCon></Crm_Contact>")));
        const QVariant flag = m_rs->value(QStringLiteral("bDefaultCon"));
        QVERIFY(!flag.toBool());
        const QVariant version = m_rs->value(QStringLiteral("qzts"));
        QVERIFY(!version.isValid() || version.isNull());
    }

    void contactCodeFilledWhenEmptyOrMissing_data()
    {
        QTest::addColumn<QString>("row");
        QTest::newRow("empty element")
            << "<Crm_Contact><cContactCode></cContactCode><cContactName>A</cContactName></"
               "Crm_Contact>";
        QTest::newRow("missing element")
            << "<Crm_Contact><cContactName>A</cContactName></Crm_Contact>";
    }

    void contactCodeFilledWhenEmptyOrMissing()
    {
        QFETCH(QString, row);
        openNewRecord();
        QVERIFY(m_com->ExecuteX(QStringLiteral(
            "insert into Crm_Contact (cContactCode, cContactName) values (N'00000041', N'x')")));
        QVERIFY(writeRow(row));
        QCOMPARE(m_rs->value(QStringLiteral("cContactCode")).toString(),
                 QStringLiteral("00000042"));
    }

    void refusedChildFailsWithFieldMessage_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<QString>("column");
        QTest::newRow("no such column") << "<cNoSuchColumn>1</cNoSuchColumn>"
                                        << "cnosuchcolumn";
        QTest::newRow("not a number for int") << "<bcSexID>male</bcSexID>"
                                              << "bcsexid";
        QTest::newRow("not a date") << "<dBirthday>someday</dBirthday>"
                                    << "dbirthday";
    }

    void refusedChildFailsWithFieldMessage()
    {
        QFETCH(QString, child);
        QFETCH(QString, column);
        openNewRecord();
        QVERIFY(!writeRow(
            QStringLiteral("<Crm_Contact><cContactCode>T0000004</cContactCode>%1</Crm_Contact>")
                .arg(child)));
        QCOMPARE(gLastError, zh("K2.CRM.COMMON.DBMSG.Fld01").replace(QStringLiteral("%1"), column)
                                 + QStringLiteral("\r\n") + zh("K2.CRM.COMMON.DBMSG.Fld02"));
        const QString log = readLog();
        QVERIFY2(log.contains(QStringLiteral("Procedure:SetFieldValue\r\nModule:IClsCommon\r\n")),
                 qPrintable(log));
    }

    void nodeHelpersReportMissingChildren_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("GetNodeText") << "get"
                                     << zh("K2.AA.SRVTRANS.XML.node_noexist")
                                            .replace(QStringLiteral("%1"), QStringLiteral("cFax"));
        QTest::newRow("SetNodeText")
            << "set"
            << zh("K2.CRM.COMMON.XMLMSG001").replace(QStringLiteral("%1"), QStringLiteral("cFax"));
        QTest::newRow("GetFirstChildText")
            << "first"
            << zh("K2.AA.SRVTRANS.XML.node_noexist")
                   .replace(QStringLiteral("%1"), QStringLiteral("cFax"));
    }

    void nodeHelpersReportMissingChildren()
    {
        QFETCH(QString, operation);
        QFETCH(QString, expected);
        pugi::xml_document doc;
        const pugi::xml_node row = parseInto(doc, "<crm_contact><cmemo>m</cmemo></crm_contact>");
        bool found = true;
        if (operation == QLatin1String("get")) {
            QCOMPARE(
                transXML::GetNodeText(row, QStringLiteral("cFax"), QStringLiteral("dflt"), &found),
                QStringLiteral("dflt"));
            QVERIFY(!found);
        } else if (operation == QLatin1String("set")) {
            QVERIFY(!transXML::SetNodeText(row, QStringLiteral("cFax"), QStringLiteral("1")));
            QVERIFY(!row.child("cfax"));
        } else {
            QCOMPARE(Common::GetFirstChildText(row, QStringLiteral("cFax"), QStringLiteral("dflt"),
                                               &found),
                     QStringLiteral("dflt"));
            QVERIFY(!found);
        }
        QCOMPARE(gLastError, expected);
    }

    void nodeHelpersReadAndChangeRowElements()
    {
        pugi::xml_document doc;
        const pugi::xml_node row = parseInto(
            doc, "<crm_contact oid=' {AB} "
                 "'><ccontactname>Li</ccontactname><cmemo/><cFax>1</cFax></crm_contact>");
        bool found = false;
        QCOMPARE(transXML::GetNodeText(row, QStringLiteral("cContactName"), {}, &found),
                 QStringLiteral("Li"));
        QVERIFY(found);
        // Lookups lower-case the name unless told to keep it.
        QCOMPARE(transXML::GetNodeText(row, QStringLiteral("cFax"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(
            transXML::GetNodeText(row, QStringLiteral("cFax"), QStringLiteral("d"), nullptr, true),
            QStringLiteral("1"));
        QCOMPARE(transXML::GetNodeText(pugi::xml_node(), QStringLiteral("x"), QStringLiteral("d")),
                 QStringLiteral("d"));

        QVERIFY(transXML::SetNodeText(row, QStringLiteral("cMemo"), QStringLiteral("new")));
        QCOMPARE(transXML::GetNodeText(row, QStringLiteral("cmemo")), QStringLiteral("new"));
        QVERIFY(transXML::SetNodeText(row, QStringLiteral("cContactName"), QString()));
        QCOMPARE(transXML::GetNodeText(row, QStringLiteral("ccontactname"), QStringLiteral("d")),
                 QString());

        transXML::SetOrAddNodeText(row, QStringLiteral("cCreator"), QStringLiteral("demo"));
        transXML::SetOrAddNodeText(row, QStringLiteral("cMemo"), QStringLiteral("again"));
        QCOMPARE(transXML::GetNodeText(row, QStringLiteral("cCreator")), QStringLiteral("demo"));
        QCOMPARE(transXML::GetNodeText(row, QStringLiteral("cMemo")), QStringLiteral("again"));
        QCOMPARE(std::distance(row.children("cmemo").begin(), row.children("cmemo").end()), 1);

        QCOMPARE(transXML::GetAttrValue(row, QStringLiteral("OID")), QStringLiteral("{AB}"));
        QCOMPARE(transXML::GetAttrValue(row, QStringLiteral("operating")), QString());

        transXML::RemoveChildNode(row, QStringLiteral("cCreator"));
        QVERIFY(!row.child("ccreator"));

        QCOMPARE(transXML::NullTo(QVariant(), QStringLiteral("x")), QVariant(QStringLiteral("x")));
        QCOMPARE(transXML::NullTo(QVariant(0), QStringLiteral("x")), QVariant(0));
    }

    void writtenDocumentReadsBackWithItsLineBreaks()
    {
        pugi::xml_document doc;
        parseInto(doc,
                  "<data><crm_contact><cmemo/><cname><![CDATA[a<b]]></cname></crm_contact></data>");
        pugi::xml_node row = doc.document_element().child("crm_contact");
        const QString memo = QStringLiteral("line1\r\nline2\rend\n");
        QVERIFY(transXML::SetNodeText(row, QStringLiteral("cMemo"), memo));
        row.append_attribute("note") = "a\rb";

        const QString written = internal::xmlText(doc);
        QVERIFY2(written.contains(QStringLiteral("<![CDATA[a<b]]>")), qPrintable(written));
        IClsCommon com;
        QVERIFY(com.LoadRecordXml(written));
        const pugi::xml_node reread
            = com.workingDocument()->document_element().child("crm_contact");
        QCOMPARE(transXML::GetNodeText(reread, QStringLiteral("cmemo")), memo);
        QCOMPARE(transXML::GetNodeText(reread, QStringLiteral("cname")), QStringLiteral("a<b"));
        QCOMPARE(transXML::text(reread.attribute("note").value()), QStringLiteral("a\rb"));
    }

    void toNSqlLiterals_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comparisons")
            << "update t set a='x', b = 'y' where c>'1' and d<'2' and e like 'z%'"
            << "update t set a=N'x', b =N'y' where c>N'1' and d<N'2' and e like N'z%'";
        QTest::newRow("equals inside a literal untouched")
            << "update t set a='p=''q' where b='it''s=''ok'"
            << "update t set a=N'p=''q' where b=N'it''s=''ok'";
        QTest::newRow("already prefixed") << "select * from t where a=N'x'"
                                          << "select * from t where a=N'x'";
        QTest::newRow("no insert: commas untouched") << "update t set a='1,2',b='3'"
                                                     << "update t set a=N'1,2',b=N'3'";
        QTest::newRow("insert values") << "INSERT INTO t (a,b,c) VALUES ('x','y,''z','w')"
                                       << "INSERT INTO t (a,b,c) VALUES (N'x',N'y,''z',N'w')";
        QTest::newRow("insert literal opening with a comma") << "insert into t values (',a','b')"
                                                             << "insert into t values (',a',N'b')";
        QTest::newRow("comparison signs inside literals untouched")
            << "select * from t where a='K>''1' and b='x<''y' and c='O''Brien'"
            << "select * from t where a=N'K>''1' and b=N'x<''y' and c=N'O''Brien'";
        QTest::newRow("like inside a literal untouched")
            << "update t set a='I like ''x''' where b like 'y%' and c LIKE 'z%'"
            << "update t set a=N'I like ''x''' where b like N'y%' and c LIKE N'z%'";
        QTest::newRow("insert: parenthesis inside a literal untouched")
            << "insert into t (a,b) values ('f(''a'')','x,''y')"
            << "insert into t (a,b) values (N'f(''a'')',N'x,''y')";
        QTest::newRow("names and comments untouched")
            << "select [a='b'] from t -- c='d'\nwhere e='f' /* g>'h' */"
            << "select [a='b'] from t -- c='d'\nwhere e=N'f' /* g>'h' */";
        QTest::newRow("compound comparisons")
            << "where a>='1' and b<>'2' and c!='3' and d >= '4' and e > '5'"
            << "where a>=N'1' and b<>N'2' and c!=N'3' and d >=N'4' and e > '5'";
        QTest::newRow("national literals kept")
            << "insert into t values (N'a',N'b') select 1 where c=N'x' and d like N'%y'"
            << "insert into t values (N'a',N'b') select 1 where c=N'x' and d like N'%y'";
        // A long statement of literals whose contents hold every sign a rule looks for.
        QString longSql = QStringLiteral("select * from t where 1=1");
        QString longExpected = longSql;
        for (int i = 0; i < 6500; ++i) {
            const QString literal = QStringLiteral("'K>''%1,(''=''<'").arg(i);
            longSql += QStringLiteral(" or a=") + literal;
            longExpected += QStringLiteral(" or a=N") + literal;
        }
        QTest::newRow("long statement") << longSql << longExpected;
    }

    void toNSqlLiterals()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(Common::ToNSqlLiterals(sql), expected);
    }

    void checkDateRange_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("messageKey");
        QTest::newRow("day before the first")
            << "1759-12-31" << false << "K2.CRM.COMMON.CheckDate11";
        QTest::newRow("first day") << "1760-01-01" << true << "";
        QTest::newRow("last day") << "2299-12-31" << true << "";
        QTest::newRow("first refused day") << "2300-01-01" << false << "K2.CRM.COMMON.CheckDate12";
        QTest::newRow("short month and day") << "1999-3-7" << true << "";
        QTest::newRow("slashes") << "1999/12/7" << true << "";
        QTest::newRow("not a date") << "abc" << false << "K2.CRM.COMMON.CheckDate01";
        QTest::newRow("no such day") << "2023-02-30" << false << "K2.CRM.COMMON.CheckDate01";
        QTest::newRow("empty") << "" << false << "";
    }

    void checkDateRange()
    {
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        QFETCH(QString, messageKey);
        gLastError = QStringLiteral("before");
        QCOMPARE(transXML::CheckDateRange(value, QStringLiteral("生日")), accepted);
        const QString expected = messageKey.isEmpty()
                                     ? QStringLiteral("before")
                                     : zh(qPrintable(messageKey))
                                           .replace(QStringLiteral("%1"), QStringLiteral("生日"));
        QCOMPARE(gLastError, expected);
    }

    void archFuncId_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("functionId");
        QTest::newRow("contact query") << "Crm_Contact" << 1 << "CS020202";
        QTest::newRow("contact edit, any case") << "CRM_CONTACT" << 2 << "CS020201";
        QTest::newRow("contact 11") << "Crm_Contact" << 11 << "CS020204";
        QTest::newRow("contact 4 has none") << "Crm_Contact" << 4 << "";
        QTest::newRow("customer 3") << "Customer" << 3 << "AS011";
        QTest::newRow("inventory 3") << "Inventory" << 3 << "AS009H";
        QTest::newRow("computation unit 4") << "ComputationUnit" << 4 << "AS001H";
        QTest::newRow("user define edit") << "UserDefine" << 2 << "AS036";
        QTest::newRow("unknown archive") << "Crm_Opportunity" << 1 << "";
        QTest::newRow("unknown operation") << "Person" << 5 << "";
    }

    void archFuncId()
    {
        QFETCH(QString, archive);
        QFETCH(int, operation);
        QFETCH(QString, functionId);
        QCOMPARE(transXML::ArchFuncId(archive, operation), functionId);
    }

    void savedRecordsetLoadsFromXml()
    {
        openNewRecord();
        QVERIFY(m_com->ExecuteX(QStringLiteral(
            "insert into Crm_Contact (cContactCode, cContactName) values (N'00000001', N'王五')")));
        std::unique_ptr<db::Recordset> rs(
            m_com->OpenX(QStringLiteral("select cContactCode, cContactName from Crm_Contact")));
        QVERIFY(rs);
        std::unique_ptr<db::Recordset> loaded;
        QString msg;
        QVERIFY(Common::XmlToRecordset(rs->saveXml(), loaded, msg));
        QVERIFY(loaded);
        QCOMPARE(loaded->recordCount(), 1);
        QCOMPARE(loaded->value(QStringLiteral("cContactName")).toString(), QStringLiteral("王五"));

        std::unique_ptr<db::Recordset> none;
        QVERIFY(!Common::XmlToRecordset(QStringLiteral("<xml><unclosed>"), none, msg));
        QVERIFY(!none);
        QCOMPARE(msg, zh("K2.AA.ARCHIVE.COMMON.xmlloaderror"));
    }

    void moduleFunctionsServeAutomationClients()
    {
        QVariantList args{QStringLiteral("<A B='C'>D&E</A>"), true};
        QVERIFY(
            ModuleRegistry::call(QStringLiteral("Common"), QStringLiteral("EscapeXmlText"), args));
        QCOMPARE(args.at(0).toString(), QStringLiteral("<a b='c'>D&amp;E</a>"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bytes.bin"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x00\x01\xffpng", 6));
        file.close();
        args = {path, QString()};
        QCOMPARE(
            ModuleRegistry::call(QStringLiteral("Common"), QStringLiteral("ReadFileBytes"), args)
                ->toString(),
            QString::fromLatin1(QByteArray("\x00\x01\xffpng", 6).toBase64()));
        QCOMPARE(args.at(1).toString(), QString());
        args = {dir.filePath(QStringLiteral("missing.bin")), QString()};
        QCOMPARE(
            ModuleRegistry::call(QStringLiteral("Common"), QStringLiteral("ReadFileBytes"), args)
                ->toString(),
            QString());
        QVERIFY(!args.at(1).toString().isEmpty());
    }

private:
    void openNewRecord()
    {
        m_db = std::make_unique<TestDatabase>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        m_com = std::make_unique<IClsCommon>();
        QString cnn = m_db->connectionString();
        m_com->Init(cnn);
        m_rs = std::make_unique<db::Recordset>();
        m_rs->setCursorLocation(db::Recordset::UseClient);
        m_rs->open(QStringLiteral("SELECT TOP 0 * FROM Crm_Contact"), m_com->connection(),
                   db::Recordset::OpenDynamic, db::Recordset::LockOptimistic, -1);
        m_rs->addNew();
    }

    // Normalizes, parses and writes the (only) contact row of `xml` into the new record.
    bool writeRow(QString xml)
    {
        m_com->UTLCase(xml, true);
        if (!xml.trimmed().startsWith(QLatin1String("<data>")))
            xml = QStringLiteral("<data>") + xml + QStringLiteral("</data>");
        if (!m_com->LoadRecordXml(xml))
            return false;
        const pugi::xml_node row = m_com->workingDocument()->child("data").child("crm_contact");
        return row && m_com->SetFieldValue(*m_rs, row);
    }

    QString readLog() const
    {
        QFile file(m_logDir->filePath(QStringLiteral("SrvTransLog.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<QTemporaryDir> m_logDir;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<IClsCommon> m_com;
    std::unique_ptr<db::Recordset> m_rs;
};

QTEST_GUILESS_MAIN(tst_RecordXml)
#include "tst_recordxml.moc"
