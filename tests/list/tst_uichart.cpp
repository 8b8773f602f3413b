// The relationship chart window as a clerk meets it: frmUIChart loads its caption, texts and
// help, and its chart control "QzChart1" draws every contact once, cut to its box, zooms, fits,
// scrolls and saves the picture. The control is the suite's, created by name as the host does.

#include "perikon/host/contract/ChartControl.h"
#include "perikon/list/ChartXml.h"
#include "perikon/list/frmUIChart.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/chart/ChartBoxItem.h"
#include "suite/controls/chart/ChartView.h"
#include "suite/controls/chart/SuiteChartControl.h"
#include "support/FailOnWarnings.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

using namespace perikon;
using list::ChartContact;
using suite::chart::ChartBoxItem;
using suite::chart::ChartView;
using suite::chart::SuiteChartControl;

namespace {

const QString kLongName = QString(10000, u'长');

QString chartOf(const QList<ChartContact> &contacts)
{
    return list::ChartXml::build(QStringLiteral("Organization Chart"), contacts);
}

// A boss, two managers, staff under them, a loop of two, an odd name or two.
QString mixedChart()
{
    return chartOf({
        {"A01", "王小明", "总经理", "NULL"},
        {"A02", "O'Neil & <Sons> \"Ltd\"", "销售经理", "A01"},
        {"A03", kLongName, "项目经理", "A01"},
        {"A04", "Li Si", "NULL", "A02"},
        {"A05", "Zhao Liu", "", "A02"},
        {"A06", "Sun Qi", "行政主管", "A03"},
        {"L1", "Loop One", "NULL", "L2"},
        {"L2", "Loop Two", "NULL", "L1"},
    });
}

QList<ChartBoxItem *> boxesOf(SuiteChartControl *chart)
{
    QList<ChartBoxItem *> boxes;
    for (QGraphicsItem *item : chart->scene()->items())
        if (auto *box = dynamic_cast<ChartBoxItem *>(item))
            boxes << box;
    return boxes;
}

ChartBoxItem *boxOf(SuiteChartControl *chart, const QString &code)
{
    for (ChartBoxItem *box : boxesOf(chart))
        if (box->data(0).toString() == code)
            return box;
    return nullptr;
}

} // namespace

class tst_UiChart : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadsCaptionTextsAndChart_data();
    void loadsCaptionTextsAndChart();
    void everyContactIsOneBoxCutToItsSize();
    void freshChartIsInView_data();
    void freshChartIsInView();
    void zoomsByButtonsAndCtrlWheel();
    void fitShowsTheWholeChart();
    void savesByFileSuffix_data();
    void savesByFileSuffix();
    void unknownSuffixOrFolderIsReported();
    void textThatIsNoChartShowsNothing();
    void exitClosesTheWindow();

private:
    std::unique_ptr<frmUIChart> open(const QString &xml);
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_UiChart::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_UiChart::init()
{
    testing::failOnUnexpectedWarnings();
    m_login = std::make_unique<suite::SuiteLogin>();
    m_login->setLanguageRegion(QStringLiteral("en-US"));
    gLogin = m_login.get();
    suite::MessageBoxScript::takeShownMessages();
}

void tst_UiChart::cleanup()
{
    gLogin = nullptr;
    m_login.reset();
}

std::unique_ptr<frmUIChart> tst_UiChart::open(const QString &xml)
{
    auto window = std::make_unique<frmUIChart>();
    window->setReportXml(xml);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

void tst_UiChart::loadsCaptionTextsAndChart_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("zoomIn");
    QTest::addColumn<QString>("exit");
    QTest::newRow("en-US") << "en-US"
                           << "Contact Relationship Chart"
                           << "Zoom In"
                           << "Exit";
    QTest::newRow("zh-CN") << "zh-CN"
                           << "联系人关系图"
                           << "放大"
                           << "退出";
}

