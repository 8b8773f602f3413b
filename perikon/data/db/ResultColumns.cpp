#include "ResultColumns.h"

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

ResultColumns::ResultColumns(std::vector<ColumnInfo> columns)
    : m_columns(std::move(columns))
{
    m_index.reserve(qsizetype(m_columns.size()));
    for (int i = int(m_columns.size()) - 1; i >= 0; --i)
        m_index.insert(CaselessName{m_columns[std::size_t(i)].name}, i);
}

int ResultColumns::indexOf(const QString &name) const
{
    return m_index.value(CaselessName{name.trimmed()}, -1);
}

std::shared_ptr<const WriteTarget>
ResultColumns::target(quint64 keys, const std::function<WriteTarget()> &work) const
{
    const std::lock_guard lock(m_targetLock);
    if (!m_target || m_targetKeys != keys) {
        m_target = std::make_shared<const WriteTarget>(work());
        m_targetKeys = keys;
    }
    return m_target;
}

} // namespace perikon::db
