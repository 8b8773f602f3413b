#pragma once

#include <QGraphicsView>

namespace perikon::suite::chart {

// The chart's view: dragged with the mouse, zoomed by the wheel while Ctrl is held (around the
// pointer), scrolled by the wheel otherwise.
class ChartView : public QGraphicsView
{
    Q_OBJECT
public:
    static constexpr double kSmallest = 0.02;
    static constexpr double kLargest = 4.0;

    explicit ChartView(QWidget *parent = nullptr);

    double zoom() const;
    // Zooms by `factor` within the limits, keeping the point under `anchor` in place.
    void zoomBy(double factor, ViewportAnchor anchor = AnchorViewCenter);
    void setZoom(double zoom);

signals:
    // The operator zoomed the view himself.
    void zoomedByOperator();
    void resized();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace perikon::suite::chart