void tst_UiChart::loadsCaptionTextsAndChart()
{
    QFETCH(QString, region);
    QFETCH(QString, caption);
    QFETCH(QString, zoomIn);
    QFETCH(QString, exit);
    m_login->setLanguageRegion(region);
    const QString xml = mixedChart();
    const auto window = open(xml);
    QVERIFY(window);
    QCOMPARE(window->objectName(), QStringLiteral("frmUIChart"));
    QVERIFY(window->isModal());
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->helpContextId(), 90100189);
    auto *chart = window->findChild<ChartControl *>(QStringLiteral("QzChart1"));
    QVERIFY(chart);
    QCOMPARE(chart->property("text").toString(), xml);
    QCOMPARE(chart->property("value").toInt(), 8);
    QCOMPARE(window->ReportXml(), xml);
    QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("cmdZoomIn"))->text(), zoomIn);
    QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("cmdExit"))->text(), exit);
    for (const char *name : {"cmdZoomOut", "cmdFit", "cmdSaveAs"})
        QVERIFY2(window->findChild<QPushButton *>(QString::fromLatin1(name)), name);
    QVERIFY(window->findChild<ChartView *>(QStringLiteral("ChartView")));

    // A new chart written into the open window is drawn at once.
    window->setReportXml(chartOf({{"Z1", "Only", "NULL", "NULL"}}));
    QCOMPARE(chart->property("value").toInt(), 1);

    if (const QString folder = qEnvironmentVariable("PERIKON_GRAB_DIR"); !folder.isEmpty()) {
        window->setReportXml(xml);
        window->grab().save(folder + QStringLiteral("/frmUIChart-") + region
                            + QStringLiteral(".png"));
    }
}

void tst_UiChart::everyContactIsOneBoxCutToItsSize()
{
    const auto window = open(mixedChart());
    QVERIFY(window);
    auto *chart = qobject_cast<SuiteChartControl *>(window->chart());
    QVERIFY(chart);
    const QList<ChartBoxItem *> boxes = boxesOf(chart);
    QCOMPARE(boxes.size(), 8);
    QStringList codes;
    for (ChartBoxItem *box : boxes)
        codes << box->data(0).toString();
    codes.sort();
    QCOMPARE(codes, (QStringList{"A01", "A02", "A03", "A04", "A05", "A06", "L1", "L2"}));

    QCOMPARE(boxOf(chart, "A01")->shownName(), QStringLiteral("王小明"));
    QCOMPARE(boxOf(chart, "A01")->shownDuty(), QStringLiteral("总经理"));
    QCOMPARE(boxOf(chart, "A04")->shownDuty(), QString()); // NULL is no duty to show
    ChartBoxItem *quoted = boxOf(chart, "A02");
    QVERIFY(QStringLiteral("O'Neil & <Sons> \"Ltd\"").startsWith(quoted->shownName().chopped(1))
            || quoted->shownName() == QStringLiteral("O'Neil & <Sons> \"Ltd\""));
    ChartBoxItem *longName = boxOf(chart, "A03");
    QVERIFY(longName->shownName().endsWith(u'…'));
    QVERIFY(longName->shownName().size() < 40);
    QVERIFY(longName->toolTip().startsWith(QString(200, u'长')));

    // The loop is cut at its lowest code, which stands at the top with the mark.
    QVERIFY(boxOf(chart, "L1")->isCycleCut());
    QVERIFY(!boxOf(chart, "L2")->isCycleCut());
    QVERIFY(boxOf(chart, "L2")->pos().y() > boxOf(chart, "L1")->pos().y());
    QCOMPARE(boxOf(chart, "L1")->pos().y(), boxOf(chart, "A01")->pos().y());
    // Subordinates sit a level below their superior.
    QVERIFY(boxOf(chart, "A06")->pos().y() > boxOf(chart, "A03")->pos().y());
    QCOMPARE(boxOf(chart, "A04")->pos().y(), boxOf(chart, "A06")->pos().y());
}

void tst_UiChart::freshChartIsInView_data()
{
    QTest::addColumn<int>("staff");
    QTest::newRow("small chart, shown whole") << 3;
    QTest::newRow("wide chart, shown from the top") << 300;
}

void tst_UiChart::freshChartIsInView()
{
    QFETCH(int, staff);
    QList<ChartContact> contacts{{"B000", "Boss", "总经理", "NULL"}};
    for (int i = 1; i <= staff; ++i)
        contacts.append({QStringLiteral("B%1").arg(i, 3, 10, QLatin1Char('0')),
                         QStringLiteral("Staff %1").arg(i), "NULL", "B000"});
    const auto window = open(chartOf(contacts));
    QVERIFY(window);
    auto *chart = qobject_cast<SuiteChartControl *>(window->chart());
    ChartView *view = chart->view();
    const QRect seen = view->viewport()->rect();
    const QRect boss = view->mapFromScene(boxOf(chart, "B000")->sceneBoundingRect()).boundingRect();
    QVERIFY2(seen.contains(boss),
             qPrintable(QStringLiteral("boss at %1,%2").arg(boss.x()).arg(boss.y())));
    // Readable: never shrunk below the size where names can be read.
    QVERIFY(chart->zoom() >= 0.6);
    QVERIFY(chart->zoom() <= 1.0);
}

