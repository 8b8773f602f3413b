// The member XML of the related-persons and dimension dialogs: what the card hands in is read
// into rows, and the rows an operator confirms are written back under the card's own head.

#include "suite/services/TransferDialogXml.h"

#include <QTest>

#include <pugixml.hpp>

using namespace perikon;
using suite::DimensionGrant;
using suite::RelatedPerson;

Q_DECLARE_METATYPE(QList<RelatedPerson>)
Q_DECLARE_METATYPE(QList<DimensionGrant>)

namespace {

// The related-persons XML exactly as the card builds it.
QString cardPersonsXml(const QString &code, const QString &right, const QString &rows = {})
{
    return QStringLiteral("<cusstuff> <cContactCode>") + code
           + QStringLiteral("</cContactCode><RW>") + right
           + QStringLiteral("</RW><RowAuthCusR></RowAuthCusR><RowAuthCusW></RowAuthCusW>")
           + QStringLiteral("<url>http://crm/a?b=1&amp;c=2</url>") + rows
           + QStringLiteral("</cusstuff>");
}

QString cardDimensionXml(const QString &code, const QString &right)
{
    return QStringLiteral("<cusprivilege> <cContactCode>") + code
           + QStringLiteral("</cContactCode><RW>") + right
           + QStringLiteral("</RW><RowAuthCusR></RowAuthCusR><RowAuthCusW></RowAuthCusW>"
                            "<url>http://crm</url></cusprivilege>");
}

// The form the card's dimension check builds from the stored grants.
QString checkedDimensionXml(const QString &code, const QString &rows)
{
    return QStringLiteral("<cusprivilege> <ccuscode>") + code
           + QStringLiteral("</ccuscode><RW>1</RW><url>http://crm</url>") + rows
           + QStringLiteral("<btextdata>1</btextdata></cusprivilege>");
}

QString grantRow(const QString &type, const QString &typeName, const QString &code,
                 const QString &name)
{
    return QStringLiteral("<row>  <privilege_type>") + type
           + QStringLiteral("</privilege_type> <cadtname>") + typeName
           + QStringLiteral("</cadtname> <privilege_id>") + code
           + QStringLiteral("</privilege_id> <cadname>") + name
           + QStringLiteral("</cadname>  </row>");
}

// Every element child of the root but rows and `marker`, as "name=text", in order.
QStringList headOf(const QString &xml, const char *marker)
{
    pugi::xml_document document;
    const QByteArray source = xml.toUtf8();
    if (!document.load_buffer(source.constData(), std::size_t(source.size())))
        return {QStringLiteral("not XML")};
    QStringList head;
    for (const pugi::xml_node child : document.document_element().children()) {
        const QString name = QString::fromUtf8(child.name());
        if (name.compare(u"row", Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String(marker), Qt::CaseInsensitive) == 0)
            continue;
        head << name + u'=' + QString::fromUtf8(child.child_value());
    }
    return head;
}

} // namespace

class tst_TransferDialogXml : public QObject
{
    Q_OBJECT
private slots:
    void relatedPersonsAreRead_data();
    void relatedPersonsAreRead();
    void dimensionGrantsAreRead_data();
    void dimensionGrantsAreRead();
    void textThatIsNoXmlIsRefused();

    void relatedPersonsAreWrittenUnderTheCardsHead_data();
    void relatedPersonsAreWrittenUnderTheCardsHead();
    void dimensionGrantsAreWrittenUnderTheCardsHead_data();
    void dimensionGrantsAreWrittenUnderTheCardsHead();
    void aNewContactsEmptyCodeKeepsBothTags();
};

void tst_TransferDialogXml::relatedPersonsAreRead_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("preload");
    QTest::addColumn<QList<RelatedPerson>>("rows");

    const QString both = QStringLiteral("<row><cuser_id>u1</cuser_id><iright>1</iright></row>"
                                        "<row><cuser_id>u2</cuser_id><iright>0</iright></row>");
    const QList<RelatedPerson> none;
    // clang-format off
    QTest::newRow("saved contact, first opening") << cardPersonsXml("C'01", "1") << "C'01" << true << true << none;
    QTest::newRow("new contact") << cardPersonsXml("", "1") << "" << true << false << none;
    QTest::newRow("view only") << cardPersonsXml("C01", "0") << "C01" << false << true << none;
    QTest::newRow("right neither 0 nor 1 only shows") << cardPersonsXml("C01", "") << "C01" << false << true << none;
    QTest::newRow("after an earlier OK")
        << cardPersonsXml("C01", "1", both + "<bedited>1</bedited>") << "C01" << true << false
        << QList<RelatedPerson>{{"u1", "", true}, {"u2", "", false}};
    QTest::newRow("confirmed with nobody")
        << cardPersonsXml("C01", "1", "<bedited>1</bedited>") << "C01" << true << false << none;
    QTest::newRow("rows without mark are shown")
        << cardPersonsXml("C01", "1", both) << "C01" << true << false
        << QList<RelatedPerson>{{"u1", "", true}, {"u2", "", false}};
    QTest::newRow("names in capitals, right missing, name kept")
        << "<CUSSTUFF><CCONTACTCODE>C01</CCONTACTCODE><rw>1</rw><Row><CUSER_ID> u7 </CUSER_ID>"
           "<CUSER_NAME>张三</CUSER_NAME></Row></CUSSTUFF>"
        << "C01" << true << false << QList<RelatedPerson>{{"u7", "张三", true}};
    QTest::newRow("row binding nobody is left out")
        << cardPersonsXml("C01", "1", "<row><iright>1</iright></row><row><cuser_id>u1</cuser_id></row>")
        << "C01" << true << false << QList<RelatedPerson>{{"u1", "", true}};
    // clang-format on
}

