#include "suite/controls/chart/ChartForest.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace perikon::suite::chart {
namespace {

// The entries' codes, found by text. Codes and superiors are copied once, in entry order, into
// one buffer with a hash each; the table and the comparisons then read that buffer alone. On a
// big chart the entries' own strings lie scattered over more memory than the caches hold, and
// going back to them at random for every look-up cost more than the copy.
class CodeIndex
{
public:
    explicit CodeIndex(const QList<ChartEntry> &entries)
        : m_code(size_t(entries.size()))
        , m_superior(size_t(entries.size()))
        , m_mask(std::bit_ceil(size_t(entries.size()) * 2 + 2) - 1)
        , m_slots(m_mask + 1, -1)
    {
        size_t length = 0;
        for (const ChartEntry &e : entries)
            length += size_t(e.code.size()) + size_t(e.superior.size());
        m_text = std::make_unique_for_overwrite<char16_t[]>(length);
        size_t used = 0;
        const auto keep = [&](const QString &text) {
            const size_t size = size_t(text.size());
            char16_t *at = m_text.get() + used;
            std::copy_n(reinterpret_cast<const char16_t *>(text.constData()), size, at);
            used += size;
            return Text{hashOf(at, size), quint32(at - m_text.get()), quint32(size)};
        };
        for (size_t i = 0; i < m_code.size(); ++i) {
            const ChartEntry &e = entries[qsizetype(i)];
            m_code[i] = keep(e.code);
            if (!ChartDocument::isNone(e.superior))
                m_superior[i] = keep(e.superior);
        }
        // A code given twice: the first one is the superior.
        for (size_t i = 0; i < m_code.size(); ++i) {
            int &slot = m_slots[slotOf(m_code[i])];
            if (slot < 0)
                slot = int(i);
        }
    }

    // The entry whose code is entry i's superior; -1 when it has none or no entry has that code.
    int superiorOf(int i) const
    {
        const Text &superior = m_superior[size_t(i)];
        return superior.hash == kNone ? -1 : m_slots[slotOf(superior)];
    }

private:
    // A text in the buffer. Hashes of texts are odd; 0 marks no superior.
    struct Text
    {
        quint32 hash = kNone;
        quint32 at = 0;
        quint32 size = 0;
    };
    static constexpr quint32 kNone = 0;

    // FNV-1a over the UTF-16 units: short codes hash in a few cycles, and the look-up compares
    // the texts anyway, so a collision costs a comparison, never a wrong superior.
    static quint32 hashOf(const char16_t *text, size_t size)
    {
        quint64 hash = 14695981039346656037ull;
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ text[i]) * 1099511628211ull;
        return quint32(hash ^ (hash >> 32)) | 1u;
    }

    bool same(const Text &a, const Text &b) const
    {
        return a.hash == b.hash && a.size == b.size
               && std::equal(m_text.get() + a.at, m_text.get() + a.at + a.size,
                             m_text.get() + b.at);
    }

    // The slot holding an entry with the text as its code, or the empty slot where it would go.
    size_t slotOf(const Text &text) const
    {
        for (size_t at = text.hash & m_mask;; at = (at + 1) & m_mask) {
            const int entry = m_slots[at];
            if (entry < 0 || same(m_code[size_t(entry)], text))
                return at;
        }
    }

    std::unique_ptr<char16_t[]> m_text;
    std::vector<Text> m_code;
    std::vector<Text> m_superior;
    const size_t m_mask;
    std::vector<int> m_slots; // entry numbers, -1 for empty
};

} // namespace

ChartForest::ChartForest(const QList<ChartEntry> &entries)
    : m_parent(size_t(entries.size()), -1)
    , m_cycleCut(size_t(entries.size()), false)
{
    const int count = int(entries.size());
    {
        const CodeIndex index(entries);
        for (int i = 0; i < count; ++i) {
            const int above = index.superiorOf(i);
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
