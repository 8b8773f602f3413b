#include "suite/services/GridSortOrder.h"

#include <QCollator>
#include <QDate>
#include <QHash>
#include <QTime>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <numeric>
#include <string>
#include <utility>

namespace perikon::suite {
namespace {

bool isBlank(QStringView text)
{
    return text.trimmed().isEmpty();
}

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

// Two or four digits at `at` as a number; -1 when they are not all digits.
int digitsAt(QStringView text, qsizetype at, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar ch = text[at + i];
        if (!isDigit(ch))
            return -1;
        value = value * 10 + (ch.unicode() - u'0');
    }
    return value;
}

// Numbers and dates as unsigned keys in the same order, so a radix sort can order them.
std::uint64_t orderedKey(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value); // -0 is 0
    return bits & (std::uint64_t(1) << 63) ? ~bits : bits | (std::uint64_t(1) << 63);
}

std::uint64_t orderedKey(qint64 value)
{
    return std::uint64_t(value) ^ (std::uint64_t(1) << 63);
}

// A least-significant-byte radix sort of the filled cells' keys, blank cells apart (first
// ascending, last descending). Each pass is stable, so equal keys keep their order in either
// direction; bytes every key shares are skipped, which leaves two or three passes for a page of
// dates or amounts.
std::vector<int> radixOrder(const std::vector<std::uint64_t> &keys, const std::vector<char> &blank,
                            SortDirection direction)
{
    struct Entry
    {
        std::uint64_t key;
        int position;
    };
    const bool ascending = direction == SortDirection::Ascending;
    std::vector<Entry> entries;
    std::vector<int> blanks;
    entries.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (blank[i])
            blanks.push_back(int(i));
        else
            entries.push_back({ascending ? keys[i] : ~keys[i], int(i)});
    }
    std::array<std::array<int, 256>, 8> counts{};
    for (const Entry &entry : entries) {
        for (size_t b = 0; b < 8; ++b)
            ++counts[b][(entry.key >> (8 * b)) & 0xFF];
    }
    std::vector<Entry> scratch(entries.size());
    for (size_t b = 0; b < 8; ++b) {
        std::array<int, 256> &count = counts[b];
        if (std::find(count.begin(), count.end(), int(entries.size())) != count.end())
            continue; // every key has the same byte here
        int start = 0;
        for (int &c : count)
            start += std::exchange(c, start);
        for (const Entry &entry : entries)
            scratch[size_t(count[(entry.key >> (8 * b)) & 0xFF]++)] = entry;
        entries.swap(scratch);
    }
    std::vector<int> positions;
    positions.reserve(keys.size());
    if (ascending)
        positions.insert(positions.end(), blanks.begin(), blanks.end());
    for (const Entry &entry : entries)
        positions.push_back(entry.position);
    if (!ascending)
        positions.insert(positions.end(), blanks.begin(), blanks.end());
    return positions;
}

// A counting sort over ranks 0..rankCount-1 (blank cells apart): stable by construction, and no
// comparisons at all.
std::vector<int> rankOrder(const std::vector<int> &ranks, int rankCount,
                           const std::vector<char> &blank, SortDirection direction)
{
    const bool ascending = direction == SortDirection::Ascending;
    // Bucket 0 holds the blanks when ascending, the last bucket when descending.
    const auto bucketOf = [&](size_t i) {
        if (blank[i])
            return ascending ? 0 : rankCount;
        return ascending ? ranks[i] + 1 : rankCount - 1 - ranks[i];
    };
    std::vector<int> starts(size_t(rankCount) + 2, 0);
    for (size_t i = 0; i < ranks.size(); ++i)
        ++starts[size_t(bucketOf(i)) + 1];
    for (size_t b = 1; b < starts.size(); ++b)
        starts[b] += starts[b - 1];
    std::vector<int> positions(ranks.size());
    for (size_t i = 0; i < ranks.size(); ++i)
        positions[size_t(starts[size_t(bucketOf(i))]++)] = int(i);
    return positions;
}

