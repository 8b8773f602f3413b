#include "Driver.h"

#include <atomic>

namespace perikon::db {

namespace {

std::atomic<quint64> openedConnections{0};
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

void Driver::clearStatementCaches()
{
    m_translations.clear();
    m_keyColumns.clear();
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
