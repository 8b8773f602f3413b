// The print renderer lays rows out on pages and paints them: every page carries the title, the
// captions, its own rows in order and "page n / m"; cells never spill into other rows, whatever
// their text. Pages are painted onto a recording device that keeps each drawn text and where.

#include "suite/controls/printer/PrintRenderer.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTest>
#include <QTextItem>

using namespace perikon::suite::printer;

namespace {

struct DrawnText
{
    QPointF at;
    QString text;
};

class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawRects(const QRectF *, int) override {}
    void drawRects(const QRect *, int) override {}
    void drawLines(const QLineF *, int) override {}
    void drawLines(const QLine *, int) override {}
    void drawTextItem(const QPointF &at, const QTextItem &item) override
    {
        texts.append({at, item.text()});
    }
    Type type() const override { return QPaintEngine::User; }

    QList<DrawnText> texts;
};

// A page of A4's printable size at 300 dpi.
class RecordingPage : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return 2244; // 190 mm
        case PdmHeight:
            return 3154; // 267 mm
        case PdmWidthMM:
            return 190;
        case PdmHeightMM:
            return 267;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 300;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

    mutable RecordingEngine engine;
};

PrintLabels labels()
{
    return {QStringLiteral("Operator: %1"), QStringLiteral("Account %1, year %2"),
            QStringLiteral("Date: %1"), QStringLiteral("Page %1 / %2")};
}

PrintData dataOf(int rows)
{
    PrintData data;
    data.title = QStringLiteral("Contacts");
    data.operatorName = QStringLiteral("Fang");
    data.account = QStringLiteral("001");
    data.year = QStringLiteral("2026");
    data.date = QStringLiteral("2026-12-06");
    data.columns = {{QStringLiteral("Code"), 90, Qt::AlignLeft},
                    {QStringLiteral("Name"), 160, Qt::AlignLeft},
                    {QStringLiteral("Amount"), 100, Qt::AlignRight}};
    for (int r = 0; r < rows; ++r) {
        const QString n = QString::number(r).rightJustified(5, u'0');
        data.rows.append(
            {QStringLiteral("C") + n, QStringLiteral("N") + n, QStringLiteral("A") + n});
    }
    return data;
}

// The texts drawn for one page.
QList<DrawnText> paint(PrintRenderer &renderer, RecordingPage &page, int pageIndex)
{
    page.engine.texts.clear();
    QPainter painter(&page);
    renderer.paintPage(painter, pageIndex);
    painter.end();
    return page.engine.texts;
}

QStringList textsOf(const QList<DrawnText> &drawn)
{
    QStringList texts;
    for (const DrawnText &d : drawn)
        texts << d.text;
    return texts;
}

} // namespace

class tst_PrintRenderer : public QObject
{
    Q_OBJECT

private slots:
    void everyPageCarriesItsRowsAndFooter_data();
    void everyPageCarriesItsRowsAndFooter();
    void largerFontsHoldFewerRows();
    void emptyListPrintsOnePageOfCaptions();
    void longOperatorNameIsCutBeforeTheDate();
    void unrulyTextsStayInTheirCell_data();
    void unrulyTextsStayInTheirCell();
};

void tst_PrintRenderer::everyPageCarriesItsRowsAndFooter_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("one row") << 1;
    QTest::newRow("a page and one row") << -1; // rows per page + 1, worked out in the test
    QTest::newRow("350 rows") << 350;
}

void tst_PrintRenderer::everyPageCarriesItsRowsAndFooter()
{
    QFETCH(int, rows);
    RecordingPage page;
    if (rows < 0) {
        const PrintData probe = dataOf(1);
        PrintRenderer measure(probe, 9, labels());
        measure.layout(&page);
        rows = measure.rowsPerPage() + 1;
    }
    const PrintData data = dataOf(rows);
    PrintRenderer renderer(data, 9, labels());
    renderer.layout(&page);
    const int perPage = renderer.rowsPerPage();
    QVERIFY(perPage > 20); // 9 pt on A4 holds many more
    QCOMPARE(renderer.pageCount(), (rows + perPage - 1) / perPage);

    int nextRow = 0;
    for (int p = 0; p < renderer.pageCount(); ++p) {
        const QStringList texts = textsOf(paint(renderer, page, p));
        const QString footer = QStringLiteral("Page %1 / %2").arg(p + 1).arg(renderer.pageCount());
        for (const QString &expected :
             {QStringLiteral("Contacts"), QStringLiteral("Code"), QStringLiteral("Amount"),
              QStringLiteral("Operator: Fang    Account 001, year 2026"),
              QStringLiteral("Date: 2026-12-06"), footer})
            QVERIFY2(texts.contains(expected),
                     qPrintable(expected + " missing on page " + QString::number(p + 1)));
        // The page's rows, in order and each once.
        QStringList codes;
        for (const QString &text : texts) {
            if (text.startsWith(u'C') && text != QLatin1String("Contacts") && text != "Code")
                codes << text;
        }
        const int expectedCount = p + 1 < renderer.pageCount() ? perPage : rows - nextRow;
        QCOMPARE(codes.size(), expectedCount);
        for (const QString &code : codes)
            QCOMPARE(code,
                     QStringLiteral("C") + QString::number(nextRow++).rightJustified(5, u'0'));
    }
    QCOMPARE(nextRow, rows);
}

