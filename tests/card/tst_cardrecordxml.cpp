// The card's record element: every value reaches the data layer as the operator typed it, the two
// modes differ only where saving needs them to, and a contact saved with it reads back unchanged.

#include "perikon/card/CardAuthDimensions.h"
#include "perikon/card/CardRecordXml.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/session/SessionGlobals.h"
#include "support/SessionFixture.h"

#include <QTest>

#include <pugixml.hpp>

using namespace perikon;
using perikon::testing::SessionFixture;

namespace {

// Every text the card edits, set to `value`.
card::CardRecord recordOfValue(const QString &value)
{
    card::CardRecord r;
    for (QString *field :
         {&r.cusCode,    &r.contactCode, &r.contactName, &r.appellation, &r.superiorId,
          &r.native,     &r.dutyId,      &r.tasteId,     &r.principal,   &r.conDepart,
          &r.creator,    &r.officePhone, &r.homePhone,   &r.mobilePhone, &r.call,
          &r.zipcode,    &r.homePage,    &r.workAddress, &r.homeAddress, &r.email,
          &r.homeMember, &r.memo,        &r.wechat})
        *field = value;
    for (int i = 0; i < 14; ++i)
        r.userDefined << value;
    r.userDefined << QString() << QString();
    return r;
}

const QStringList kTextColumns{
    "ccuscode",     "ccontactcode", "ccontactname", "cappellation", "csuperiorid", "cnative",
    "bcdutyid",     "bctasteid",    "cprincipal",   "ccondepart",   "ccreator",    "cofficephone",
    "chomephone",   "cmobilephone", "ccall",        "czipcode",     "chomepage",   "cworkaddress",
    "chomeaddress", "cemail",       "chomemember",  "cmemo",        "cwechat"};

// The record as IClsCommon::Add and Modify parse it: normalized, then loaded.
struct ParsedRecord
{
    IClsCommon com;
    pugi::xml_node row;
    bool ok = false;

    explicit ParsedRecord(QString xml)
    {
        com.UTLCase(xml, true);
        ok = com.LoadRecordXml(QStringLiteral("<data>") + xml + QStringLiteral("</data>"));
        if (ok)
            row = com.workingDocument()->document_element().child("crm_contact");
    }

    QString text(const char *column) const
    {
        return QString::fromUtf8(row.child(column).child_value());
    }
    QStringList columns() const
    {
        QStringList names;
        for (pugi::xml_node child : row.children())
            names << QString::fromUtf8(child.name());
        return names;
    }
};

} // namespace

class tst_CardRecordXml : public QObject
{
    Q_OBJECT
private slots:
    void valuesReachTheDataLayerUnchanged_data();
    void valuesReachTheDataLayerUnchanged();
    void loadedOidSurvivesItsQuotes_data();
    void loadedOidSurvivesItsQuotes();
    void modesDiffer_data();
    void modesDiffer();
    void contactCodeEntersDialogXml_data();
    void contactCodeEntersDialogXml();

    void addThenModifyKeepsAmpersands();
};

void tst_CardRecordXml::valuesReachTheDataLayerUnchanged_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("ampersand") << "R&D";
    QTest::newRow("apostrophe") << "O'Brien";
    QTest::newRow("double quote") << "the \"best\" one";
    QTest::newRow("greater than") << "a > b";
    QTest::newRow("Chinese") << "北京市海淀区中关村";
    QTest::newRow("entity-like text") << "&amp; &lt; &#38;";
    QTest::newRow("all together") << "研发 R&D 'A' \"B\" >";
    QTest::newRow("blanks only") << "   ";
}

