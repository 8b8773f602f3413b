#pragma once

// The chart XML as the chart control reads it: one entry per Contract element, in document
// order.

#include <QList>
#include <QString>

#include <optional>

namespace perikon::suite::chart {

struct ChartEntry
{
    QString code;
    QString name;
    QString duty;     // "NULL" or empty: none
    QString superior; // "NULL" or empty: none
};

class ChartDocument
{
public:
    // nullopt when the text is not a chart document (no Chart root, or not XML).
    static std::optional<QList<ChartEntry>> parse(const QString &xml);
    // Whether a duty or superior value stands for none.
    static bool isNone(const QString &value);
};

} // namespace perikon::suite::chart
