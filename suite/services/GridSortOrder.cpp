#include "suite/services/GridSortOrder.h"

#include <QCollator>
#include <QDate>
#include <QTime>

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>

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

// One comparison for every kind, so the sort runs over plain keys without branching on text.
template<typename Key>
std::vector<int> stableOrder(const std::vector<Key> &keys, const std::vector<char> &blank,
                             SortDirection direction)
{
    std::vector<int> positions(keys.size());
    std::iota(positions.begin(), positions.end(), 0);
    // Blank counts as the smallest value, so it leads ascending and trails descending.
    const auto less = [&](int a, int b) {
        if (blank[size_t(a)] || blank[size_t(b)])
            return blank[size_t(a)] > blank[size_t(b)];
        return keys[size_t(a)] < keys[size_t(b)];
    };
    if (direction == SortDirection::Ascending)
        std::stable_sort(positions.begin(), positions.end(), less);
    else
        std::stable_sort(positions.begin(), positions.end(),
                         [&](int a, int b) { return less(b, a); });
    return positions;
}

// Orders like QCollatorSortKey::compare, kept as a value the sort can compare with <.
struct TextKey
{
    QCollatorSortKey key;
    bool operator<(const TextKey &other) const { return key.compare(other.key) < 0; }
};

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
    std::vector<double> numbers(count);
    std::vector<qint64> dates(count);
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
            numbers[i] = number.value_or(0);
        }
        if (allDates) {
            const std::optional<qint64> date = gridDateTime(cells[i]);
            allDates = date.has_value();
            dates[i] = date.value_or(0);
        }
    }
    if (any && allNumbers)
        return stableOrder(numbers, blank, direction);
    if (any && allDates)
        return stableOrder(dates, blank, direction);
    const QCollator collator(language);
    std::vector<TextKey> keys;
    keys.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        blank[i] = isBlank(cells[i]);
        keys.push_back({collator.sortKey(blank[i] ? QString() : cells[i])});
    }
    return stableOrder(keys, blank, direction);
}

} // namespace perikon::suite