void tst_UiChart::zoomsByButtonsAndCtrlWheel()
{
    const auto window = open(mixedChart());
    QVERIFY(window);
    auto *chart = qobject_cast<SuiteChartControl *>(window->chart());
    const double start = chart->zoom();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdZoomIn")),
                      Qt::LeftButton);
    QCOMPARE(chart->zoom(), start * 1.25);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdZoomOut")),
                      Qt::LeftButton);
    QVERIFY(qAbs(chart->zoom() - start) < 1e-9);

    QWidget *viewport = chart->view()->viewport();
    const QPointF at = viewport->rect().center();
    QWheelEvent ctrlWheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &ctrlWheel);
    QVERIFY(chart->zoom() > start * 1.1);
    const double zoomed = chart->zoom();
    QWheelEvent plainWheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &plainWheel);
    QCOMPARE(chart->zoom(), zoomed); // the plain wheel scrolls
    // Zooming stops at its limits however often the operator asks.
    for (int i = 0; i < 60; ++i)
        chart->zoomOut();
    QCOMPARE(chart->zoom(), ChartView::kSmallest);
}

void tst_UiChart::fitShowsTheWholeChart()
{
    QList<ChartContact> contacts{{"B000", "Boss", "总经理", "NULL"}};
    for (int i = 1; i <= 80; ++i)
        contacts.append({QStringLiteral("B%1").arg(i, 3, 10, QLatin1Char('0')),
                         QStringLiteral("Staff %1").arg(i), "NULL", "B000"});
    const auto window = open(chartOf(contacts));
    QVERIFY(window);
    auto *chart = qobject_cast<SuiteChartControl *>(window->chart());
    ChartView *view = chart->view();
    QVERIFY(!view->viewport()->rect().contains(
        view->mapFromScene(chart->scene()->sceneRect()).boundingRect()));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdFit")), Qt::LeftButton);
    const QRect whole = view->mapFromScene(chart->scene()->sceneRect()).boundingRect();
    QVERIFY(view->viewport()->rect().adjusted(-2, -2, 2, 2).contains(whole));
}

void tst_UiChart::savesByFileSuffix_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("starts");
    QTest::newRow("png") << "chart.png" << QByteArray("\x89PNG");
    QTest::newRow("suffix in capitals") << "chart.PNG" << QByteArray("\x89PNG");
    QTest::newRow("svg") << "chart.svg" << QByteArray("<?xml");
    QTest::newRow("pdf") << "chart.pdf" << QByteArray("%PDF");
}

void tst_UiChart::savesByFileSuffix()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, starts);
    const auto window = open(mixedChart());
    QVERIFY(window);
    auto *chart = qobject_cast<SuiteChartControl *>(window->chart());
    QTemporaryDir folder;
    const QString path = folder.filePath(file);
    QVERIFY(chart->saveAs(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY2(bytes.startsWith(starts), bytes.left(16).constData());
    if (starts.startsWith("\x89PNG")) {
        // The picture holds the chart: the whole scene, boxes drawn on white.
        const QImage image = QImage::fromData(bytes);
        QCOMPARE(image.size(), chart->scene()->sceneRect().size().toSize());
        int inked = 0;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                inked += image.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY(inked > 100);
    }
    if (starts == "<?xml") { // the names travel as text, escaped
        QVERIFY(bytes.contains("王小明"));
        QVERIFY(bytes.contains("&amp; &lt;Sons&gt;"));
    }
    QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
}

void tst_UiChart::unknownSuffixOrFolderIsReported()
{
    const auto window = open(mixedChart());
    QVERIFY(window);
    auto *chart = qobject_cast<SuiteChartControl *>(window->chart());
    QTemporaryDir folder;
    QVERIFY(!chart->saveAs(folder.filePath(QStringLiteral("chart.txt"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("chart.txt"))));
    QVERIFY(!chart->saveAs(folder.filePath(QStringLiteral("missing/chart.pdf"))));
    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[0].contains(QStringLiteral(".png, .svg or .pdf")), qPrintable(shown[0]));
    QVERIFY2(shown[1].contains(QStringLiteral("missing/chart.pdf")), qPrintable(shown[1]));
}

void tst_UiChart::textThatIsNoChartShowsNothing()
{
    const auto window = open(QStringLiteral("<Chart><Picture><ReportTrees><Report><Contract"));
    QVERIFY(window);
    auto *chart = window->chart();
    QCOMPARE(chart->value(), 0);
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("cmdSaveAs"))->isEnabled());
    QVERIFY(!chart->LoadXml(QStringLiteral("<Other/>")));
    QVERIFY(chart->LoadXml(chartOf({})));
    chart->Draw();
    QCOMPARE(chart->value(), 0);
}

void tst_UiChart::exitClosesTheWindow()
{
    const auto window = open(mixedChart());
    QVERIFY(window);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(tst_UiChart)
#include "tst_uichart.moc"
