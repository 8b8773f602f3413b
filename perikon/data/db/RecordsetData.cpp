#include "RecordsetData.h"

#include <algorithm>

namespace perikon::db {

namespace {

// FNV-1a over UTF-16 units with ASCII capitals taken as small letters.
size_t asciiFoldedHash(QStringView units, size_t seed)
{
    size_t hash = 14695981039346656037ull ^ seed;
    for (const QChar c : units) {
        char16_t unit = c.unicode();
        if (unit >= u'A' && unit <= u'Z')
            unit = char16_t(unit + (u'a' - u'A'));
        hash ^= unit;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

size_t qHash(const CaselessName &key, size_t seed) noexcept
{
    // Plain ASCII, what column names are, is folded as it is hashed; anything else first through
    // QString's folding, which compare() uses too.
    const bool ascii = std::ranges::all_of(key.text, [](QChar c) { return c.unicode() < 0x80; });
    return asciiFoldedHash(ascii ? key.text : key.text.toCaseFolded(), seed);
}

RecordsetData::RecordsetData(std::vector<ColumnInfo> schema)
    : columns(std::move(schema))
    , rows(int(columns.size()))
{
    columnIndex.reserve(qsizetype(columns.size()));
    for (int i = int(columns.size()) - 1; i >= 0; --i)
        columnIndex.insert(CaselessName{columns[std::size_t(i)].name}, i);
}

int RecordsetData::indexOf(const QString &name) const
{
    return columnIndex.value(CaselessName{name.trimmed()}, -1);
}

} // namespace perikon::db
