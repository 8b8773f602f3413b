#include "RecordsetData.h"

namespace perikon::db {

size_t qHash(const CaselessName &key, size_t seed) noexcept
{
    // FNV-1a over the case-folded UTF-16 units. Plain ASCII, what column names are, is folded
    // in place; anything else through QString's folding, which compare() uses too.
    const auto hashUnits = [seed](QStringView units) {
        size_t hash = 14695981039346656037ull ^ seed;
        for (const QChar c : units) {
            hash ^= c.unicode();
            hash *= 1099511628211ull;
        }
        return hash;
    };
    size_t hash = 14695981039346656037ull ^ seed;
    for (const QChar c : key.text) {
        char16_t unit = c.unicode();
        if (unit >= 0x80)
            return hashUnits(key.text.toCaseFolded());
        if (unit >= u'A' && unit <= u'Z')
            unit = char16_t(unit + (u'a' - u'A'));
        hash ^= unit;
        hash *= 1099511628211ull;
    }
    return hash;
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