void tst_TransferDialogXml::relatedPersonsAreRead()
{
    QFETCH(QString, xml);
    QFETCH(QString, code);
    QFETCH(bool, editable);
    QFETCH(bool, preload);
    QFETCH(QList<RelatedPerson>, rows);
    const std::optional<suite::RelatedPersonsMember> member = suite::readRelatedPersonsXml(xml);
    QVERIFY(member);
    QCOMPARE(member->contactCode, code);
    QCOMPARE(member->editable, editable);
    QCOMPARE(member->needsPreload(), preload);
    QCOMPARE(member->rows, rows);
}

void tst_TransferDialogXml::dimensionGrantsAreRead_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("preload");
    QTest::addColumn<QList<DimensionGrant>>("rows");

    const QList<DimensionGrant> none;
    // clang-format off
    QTest::newRow("saved contact, first opening") << cardDimensionXml("C01", "1") << "C01" << true << true << none;
    QTest::newRow("new contact") << cardDimensionXml("", "1") << "" << true << false << none;
    QTest::newRow("view only") << cardDimensionXml("C01", "0") << "C01" << false << true << none;
    QTest::newRow("built from the stored grants")
        << checkedDimensionXml("C'02", grantRow("0", "部门", "D01", "销售部") + grantRow("1", "区域", "02", "华东"))
        << "C'02" << true << false
        << QList<DimensionGrant>{{"0", "部门", "D01", "销售部"}, {"1", "区域", "02", "华东"}};
    QTest::newRow("built from no stored grants") << checkedDimensionXml("C01", "") << "C01" << true << false << none;
    QTest::newRow("row without a value is left out")
        << checkedDimensionXml("C01", grantRow("1", "区域", "", "") + grantRow("2", "", "03", ""))
        << "C01" << true << false << QList<DimensionGrant>{{"2", "", "03", ""}};
    QTest::newRow("names in capitals")
        << "<CUSPRIVILEGE><CCUSCODE>C01</CCUSCODE><Rw>1</Rw><ROW><PRIVILEGE_TYPE>3</PRIVILEGE_TYPE>"
           "<PRIVILEGE_ID>01</PRIVILEGE_ID></ROW><BTEXTDATA>1</BTEXTDATA></CUSPRIVILEGE>"
        << "C01" << true << false << QList<DimensionGrant>{{"3", "", "01", ""}};
    // clang-format on
}

void tst_TransferDialogXml::dimensionGrantsAreRead()
{
    QFETCH(QString, xml);
    QFETCH(QString, code);
    QFETCH(bool, editable);
    QFETCH(bool, preload);
    QFETCH(QList<DimensionGrant>, rows);
    const std::optional<suite::DimensionMember> member = suite::readDimensionXml(xml);
    QVERIFY(member);
    QCOMPARE(member->contactCode, code);
    QCOMPARE(member->editable, editable);
    QCOMPARE(member->needsPreload(), preload);
    QCOMPARE(member->rows, rows);
}

void tst_TransferDialogXml::textThatIsNoXmlIsRefused()
{
    for (const QString &xml : {QString(), QStringLiteral("<cusstuff><RW>1</RW>"),
                               QStringLiteral("cusstuff"), QStringLiteral("<a><b></a>")}) {
        QVERIFY2(!suite::readRelatedPersonsXml(xml), qPrintable(xml));
        QVERIFY2(!suite::readDimensionXml(xml), qPrintable(xml));
        QVERIFY2(!suite::writeRelatedPersonsXml(xml, {}), qPrintable(xml));
        QVERIFY2(!suite::writeDimensionXml(xml, {}), qPrintable(xml));
    }
}

