#include "suite/controls/chart/ChartForest.h"

#include <QHash>

namespace perikon::suite::chart {

ChartForest::ChartForest(const QList<ChartEntry> &entries)
    : m_parent(size_t(entries.size()), -1)
    , m_cycleCut(size_t(entries.size()), false)
{
    const int count = int(entries.size());
    QHash<QString, int> indexOf;
    indexOf.reserve(count);
    // A code given twice: the first one is the superior.
    for (int i = count - 1; i >= 0; --i)
        indexOf.insert(entries[i].code, i);
    for (int i = 0; i < count; ++i) {
        const QString &superior = entries[i].superior;
        if (ChartDocument::isNone(superior))
            continue;
        const int above = indexOf.value(superior, -1);
        if (above != i)
            m_parent[size_t(i)] = above;
    }

    // Each entry has at most one parent, so what does not reach a root lies on a loop or hangs
    // below one. Walk up from every entry once; a walk that meets itself found a loop.
    enum : unsigned char { Unseen, OnWalk, Done };
    std::vector<unsigned char> state(size_t(count), Unseen);
    std::vector<int> walk;
    for (int start = 0; start < count; ++start) {
        walk.clear();
        int at = start;
        while (at >= 0 && state[size_t(at)] == Unseen) {
            state[size_t(at)] = OnWalk;
            walk.push_back(at);
            at = m_parent[size_t(at)];
        }
        if (at >= 0 && state[size_t(at)] == OnWalk) {
            // The loop is the part of the walk from `at` on; cut it at its lowest code.
            int lowest = at;
            for (int member = m_parent[size_t(at)]; member != at;
                 member = m_parent[size_t(member)]) {
                if (entries[member].code < entries[lowest].code)
                    lowest = member;
            }
            m_parent[size_t(lowest)] = -1;
            m_cycleCut[size_t(lowest)] = true;
        }
        for (const int seen : walk)
            state[size_t(seen)] = Done;
    }
}

} // namespace perikon::suite::chart
