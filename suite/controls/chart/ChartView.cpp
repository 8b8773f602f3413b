#include "suite/controls/chart/ChartView.h"

#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace perikon::suite::chart {

ChartView::ChartView(QWidget *parent)
    : QGraphicsView(parent)
{
    setObjectName(QStringLiteral("ChartView"));
    setDragMode(ScrollHandDrag);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setViewportUpdateMode(SmartViewportUpdate);
    setBackgroundBrush(Qt::white);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

double ChartView::zoom() const
{
    return transform().m11();
}

void ChartView::setZoom(double zoom)
{
    const double bounded = std::clamp(zoom, kSmallest, kLargest);
    setTransform(QTransform::fromScale(bounded, bounded));
}

void ChartView::zoomBy(double factor, ViewportAnchor anchor)
{
    const ViewportAnchor kept = transformationAnchor();
    setTransformationAnchor(anchor);
    const double bounded = std::clamp(zoom() * factor, kSmallest, kLargest);
    scale(bounded / zoom(), bounded / zoom());
    setTransformationAnchor(kept);
}

void ChartView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) {
        zoomBy(std::pow(1.15, steps), AnchorUnderMouse);
        emit zoomedByOperator();
    }
    event->accept();
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    emit resized();
}

} // namespace perikon::suite::chart