// A text made of ASCII letters and digits only. Chinese and English collations order such texts
// alike: digits before letters, letters without regard to case, then lower case before upper case
// letter by letter; so they sort without asking the collator for a key.
bool isPlainLatin(QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

bool plainLatinLanguage(const QLocale &language)
{
    return language.language() == QLocale::Chinese || language.language() == QLocale::English;
}

// A plain Latin text folded to lower case, as bytes.
std::string foldedLatin(QStringView text)
{
    std::string folded(size_t(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[size_t(i)] = char(text[i].unicode() | (text[i] >= u'A' ? 0x20 : 0));
    return folded;
}

// Between two plain Latin texts that fold alike: the case of each letter decides, lower first.
bool lowerCaseFirst(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const bool upperA = a[i] >= u'A' && a[i] <= u'Z';
        const bool upperB = b[i] >= u'A' && b[i] <= u'Z';
        if (upperA != upperB)
            return upperB;
    }
    return false;
}

// Each distinct text's rank in collation order (with the number of ranks); texts the collation
// holds equal share a rank. A page repeats its texts (marks, names, departments), so each distinct
// one is keyed and compared once, and the page itself sorts over plain numbers.
std::vector<int> textRanks(std::span<const QString> cells, const std::vector<char> &blank,
                           const QLocale &language, int &rankCount)
{
    QHash<QStringView, int> distinctIndex;
    distinctIndex.reserve(qsizetype(cells.size()));
    std::vector<QStringView> distinct;
    std::vector<int> cellDistinct(cells.size(), -1);
    bool plain = plainLatinLanguage(language);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (blank[i])
            continue;
        const QStringView text(cells[i]);
        auto found = distinctIndex.constFind(text);
        if (found == distinctIndex.cend()) {
            found = distinctIndex.insert(text, int(distinct.size()));
            distinct.push_back(text);
            plain = plain && isPlainLatin(text);
        }
        cellDistinct[i] = *found;
    }
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> rankOfDistinct(distinct.size());
    const auto assignRanks = [&](auto &&less) {
        std::sort(order.begin(), order.end(), less);
        int rank = 0;
        for (size_t k = 0; k < order.size(); ++k) {
            if (k > 0 && less(order[k - 1], order[k]))
                ++rank;
            rankOfDistinct[size_t(order[k])] = rank;
        }
        rankCount = order.empty() ? 0 : rank + 1;
    };
    if (plain) {
        std::vector<std::string> folded;
        folded.reserve(distinct.size());
        for (const QStringView text : distinct)
            folded.push_back(foldedLatin(text));
        assignRanks([&](int a, int b) {
            if (const int order = folded[size_t(a)].compare(folded[size_t(b)]); order != 0)
                return order < 0;
            return lowerCaseFirst(distinct[size_t(a)], distinct[size_t(b)]);
        });
    } else {
        const QCollator collator(language);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(distinct.size());
        for (const QStringView text : distinct)
            keys.push_back(collator.sortKey(text.toString()));
        assignRanks([&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    }
    std::vector<int> ranks(cells.size(), 0);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (!blank[i])
            ranks[i] = rankOfDistinct[size_t(cellDistinct[i])];
    }
    return ranks;
}

} // namespace

std::optional<double> gridNumber(QStringView text)
{
    text = text.trimmed();
    // Digits only go to the parser, without their group commas; longer texts are no amount.
    std::array<char, 64> plain;
    size_t length = 0;
    qsizetype at = 0;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        if (text[0] == u'-')
            plain[length++] = '-';
        ++at;
    }
    bool digits = false;
    bool point = false;
    for (; at < text.size(); ++at) {
        const QChar ch = text[at];
        if (length + 1 >= plain.size())
            return std::nullopt;
        if (isDigit(ch)) {
            digits = true;
            plain[length++] = char(ch.unicode());
        } else if (ch == u',' && !point && digits) {
            continue; // a group separator
        } else if (ch == u'.' && !point) {
            point = true;
            plain[length++] = '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + length, value);
    if (error != std::errc() || end != plain.data() + length)
        return std::nullopt;
    return value;
}

std::optional<qint64> gridDateTime(QStringView text)
{
    text = text.trimmed();
    if (text.size() != 10 && text.size() != 19)
        return std::nullopt;
    if (text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    if (!date.isValid())
        return std::nullopt;
    qint64 seconds = date.toJulianDay() * 86400;
    if (text.size() == 19) {
        if (text[10] != u' ' || text[13] != u':' || text[16] != u':')
            return std::nullopt;
        const QTime time(digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2));
        if (!time.isValid())
            return std::nullopt;
        seconds += time.msecsSinceStartOfDay() / 1000;
    }
    return seconds;
}

ColumnKind columnKind(std::span<const QString> cells)
{
    bool numbers = true;
    bool dates = true;
    bool any = false;
    for (const QString &cell : cells) {
        if (isBlank(cell))
            continue;
        any = true;
        numbers = numbers && gridNumber(cell).has_value();
        dates = dates && gridDateTime(cell).has_value();
        if (!numbers && !dates)
            return ColumnKind::Text;
    }
    if (!any)
        return ColumnKind::Text;
    return numbers ? ColumnKind::Number : ColumnKind::Date;
}

std::vector<int> sortedPositions(std::span<const QString> cells, SortDirection direction,
                                 const QLocale &language)
{
    // One reading of each cell decides the kind and gives the number or date key at once.
    const size_t count = cells.size();
    std::vector<char> blank(count);
    std::vector<std::uint64_t> numbers(count);
    std::vector<std::uint64_t> dates(count);
    bool allNumbers = true;
    bool allDates = true;
    bool any = false;
    for (size_t i = 0; i < count && (allNumbers || allDates); ++i) {
        blank[i] = isBlank(cells[i]);
        if (blank[i])
            continue;
        any = true;
        if (allNumbers) {
            const std::optional<double> number = gridNumber(cells[i]);
            allNumbers = number.has_value();
            numbers[i] = orderedKey(number.value_or(0));
        }
        if (allDates) {
            const std::optional<qint64> date = gridDateTime(cells[i]);
            allDates = date.has_value();
            dates[i] = orderedKey(date.value_or(0));
        }
    }
    if (any && allNumbers)
        return radixOrder(numbers, blank, direction);
    if (any && allDates)
        return radixOrder(dates, blank, direction);
    for (size_t i = 0; i < count; ++i)
        blank[i] = isBlank(cells[i]);
    int rankCount = 0;
    const std::vector<int> ranks = textRanks(cells, blank, language, rankCount);
    return rankOrder(ranks, rankCount, blank, direction);
}

} // namespace perikon::suite
