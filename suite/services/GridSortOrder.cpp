#include "suite/services/GridSortOrder.h"

#include <QCollator>
#include <QDate>
#include <QTime>

#include <algorithm>
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
    QString plain;
    plain.reserve(text.size());
    qsizetype at = 0;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        plain.append(text[at++]);
    bool digits = false;
    bool point = false;
    for (; at < text.size(); ++at) {
        const QChar ch = text[at];
        if (isDigit(ch)) {
            digits = true;
            plain.append(ch);
        } else if (ch == u',' && !point && digits) {
            continue; // a group separator
        } else if (ch == u'.' && !point) {
            point = true;
            plain.append(ch);
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
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
    std::vector<char> blank(cells.size());
    for (size_t i = 0; i < cells.size(); ++i)
        blank[i] = isBlank(cells[i]);
    switch (columnKind(cells)) {
    case ColumnKind::Number: {
        std::vector<double> keys(cells.size());
        for (size_t i = 0; i < cells.size(); ++i)
            keys[i] = blank[i] ? 0.0 : *gridNumber(cells[i]);
        return stableOrder(keys, blank, direction);
    }
    case ColumnKind::Date: {
        std::vector<qint64> keys(cells.size());
        for (size_t i = 0; i < cells.size(); ++i)
            keys[i] = blank[i] ? 0 : *gridDateTime(cells[i]);
        return stableOrder(keys, blank, direction);
    }
    case ColumnKind::Text:
        break;
    }
    const QCollator collator(language);
    std::vector<TextKey> keys;
    keys.reserve(cells.size());
    for (const QString &cell : cells)
        keys.push_back({collator.sortKey(cell)});
    return stableOrder(keys, blank, direction);
}

} // namespace perikon::suite