void tst_PrintRenderer::largerFontsHoldFewerRows()
{
    const PrintData data = dataOf(10);
    RecordingPage page;
    PrintRenderer small(data, 9, labels());
    small.layout(&page);
    PrintRenderer large(data, 18, labels());
    large.layout(&page);
    QVERIFY2(large.rowsPerPage() * 3 / 2 < small.rowsPerPage(),
             qPrintable(QStringLiteral("%1 rows at 18 pt, %2 at 9 pt")
                            .arg(large.rowsPerPage())
                            .arg(small.rowsPerPage())));
}

void tst_PrintRenderer::emptyListPrintsOnePageOfCaptions()
{
    const PrintData data = dataOf(0);
    RecordingPage page;
    PrintRenderer renderer(data, 9, labels());
    renderer.layout(&page);
    QCOMPARE(renderer.pageCount(), 1);
    const QStringList texts = textsOf(paint(renderer, page, 0));
    QVERIFY(texts.contains(QStringLiteral("Name")));
    QVERIFY(texts.contains(QStringLiteral("Page 1 / 1")));
}

void tst_PrintRenderer::longOperatorNameIsCutBeforeTheDate()
{
    PrintData data = dataOf(1);
    data.operatorName = QString(300, u'W');
    RecordingPage page;
    PrintRenderer renderer(data, 9, labels());
    renderer.layout(&page);
    QString operatorText;
    bool dateDrawn = false;
    for (const DrawnText &d : paint(renderer, page, 0)) {
        if (d.text.startsWith(QLatin1String("Operator: ")))
            operatorText = d.text;
        dateDrawn = dateDrawn || d.text == QLatin1String("Date: 2026-12-06");
    }
    // A third of the page and a bit holds far fewer than 300 W's at 9 pt.
    QVERIFY2(operatorText.endsWith(QChar(0x2026)), qPrintable(operatorText));
    QVERIFY(operatorText.size() < 150);
    QVERIFY(dateDrawn);
}

void tst_PrintRenderer::unrulyTextsStayInTheirCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cut");
    QTest::newRow("10,000 characters") << QString(10000, u'x') << true;
    QTest::newRow("10,000 Chinese characters") << QString(10000, QChar(0x8054)) << true;
    QTest::newRow("line breaks") << QStringLiteral("first\nsecond\r\nthird") << false;
    QTest::newRow("right to left") << QStringLiteral("שלום עולם") << false;
    QTest::newRow("surrogate pairs at the cut") << QString::fromUcs4(U"😀").repeated(6000) << true;
}

void tst_PrintRenderer::unrulyTextsStayInTheirCell()
{
    QFETCH(QString, text);
    QFETCH(bool, cut);
    PrintData data = dataOf(3);
    data.rows[1][1] = text;
    RecordingPage page;
    PrintRenderer renderer(data, 9, labels());
    renderer.layout(&page);
    QCOMPARE(renderer.pageCount(), 1);
    const QList<DrawnText> drawn = paint(renderer, page, 0);

    // The rows keep their spacing: the row after the odd cell sits where it would anyway.
    double y0 = -1, y1 = -1, y2 = -1;
    QList<DrawnText> oddCell;
    for (const DrawnText &d : drawn) {
        if (d.text == QLatin1String("C00000"))
            y0 = d.at.y();
        else if (d.text == QLatin1String("C00001"))
            y1 = d.at.y();
        else if (d.text == QLatin1String("C00002"))
            y2 = d.at.y();
        else if (y1 > 0 && qAbs(d.at.y() - y1) < (y1 - y0) / 2
                 && !d.text.startsWith(QLatin1String("A0")))
            oddCell.append(d);
    }
    QVERIFY(y0 > 0 && y1 > y0);
    QCOMPARE(y2 - y1, y1 - y0);
    QVERIFY(!oddCell.isEmpty());
    QString shown;
    for (const DrawnText &d : oddCell) {
        // One line: a fallback font may sit its baseline a little apart, never a row lower.
        QVERIFY2(qAbs(d.at.y() - y1) < (y1 - y0) / 4, qPrintable(QString::number(d.at.y())));
        shown += d.text;
    }
    QVERIFY2(shown.size() < 400, qPrintable(QString::number(shown.size())));
    QCOMPARE(shown.endsWith(QChar(0x2026)), cut);
    QVERIFY(!shown.contains(u'\n'));
}

int main(int argc, char *argv[])
{
    // Fonts need a GUI application, no window ever shows.
    QGuiApplication app(argc, argv);
    tst_PrintRenderer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printrenderer.moc"