void tst_TransferDialogXml::relatedPersonsAreWrittenUnderTheCardsHead_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QList<RelatedPerson>>("rows");

    const QList<RelatedPerson> hostile{{"o'brien", "", true},
                                       {"a&b<c>\"d\"", "", false},
                                       {"用户一", "", true},
                                       {" spaced ", "", false}};
    QTest::newRow("fresh") << cardPersonsXml("C01", "1") << hostile;
    QTest::newRow("replacing an earlier OK")
        << cardPersonsXml("C01", "1",
                          "<row><cuser_id>old</cuser_id><iright>1</iright></row>"
                          "<BEdited>1</BEdited><row><cuser_id>old2</cuser_id></row>")
        << hostile;
    QTest::newRow("everyone removed")
        << cardPersonsXml("C'0&1", "1", "<row><cuser_id>old</cuser_id></row>")
        << QList<RelatedPerson>{};
}

void tst_TransferDialogXml::relatedPersonsAreWrittenUnderTheCardsHead()
{
    QFETCH(QString, xml);
    QFETCH(QList<RelatedPerson>, rows);
    const std::optional<QString> written = suite::writeRelatedPersonsXml(xml, rows);
    QVERIFY(written);
    QCOMPARE(headOf(*written, "bedited"), headOf(xml, "bedited"));
    QCOMPARE(written->count(QStringLiteral("<bedited>1</bedited>"), Qt::CaseInsensitive), 1);
    // The card hands ">" on as it is; an entity other than "&amp;" would arrive as text.
    QVERIFY2(!written->contains(QStringLiteral("&gt;"))
                 && !written->contains(QStringLiteral("&quot;")),
             qPrintable(*written));

    const std::optional<suite::RelatedPersonsMember> read = suite::readRelatedPersonsXml(*written);
    QVERIFY(read);
    QVERIFY(!read->needsPreload());
    // Ids are read trimmed, as the save reads them.
    QList<RelatedPerson> expected = rows;
    for (RelatedPerson &person : expected)
        person.userId = person.userId.trimmed();
    QCOMPARE(read->rows, expected);
}

void tst_TransferDialogXml::dimensionGrantsAreWrittenUnderTheCardsHead_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QList<DimensionGrant>>("rows");

    const QList<DimensionGrant> hostile{{"0", "部门", "D'01", "O'Brien & Söhne <GmbH>"},
                                        {"2", "行业", "0&2", "零售\"连锁\""}};
    QTest::newRow("first form") << cardDimensionXml("C01", "1") << hostile;
    QTest::newRow("built from stored grants")
        << checkedDimensionXml("C01", grantRow("1", "区域", "02", "华东")) << hostile;
    QTest::newRow("everything removed")
        << checkedDimensionXml("C01", grantRow("1", "区域", "02", "华东"))
        << QList<DimensionGrant>{};
}

void tst_TransferDialogXml::dimensionGrantsAreWrittenUnderTheCardsHead()
{
    QFETCH(QString, xml);
    QFETCH(QList<DimensionGrant>, rows);
    const std::optional<QString> written = suite::writeDimensionXml(xml, rows);
    QVERIFY(written);
    QCOMPARE(headOf(*written, "btextdata"), headOf(xml, "btextdata"));
    QCOMPARE(written->count(QStringLiteral("<btextdata>1</btextdata>"), Qt::CaseInsensitive), 1);
    QVERIFY2(!written->contains(QStringLiteral("&gt;"))
                 && !written->contains(QStringLiteral("&quot;")),
             qPrintable(*written));

    const std::optional<suite::DimensionMember> read = suite::readDimensionXml(*written);
    QVERIFY(read);
    QVERIFY(!read->needsPreload());
    QCOMPARE(read->rows, rows);
}

void tst_TransferDialogXml::aNewContactsEmptyCodeKeepsBothTags()
{
    // The card puts the new contact's code in by replacing the empty element's two tags.
    const std::optional<QString> persons
        = suite::writeRelatedPersonsXml(cardPersonsXml("", "1"), {{"u1", "", true}});
    QVERIFY(persons);
    QVERIFY2(persons->contains(QStringLiteral("<cContactCode></cContactCode>")),
             qPrintable(*persons));
    QVERIFY2(persons->contains(QStringLiteral("<RowAuthCusR></RowAuthCusR>")),
             qPrintable(*persons));
    const std::optional<QString> grants = suite::writeDimensionXml(cardDimensionXml("", "1"), {});
    QVERIFY(grants);
    QVERIFY2(grants->contains(QStringLiteral("<cContactCode></cContactCode>")),
             qPrintable(*grants));
}

QTEST_GUILESS_MAIN(tst_TransferDialogXml)
#include "tst_transferdialogxml.moc"
