#include "suite/controls/chart/ChartScene.h"

#include "suite/controls/chart/ChartBoxItem.h"
#include "suite/controls/chart/ChartForest.h"
#include "suite/controls/chart/ChartLayout.h"

#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPainterPath>
#include <QPen>

#include <vector>

namespace perikon::suite::chart {
namespace {

// Tool tips show the whole texts, within reason.
QString tipText(const QString &text)
{
    constexpr qsizetype kLongest = 300;
    return text.size() > kLongest ? text.left(kLongest) + u'…' : text;
}

} // namespace

ChartScene::Drawn ChartScene::build(QGraphicsScene &scene, const QList<ChartEntry> &entries,
                                    const QFont &font, const ChartTexts &texts)
{
    scene.clear();
    const ChartForest forest(entries);
    const std::vector<ChartLayout::Position> places = ChartLayout::layout(forest.parents());
    const double columnWidth = ChartBoxItem::kWidth + kHorizontalGap;
    const double rowHeight = ChartBoxItem::kHeight + kVerticalGap;
    const auto topLeft = [&](int i) {
        const ChartLayout::Position &p = places[size_t(i)];
        return QPointF(kMargin + p.x * columnWidth, kMargin + p.depth * rowHeight);
    };

    for (int i = 0; i < forest.size(); ++i) {
        const ChartEntry &entry = entries[i];
        const QString duty = ChartDocument::isNone(entry.duty) ? QString() : entry.duty;
        auto *box = new ChartBoxItem(entry.name, duty, forest.isCycleCut(i), font);
        box->setPos(topLeft(i));
        QString tip = tipText(entry.name) + u'\n' + tipText(duty) + u'\n' + tipText(entry.code);
        if (forest.isCycleCut(i))
            tip += u'\n' + texts.loopNote;
        box->setToolTip(tip);
        box->setData(0, entry.code);
        scene.addItem(box);
    }

    // One connector per superior: down from the box, across above the subordinates, down into
    // each of them.
    std::vector<std::vector<int>> below(size_t(forest.size()));
    for (int i = 0; i < forest.size(); ++i) {
        if (forest.parent(i) >= 0)
            below[size_t(forest.parent(i))].push_back(i);
    }
    const QPen linePen(QColor(0x7a, 0x8b, 0x9c), 1.2);
    for (int p = 0; p < forest.size(); ++p) {
        const std::vector<int> &children = below[size_t(p)];
        if (children.empty())
            continue;
        const QPointF from = topLeft(p) + QPointF(ChartBoxItem::kWidth / 2, ChartBoxItem::kHeight);
        const double busY = from.y() + kVerticalGap / 2;
        QPainterPath path(from);
        path.lineTo(from.x(), busY);
        double left = from.x();
        double right = from.x();
        for (const int c : children) {
            const QPointF to = topLeft(c) + QPointF(ChartBoxItem::kWidth / 2, 0);
            left = std::min(left, to.x());
            right = std::max(right, to.x());
            path.moveTo(to.x(), busY);
            path.lineTo(to);
        }
        path.moveTo(left, busY);
        path.lineTo(right, busY);
        auto *connector = scene.addPath(path, linePen);
        connector->setZValue(-1);
    }
    const QRectF drawn = scene.itemsBoundingRect();
    scene.setSceneRect(drawn.adjusted(-kMargin, -kMargin, kMargin, kMargin));
    Drawn result;
    result.boxes = forest.size();
    for (int i = 0; i < forest.size(); ++i) {
        if (forest.parent(i) < 0) {
            result.firstRoot = topLeft(i) + QPointF(ChartBoxItem::kWidth / 2, 0);
            break;
        }
    }
    return result;
}

} // namespace perikon::suite::chart
