#include "suite/controls/chart/ChartForest.h"

#include <QHashFunctions>

#include <bit>

namespace perikon::suite::chart {
namespace {

// The entries' codes, found by text: an open-addressing table of entry numbers that keeps each
// code's hash beside its number, so a probe reads an entry's text only when the hashes agree.
// Built and read once per chart, it holds no copies of the texts.
class CodeIndex
{
public:
    explicit CodeIndex(const QList<ChartEntry> &entries)
        : m_entries(entries)
        , m_mask(std::bit_ceil(size_t(entries.size()) * 2 + 2) - 1)
        , m_slots(m_mask + 1)
    {
        // A code given twice: the first one is the superior.
        for (int i = 0; i < int(entries.size()); ++i) {
            const unsigned hash = unsigned(qHash(entries[i].code));
            Slot &slot = m_slots[slotOf(entries[i].code, hash)];
            if (slot.entry < 0)
                slot = {i, hash};
        }
    }

    // -1 when no entry has the code.
    int find(const QString &code) const
    {
        return m_slots[slotOf(code, unsigned(qHash(code)))].entry;
    }

private:
    struct Slot
    {
        int entry = -1;
        unsigned hash = 0;
    };

    // The slot holding the code, or the empty slot where it would go.
    size_t slotOf(const QString &code, unsigned hash) const
    {
        for (size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
            const Slot &slot = m_slots[at];
            if (slot.entry < 0 || (slot.hash == hash && m_entries[slot.entry].code == code))
                return at;
        }
    }

    const QList<ChartEntry> &m_entries;
    const size_t m_mask;
    std::vector<Slot> m_slots;
};

} // namespace

ChartForest::ChartForest(const QList<ChartEntry> &entries)
    : m_parent(size_t(entries.size()), -1)
    , m_cycleCut(size_t(entries.size()), false)
{
    const int count = int(entries.size());
    {
        const CodeIndex indexOf(entries);
        for (int i = 0; i < count; ++i) {
            const QString &superior = entries[i].superior;
            if (ChartDocument::isNone(superior))
                continue;
            const int above = indexOf.find(superior);
            if (above != i)
                m_parent[size_t(i)] = above;
        }
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
