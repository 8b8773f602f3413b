// What the print control reads: the print data a list hands it and the print style the operator
// keeps. A style that went bad must print with the default layout rather than fail.

#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrintStyle.h"

#include <QTest>

using namespace perikon::suite::printer;

class tst_PrintData : public QObject
{
    Q_OBJECT

private slots:
    void styleIsReadFromItsXml_data();
    void styleIsReadFromItsXml();
    void styleSurvivesItsOwnXml_data();
    void styleSurvivesItsOwnXml();
    void landscapePageIsWiderThanHigh();
    void dataKeepsHeadingColumnsAndRows();
    void rowsAreSquaredToTheColumns();
    void dataThatDoesNotParseIsRefused_data();
    void dataThatDoesNotParseIsRefused();
};

void tst_PrintData::styleIsReadFromItsXml_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::addColumn<double>("marginTop");
    QTest::addColumn<double>("marginLeft");
    QTest::addColumn<double>("fontSize");

    const auto portrait = QPageLayout::Portrait;
    const auto landscape = QPageLayout::Landscape;
    QTest::newRow("complete style")
        << R"(<PrnStyle paper="A3" orientation="landscape" marginTop="20" marginBottom="12" marginLeft="8" marginRight="9" fontSize="11"/>)"
        << "A3" << landscape << 20.0 << 8.0 << 11.0;
    QTest::newRow("only the orientation given") << R"(<PrnStyle orientation="landscape"/>)"
                                                << "A4" << landscape << 15.0 << 10.0 << 9.0;
    QTest::newRow("names in any case") << R"(<PrnStyle paper="letter" orientation="LANDSCAPE"/>)"
                                       << "Letter" << landscape << 15.0 << 10.0 << 9.0;
    QTest::newRow("fractional margins") << R"(<PrnStyle marginTop="12.5" marginLeft="0"/>)"
                                        << "A4" << portrait << 12.5 << 0.0 << 9.0;
    QTest::newRow("empty text: default") << ""
                                         << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("not XML: default") << "<PrnStyle paper="
                                      << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("another document: default") << R"(<Style paper="A3" orientation="landscape"/>)"
                                               << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("unknown paper: default") << R"(<PrnStyle paper="A9" orientation="landscape"/>)"
                                            << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("unknown orientation: default")
        << R"(<PrnStyle paper="A3" orientation="sideways"/>)"
        << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("negative margin: default") << R"(<PrnStyle paper="A3" marginTop="-1"/>)"
                                              << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("margin not a number: default") << R"(<PrnStyle paper="A3" marginLeft="ten"/>)"
                                                  << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("margins leaving no paper: default")
        << R"(<PrnStyle paper="A5" marginLeft="70" marginRight="70"/>)"
        << "A4" << portrait << 15.0 << 10.0 << 9.0;
    QTest::newRow("font of zero points: default") << R"(<PrnStyle paper="A3" fontSize="0"/>)"
                                                  << "A4" << portrait << 15.0 << 10.0 << 9.0;
}

void tst_PrintData::styleIsReadFromItsXml()
{
    QFETCH(QString, xml);
    QFETCH(QString, paper);
    QFETCH(QPageLayout::Orientation, orientation);
    QFETCH(double, marginTop);
    QFETCH(double, marginLeft);
    QFETCH(double, fontSize);
    const PrintStyle style = PrintStyle::parse(xml);
    QCOMPARE(style.paper, paper);
    QCOMPARE(style.orientation, orientation);
    QCOMPARE(style.marginTop, marginTop);
    QCOMPARE(style.marginLeft, marginLeft);
    QCOMPARE(style.fontSize, fontSize);
}

void tst_PrintData::styleSurvivesItsOwnXml_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<double>("margin");
    QTest::addColumn<double>("fontSize");
    QTest::newRow("default") << "A4" << false << 15.0 << 9.0;
    for (const QString &paper : PrintStyle::paperNames())
        QTest::addRow("%s landscape", qPrintable(paper)) << paper << true << 7.25 << 10.5;
}

