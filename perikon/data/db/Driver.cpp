#include "Driver.h"

#include <atomic>

namespace perikon::db {

namespace {

// Whether `text` names `table` (lower case) as a whole word in any case (userdef, not userdefine).
bool namesTable(const QString &text, const QString &table)
{
    auto partOfName = [&](qsizetype i) {
        return i >= 0 && i < text.size() && (text.at(i).isLetterOrNumber() || text.at(i) == u'_');
    };
    for (qsizetype at = text.indexOf(table, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(table, at + 1, Qt::CaseInsensitive)) {
        if (!partOfName(at - 1) && !partOfName(at + table.size()))
            return true;
    }
    return false;
}

std::atomic<quint64> openedConnections{0};
std::atomic<quint64> keyGenerations{0};

quint64 nextKeyGeneration()
{
    return keyGenerations.fetch_add(1, std::memory_order_relaxed) + 1;
}
thread_local StatementObserver statementObserver;
thread_local int openingDrivers = 0;

} // namespace

QStringList Driver::keyColumns(const QString &database, const QString &table)
{
    const QString key = database.toLower() + u'.' + table.toLower();
    if (const QStringList *known = m_keyColumns.find(key))
        return *known;
    QStringList columns = primaryKeyColumns(database, table);
    m_keyColumns.insert(key, columns);
    return columns;
}

Driver::Driver()
    : m_keyGeneration(nextKeyGeneration())
{}

void Driver::clearStatementCaches()
{
    m_translations.clear();
    m_keyColumns.clear();
    m_keyGeneration = nextKeyGeneration();
    m_keptReads.clear();
}

std::shared_ptr<RecordsetData> Driver::keptRead(const QString &sql)
{
    const KeptRead *kept = m_keptReads.find(sql);
    return kept ? kept->rows : nullptr;
}

void Driver::keepRead(const QString &sql, const QString &table, std::shared_ptr<RecordsetData> rows)
{
    m_keptReads.insert(sql, {table.toLower(), std::move(rows)});
}

void Driver::forgetReadsWrittenBy(const QString &sql)
{
    if (m_keptReads.size() == 0)
        return;
    // A read of the text is no write; anything else naming a kept table may have changed it.
    if (QStringView(sql).trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive)
        && !sql.contains(u';'))
        return;
    forgetReads([&](const QString &table) { return namesTable(sql, table); });
}

void Driver::forgetReadsOf(const QString &table)
{
    const QString lower = table.toLower();
    forgetReads([&](const QString &kept) { return kept == lower; });
}

template<typename Written> void Driver::forgetReads(Written written)
{
    // Every write asks; most find nothing kept of their table.
    m_keptReads.removeIf(
        [&](const QString &, const KeptRead &read) { return written(read.table); });
}

quint64 Driver::connectionsOpened()
{
    return openedConnections.load(std::memory_order_relaxed);
}

void Driver::countOpened()
{
    openedConnections.fetch_add(1, std::memory_order_relaxed);
}

void Driver::setStatementObserver(StatementObserver observer)
{
    statementObserver = std::move(observer);
}

Driver::OpeningScope::OpeningScope()
{
    ++openingDrivers;
}

Driver::OpeningScope::~OpeningScope()
{
    --openingDrivers;
}

bool Driver::observed()
{
    return statementObserver && openingDrivers == 0;
}

void Driver::observe(const QString &sql, const QVariantList &parameters)
{
    if (observed())
        statementObserver(sql, parameters);
}

QVariant ResultCursor::value(int column) const
{
    const CellRef ref = cell(column);
    switch (ref.kind) {
    case CellKind::Null:
        return {};
    case CellKind::Integer:
        return QVariant::fromValue<qlonglong>(ref.integer);
    case CellKind::Real:
        return ref.real;
    case CellKind::Text:
        return QString::fromUtf8(ref.data, ref.size);
    case CellKind::Blob:
        return QByteArray(ref.data, ref.size);
    }
    return {};
}

} // namespace perikon::db
