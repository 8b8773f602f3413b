#pragma once

// Fills a graphics scene with the organisation tree of chart entries: a box per entry at its
// tidy-layout place, and from every superior one connector down to its subordinates.

#include "suite/controls/chart/ChartDocument.h"
#include "suite/controls/chart/ChartTexts.h"

#include <QFont>
#include <QList>
#include <QPointF>

class QGraphicsScene;

namespace perikon::suite::chart {

class ChartScene
{
public:
    static constexpr double kHorizontalGap = 24;
    static constexpr double kVerticalGap = 48;
    static constexpr double kMargin = 24;

    struct Drawn
    {
        int boxes = 0;
        QPointF firstRoot; // the top centre of the first tree's root box
    };

    // Clears `scene` first.
    static Drawn build(QGraphicsScene &scene, const QList<ChartEntry> &entries, const QFont &font,
                       const ChartTexts &texts);
};

} // namespace perikon::suite::chart
