#pragma once

#include "perikon/host/contract/ChartControl.h"
#include "suite/controls/chart/ChartDocument.h"
#include "suite/controls/chart/ChartTexts.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <functional>

class QFileDialog;
class QGraphicsScene;
class QPushButton;

namespace perikon::suite::chart {

class ChartView;

// The suite's chart control ("ChartControl"): the organisation tree of the chart XML in a
// view the operator drags, zooms (Ctrl+wheel, "cmdZoomIn", "cmdZoomOut"), fits ("cmdFit") and
// saves as PNG, SVG or PDF ("cmdSaveAs", in the dialog "ChartSaveDialog").
class SuiteChartControl : public ChartControl
{
    Q_OBJECT
public:
    using MessageSink = std::function<void(const QString &)>;

    explicit SuiteChartControl(QWidget *parent = nullptr);
    ~SuiteChartControl() override;

    void SetMode(int mode) override;
    bool LoadXml(const QString &xml) override;
    void Draw() override;
    QString text() const override { return m_xml; }
    int value() const override { return m_boxes; }

    // The host's words, and where messages to the operator go.
    void setTexts(const ChartTexts &texts);
    void setMessageSink(MessageSink sink) { m_tell = std::move(sink); }

    int mode() const { return m_mode; }
    double zoom() const;
    void zoomIn();
    void zoomOut();
    void fitToView();
    // What the save dialog does with the file chosen; false (and the operator told) when the
    // file cannot be written or its suffix names no format.
    bool saveAs(const QString &path);

    ChartView *view() const { return m_view; }
    QGraphicsScene *scene() const { return m_scene; }

private:
    void openSaveDialog();
    // A fresh chart: the whole of it when it fits at a readable size, else its top at full size.
    void placeInitialView();

    ChartTexts m_texts;
    MessageSink m_tell;
    QGraphicsScene *m_scene;
    ChartView *m_view;
    QPushButton *m_zoomIn;
    QPushButton *m_zoomOut;
    QPushButton *m_fit;
    QPushButton *m_saveAs;
    QFileDialog *m_saveDialog = nullptr;
    QString m_xml;
    QList<ChartEntry> m_entries;
    int m_mode = 4;
    int m_boxes = 0;
    QPointF m_firstRoot;
    bool m_operatorZoomed = false;
};

} // namespace perikon::suite::chart
