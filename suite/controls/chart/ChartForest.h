#pragma once

// Who hangs under whom in the chart. Every entry appears exactly once. Roots are the entries
// without a superior, with a superior not in the chart, or that are their own superior; a chain
// of superiors that closes on itself is cut at its lowest code, which becomes a root and is
// marked. Linear in the number of entries, with no recursion.

#include "suite/controls/chart/ChartDocument.h"

#include <QList>

#include <vector>

namespace perikon::suite::chart {

class ChartForest
{
public:
    explicit ChartForest(const QList<ChartEntry> &entries);

    int size() const { return int(m_parent.size()); }
    // -1 for a root.
    const std::vector<int> &parents() const { return m_parent; }
    int parent(int entry) const { return m_parent[size_t(entry)]; }
    // Where a superior chain looped and the entry was put at the top.
    bool isCycleCut(int entry) const { return m_cycleCut[size_t(entry)]; }

private:
    std::vector<int> m_parent;
    std::vector<bool> m_cycleCut;
};

} // namespace perikon::suite::chart