void tst_PrintData::styleSurvivesItsOwnXml()
{
    QFETCH(QString, paper);
    QFETCH(bool, landscape);
    QFETCH(double, margin);
    QFETCH(double, fontSize);
    PrintStyle style;
    style.paper = paper;
    style.orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    style.marginTop = margin;
    style.marginRight = margin + 1;
    style.fontSize = fontSize;
    const QString xml = style.toXml();
    QVERIFY2(xml.startsWith(QLatin1String("<PrnStyle ")), qPrintable(xml));
    QCOMPARE(PrintStyle::parse(xml), style);
}

void tst_PrintData::landscapePageIsWiderThanHigh()
{
    for (const QString &paper : PrintStyle::paperNames()) {
        PrintStyle style;
        style.paper = paper;
        const QSizeF portrait = style.pageLayout().fullRect(QPageLayout::Point).size();
        style.orientation = QPageLayout::Landscape;
        const QSizeF landscape = style.pageLayout().fullRect(QPageLayout::Point).size();
        QVERIFY2(portrait.height() > portrait.width(), qPrintable(paper));
        QCOMPARE(landscape, portrait.transposed());
    }
}

void tst_PrintData::dataKeepsHeadingColumnsAndRows()
{
    const QString xml = QStringLiteral(
        R"(<PrintData title="联系人档案" operator="王芳" account="001" year="2026" date="2026-12-06">)"
        R"(<Columns><Column caption="编码" width="80" align="left"/>)"
        R"(<Column caption="Amount" width="120" align="right"/><Column caption="C" align="center"/>)"
        R"(</Columns><Rows>)"
        R"(<Row><Cell> 007 </Cell><Cell>1,234.50</Cell><Cell>a &amp; &lt;b&gt;</Cell></Row>)"
        R"(<Row><Cell>שלום</Cell><Cell></Cell><Cell>line 1&#10;line 2</Cell></Row>)"
        R"(</Rows></PrintData>)");
    const std::optional<PrintData> data = PrintData::parse(xml);
    QVERIFY(data);
    QCOMPARE(data->title, QStringLiteral("联系人档案"));
    QCOMPARE(data->operatorName, QStringLiteral("王芳"));
    QCOMPARE(data->account, QStringLiteral("001"));
    QCOMPARE(data->year, QStringLiteral("2026"));
    QCOMPARE(data->date, QStringLiteral("2026-12-06"));
    QCOMPARE(data->columns.size(), 3);
    QCOMPARE(data->columns[0].caption, QStringLiteral("编码"));
    QCOMPARE(data->columns[1].width, 120);
    QCOMPARE(data->columns[1].align, Qt::AlignRight);
    QCOMPARE(data->columns[2].align, Qt::AlignHCenter);
    QCOMPARE(data->columns[2].width, 100); // none given
    QCOMPARE(data->rows.size(), 2);
    QCOMPARE(data->rows[0], (QStringList{" 007 ", "1,234.50", "a & <b>"}));
    QCOMPARE(data->rows[1], (QStringList{"שלום", "", "line 1\nline 2"}));
}

void tst_PrintData::rowsAreSquaredToTheColumns()
{
    const std::optional<PrintData> data = PrintData::parse(
        QStringLiteral("<PrintData><Columns><Column caption='a'/><Column caption='b'/></Columns>"
                       "<Rows><Row><Cell>1</Cell></Row><Row/>"
                       "<Row><Cell>1</Cell><Cell>2</Cell><Cell>3</Cell></Row></Rows></PrintData>"));
    QVERIFY(data);
    QCOMPARE(data->rows, (QList<QStringList>{{"1", ""}, {"", ""}, {"1", "2"}}));
}

void tst_PrintData::dataThatDoesNotParseIsRefused_data()
{
    QTest::addColumn<QString>("xml");
    QTest::newRow("empty") << "";
    QTest::newRow("broken XML") << "<PrintData><Columns>";
    QTest::newRow("another document") << "<Data><Columns><Column caption='a'/></Columns></Data>";
    QTest::newRow("no columns") << "<PrintData><Rows><Row><Cell>1</Cell></Row></Rows></PrintData>";
}

void tst_PrintData::dataThatDoesNotParseIsRefused()
{
    QFETCH(QString, xml);
    QVERIFY(!PrintData::parse(xml));
}

QTEST_GUILESS_MAIN(tst_PrintData)
#include "tst_printdata.moc"