void tst_CardRecordXml::valuesReachTheDataLayerUnchanged()
{
    QFETCH(QString, value);
    card::CardRecord record = recordOfValue(value);
    record.privilegeXml = *card::withDepartmentRow(
        card::privilegeXmlFromGrants(QStringLiteral("00000001"), QStringLiteral("2"),
                                     QStringLiteral("u"),
                                     {{QStringLiteral("1"), value, value, value}}),
        QStringLiteral("0"), value, value, value);
    record.relatedPersonXml = QStringLiteral("<cusstuff> <cContactCode></cContactCode>"
                                             "<row><cuser_id>u1</cuser_id></row></cusstuff>");

    const ParsedRecord parsed(card::cardRecordXml(record));
    QVERIFY(parsed.ok);
    for (const QString &column : kTextColumns)
        QCOMPARE(parsed.text(column.toLatin1().constData()), value);
    for (int i = 1; i <= 14; ++i)
        QCOMPARE(parsed.text(QByteArray("ccondefine") + QByteArray::number(i)), value);
    int grants = 0;
    for (pugi::xml_node grant : parsed.row.child("cusprivilege").children("row")) {
        ++grants;
        QCOMPARE(QString::fromUtf8(grant.child("privilege_id").child_value()), value);
        QCOMPARE(QString::fromUtf8(grant.child("cadname").child_value()), value);
    }
    QCOMPARE(grants, 2);
    QCOMPARE(QString::fromUtf8(parsed.row.child("cusstuff").child("ccontactcode").child_value()),
             value);
}

void tst_CardRecordXml::loadedOidSurvivesItsQuotes_data()
{
    QTest::addColumn<QString>("oid");
    // Lower case: the normalization lower-cases whole tags, attribute values included.
    QTest::newRow("guid") << "{2f1c9a4e-0b7d-4c1e-9a55-0e6f1d2b3c4a}";
    QTest::newRow("apostrophe") << "o'neil";
    QTest::newRow("double quote") << "say \"x\"";
    QTest::newRow("ampersand") << "a&b";
}

void tst_CardRecordXml::loadedOidSurvivesItsQuotes()
{
    QFETCH(QString, oid);
    card::CardRecord record = recordOfValue(QStringLiteral("x"));
    record.mode = 2;
    record.loadedOid = oid;
    const ParsedRecord parsed(card::cardRecordXml(record));
    QVERIFY(parsed.ok);
    QCOMPARE(QString::fromUtf8(parsed.row.attribute("oid").value()), oid);
}

void tst_CardRecordXml::modesDiffer_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("adding");
    QTest::newRow("add") << 1 << true;
    QTest::newRow("modify") << 2 << false;
}

void tst_CardRecordXml::modesDiffer()
{
    QFETCH(int, mode);
    QFETCH(bool, adding);
    card::CardRecord record = recordOfValue(QStringLiteral("v"));
    record.mode = mode;
    record.loadedOid = QStringLiteral("{loaded}");
    record.newOid = QStringLiteral("{new}");
    record.createDate = QStringLiteral("2026-12-06");
    record.major = adding;
    record.birthday = QStringLiteral("1990-05-17");
    record.userDefined[15] = QStringLiteral("2027-01-31");
    record.extendedXml = QStringLiteral("<cLDefine1>ext</cLDefine1>");
    record.pictureXml = QStringLiteral("<PictureGUID>pic</PictureGUID>");

    const ParsedRecord parsed(card::cardRecordXml(record));
    QVERIFY(parsed.ok);
    QCOMPARE(parsed.row.attribute("oid").empty(), adding);
    QCOMPARE(parsed.text("dcreatedate"), adding ? QStringLiteral("2026-12-06") : QString());
    QCOMPARE(parsed.text("oid"), adding ? QStringLiteral("{new}") : QString());
    QCOMPARE(parsed.row.child("oid").empty(), !adding);
    QCOMPARE(parsed.row.child("dcreatedate").empty(), !adding);
    QCOMPARE(parsed.text("bmajor"), adding ? QStringLiteral("True") : QStringLiteral("False"));
    QCOMPARE(parsed.text("dbirthday"), QStringLiteral("1990-05-17"));
    QCOMPARE(parsed.text("dconedate"), QString());
    QCOMPARE(parsed.text("ccondefine15"), QString());
    QCOMPARE(parsed.text("ccondefine16"), QStringLiteral("2027-01-31"));
    QCOMPARE(parsed.text("cldefine1"), QStringLiteral("ext"));
    QCOMPARE(parsed.text("pictureguid"), QStringLiteral("pic"));
    // Both modes name every column of the card; the modes differ only in the two add columns.
    QStringList columns = parsed.columns();
    const int expected = 22 + 5 + 16 + 3 + (adding ? 2 : 0);
    QCOMPARE(columns.size(), expected);
    QCOMPARE(columns.removeDuplicates(), 0);
    QCOMPARE(columns.last(), QStringLiteral("pictureguid"));
}

