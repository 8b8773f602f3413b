#include "suite/controls/chart/SuiteChartControl.h"

#include "suite/controls/chart/ChartExport.h"
#include "suite/controls/chart/ChartScene.h"
#include "suite/controls/chart/ChartView.h"

#include <QFileDialog>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace perikon::suite::chart {
namespace {

constexpr double kZoomStep = 1.25;
// Below this the boxes cannot be read, so a fresh chart starts at full size instead.
constexpr double kSmallestReadable = 0.6;

QPushButton *button(const char *name, QWidget *parent, QHBoxLayout *row)
{
    auto *made = new QPushButton(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    row->addWidget(made);
    return made;
}

} // namespace

SuiteChartControl::SuiteChartControl(QWidget *parent)
    : ChartControl(parent)
    , m_scene(new QGraphicsScene(this))
    , m_view(new ChartView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    m_zoomIn = button("cmdZoomIn", this, row);
    m_zoomOut = button("cmdZoomOut", this, row);
    m_fit = button("cmdFit", this, row);
    m_saveAs = button("cmdSaveAs", this, row);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addWidget(m_view, 1);
    m_view->setScene(m_scene);
    setTexts(m_texts);

    connect(m_zoomIn, &QPushButton::clicked, this, &SuiteChartControl::zoomIn);
    connect(m_zoomOut, &QPushButton::clicked, this, &SuiteChartControl::zoomOut);
    connect(m_fit, &QPushButton::clicked, this, &SuiteChartControl::fitToView);
    connect(m_saveAs, &QPushButton::clicked, this, &SuiteChartControl::openSaveDialog);
    connect(m_view, &ChartView::zoomedByOperator, this, [this] { m_operatorZoomed = true; });
    connect(m_view, &ChartView::resized, this, [this] {
        if (!m_operatorZoomed)
            placeInitialView();
    });
}

SuiteChartControl::~SuiteChartControl() = default;

void SuiteChartControl::setTexts(const ChartTexts &texts)
{
    m_texts = texts;
    const std::pair<QPushButton *, QString> captions[] = {{m_zoomIn, texts.zoomIn},
                                                          {m_zoomOut, texts.zoomOut},
                                                          {m_fit, texts.fit},
                                                          {m_saveAs, texts.saveAs}};
    for (const auto &[shown, caption] : captions) {
        shown->setText(caption);
        // Some styles size a button to its text exactly; the caption keeps a margin.
        shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(caption) + 24);
    }
}

void SuiteChartControl::SetMode(int mode)
{
    m_mode = mode;
}

bool SuiteChartControl::LoadXml(const QString &xml)
{
    m_xml = xml;
    std::optional<QList<ChartEntry>> entries = ChartDocument::parse(xml);
    m_entries = entries ? *entries : QList<ChartEntry>();
    return entries.has_value();
}

void SuiteChartControl::Draw()
{
    // The organisation tree is the one picture this control draws, whatever the mode.
    const ChartScene::Drawn drawn = ChartScene::build(*m_scene, m_entries, font(), m_texts);
    m_boxes = drawn.boxes;
    m_firstRoot = drawn.firstRoot;
    if (m_boxes == 0) {
        auto *note = m_scene->addSimpleText(m_texts.empty, font());
        note->setBrush(QColor(0x55, 0x60, 0x6b));
        m_scene->setSceneRect(note->boundingRect().adjusted(-20, -20, 20, 20));
    }
    m_saveAs->setEnabled(m_boxes > 0);
    m_operatorZoomed = false;
    placeInitialView();
}

double SuiteChartControl::zoom() const
{
    return m_view->zoom();
}

void SuiteChartControl::zoomIn()
{
    m_view->zoomBy(kZoomStep);
    m_operatorZoomed = true;
}

void SuiteChartControl::zoomOut()
{
    m_view->zoomBy(1 / kZoomStep);
    m_operatorZoomed = true;
}

void SuiteChartControl::fitToView()
{
    const QRectF chart = m_scene->sceneRect();
    const QSizeF room = m_view->viewport()->size();
    if (chart.isEmpty() || room.isEmpty())
        return;
    m_view->setZoom(std::min(room.width() / chart.width(), room.height() / chart.height()));
    m_view->centerOn(chart.center());
    m_operatorZoomed = true;
}

void SuiteChartControl::placeInitialView()
{
    const QRectF chart = m_scene->sceneRect();
    const QSizeF room = m_view->viewport()->size();
    if (chart.isEmpty() || room.isEmpty())
        return;
    const double fit = std::min(room.width() / chart.width(), room.height() / chart.height());
    if (fit >= kSmallestReadable) {
        m_view->setZoom(std::min(fit, 1.0));
        m_view->centerOn(chart.center());
        return;
    }
    // Too big to read whole: full size, from the top of the first tree.
    m_view->setZoom(1.0);
    m_view->centerOn(m_firstRoot.x(), chart.top() + room.height() / 2);
}

void SuiteChartControl::openSaveDialog()
{
    if (!m_saveDialog) {
        m_saveDialog = new QFileDialog(this, m_texts.saveTitle);
        m_saveDialog->setObjectName(QStringLiteral("ChartSaveDialog"));
        m_saveDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_saveDialog->setNameFilters(m_texts.fileTypes.split(QStringLiteral(";;")));
        m_saveDialog->setDefaultSuffix(QStringLiteral("png"));
        connect(m_saveDialog, &QFileDialog::fileSelected, this,
                [this](const QString &path) { saveAs(path); });
    }
    m_saveDialog->open();
}

bool SuiteChartControl::saveAs(const QString &path)
{
    QString error;
    if (ChartExport::save(*m_scene, path, m_texts.unknownType, error))
        return true;
    if (m_tell)
        m_tell(m_texts.saveFailed.arg(path, error));
    return false;
}

} // namespace perikon::suite::chart