void tst_CardRecordXml::contactCodeEntersDialogXml_data()
{
    QTest::addColumn<QString>("dialogXml");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty code element")
        << "<cusstuff><cContactCode></cContactCode><row/></cusstuff>"
        << "00000042"
        << "<cusstuff><cContactCode>00000042</cContactCode><row/></cusstuff>";
    QTest::newRow("lower-case element") << "<cusstuff><ccontactcode></ccontactcode></cusstuff>"
                                        << "A&B"
                                        << "<cusstuff><cContactCode>A&B</cContactCode></cusstuff>";
    QTest::newRow("code given already stays")
        << "<cusstuff><cContactCode>00000001</cContactCode></cusstuff>"
        << "00000042"
        << "<cusstuff><cContactCode>00000001</cContactCode></cusstuff>";
    QTest::newRow("no code element") << "<cusprivilege><ccuscode>1</ccuscode></cusprivilege>"
                                     << "00000042"
                                     << "<cusprivilege><ccuscode>1</ccuscode></cusprivilege>";
    QTest::newRow("empty dialog") << ""
                                  << "00000042"
                                  << "";
}

void tst_CardRecordXml::contactCodeEntersDialogXml()
{
    QFETCH(QString, dialogXml);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(card::withContactCode(dialogXml, code), expected);
}

void tst_CardRecordXml::addThenModifyKeepsAmpersands()
{
    if (SessionFixture::unavailable())
        QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
    SessionFixture session(3);
    QVERIFY2(session.ok(), qPrintable(session.error()));
    const QString code = QStringLiteral("C&A-0001");
    auto stored = [&](const char *column) {
        return session
            .scalar(QStringLiteral("select %1 from Crm_Contact where cContactCode=N'%2'")
                        .arg(QLatin1String(column), code))
            .toString();
    };

    card::CardRecord record;
    record.contactCode = code;
    record.cusCode = QStringLiteral("C0000001");
    record.contactName = QStringLiteral("O'Brien & Söhne");
    record.memo = QStringLiteral("R&D");
    record.userDefined = QStringList(16, QString());
    record.newOid = QStringLiteral("{6f0a4b52-92c3-4d0e-8d1a-3b7e5c9f0a11}");
    record.privilegeXml = card::privilegeXmlFromGrants(code, QStringLiteral("2"), QString(),
                                                       {{"1", "区域", "R&D", "研发 & 测试"}});
    QString xml = card::cardRecordXml(record);
    QString msg;
    QVERIFY2(session.com.Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
    QCOMPARE(stored("cMemo"), QStringLiteral("R&D"));
    QCOMPARE(stored("cContactName"), QStringLiteral("O'Brien & Söhne"));
    QCOMPARE(stored("OID"), record.newOid);
    QCOMPARE(session
                 .scalar(QStringLiteral("select Privilege_ID from crm_contact_Auth where "
                                        "Contact_Id=N'%1'")
                             .arg(code))
                 .toString(),
             QStringLiteral("R&D"));

    record.mode = 2;
    record.loadedOid = stored("OID");
    record.contactName = QStringLiteral("\"Q\" & nothing");
    gContactTs = session
                     .scalar(QStringLiteral("select convert(char, convert(money,qzts), 2) from "
                                            "Crm_Contact where cContactCode=N'%1'")
                                 .arg(code))
                     .toString();
    QVERIFY(!gContactTs.isEmpty());
    xml = card::cardRecordXml(record);
    QString table = QStringLiteral("Crm_Contact");
    QVERIFY2(session.com.Modify(xml, table, msg), qPrintable(msg));
    QCOMPARE(stored("cMemo"), QStringLiteral("R&D"));
    QCOMPARE(stored("cContactName"), QStringLiteral("\"Q\" & nothing"));
    QCOMPARE(
        session.count(
            QStringLiteral("select count(*) from Crm_Contact where cContactCode=N'%1'").arg(code)),
        1);
}

QTEST_GUILESS_MAIN(tst_CardRecordXml)
#include "tst_cardrecordxml.moc"
