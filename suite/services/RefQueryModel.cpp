#include "suite/services/RefQueryModel.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/SqlLiteral.h"

namespace perikon::suite {
namespace {

const QString kRows = QStringLiteral("refrows");

// The filter as a LIKE pattern: the operator's % _ and \ match themselves.
QString likeContains(const QString &filter)
{
    QString pattern;
    pattern.reserve(filter.size() + 4);
    pattern += u'%';
    for (const QChar c : filter) {
        if (c == u'%' || c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += c;
    }
    pattern += u'%';
    return pattern;
}

QString keyLiteral(const QVariant &key)
{
    switch (key.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return key.toString();
    default:
        return db::sqlNQuoted(key.toString());
    }
}

int indexOfNoCase(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

QString refPageSelect(const RefQuery &query, const QString &filter, const QVariant &after,
                      int count)
{
    const QString key = kRows + u'.' + query.keyColumn;
    QStringList conditions{key + QStringLiteral(" IS NOT NULL")};
    if (!filter.isEmpty() && !query.searchColumns.isEmpty()) {
        const QString pattern = db::sqlNQuoted(likeContains(filter.toUpper()));
        QStringList any;
        for (const QString &column : query.searchColumns)
            any.append(
                QStringLiteral("UPPER(%1.%2) LIKE %3 ESCAPE N'\\'").arg(kRows, column, pattern));
        conditions.append(u'(' + any.join(QStringLiteral(" OR ")) + u')');
    }
    if (!after.isNull())
        conditions.append(key + QStringLiteral(" > ") + keyLiteral(after));
    return QStringLiteral("SELECT TOP %1 * FROM (%2) %3 WHERE %4 ORDER BY %5")
        .arg(QString::number(count), query.sql, kRows, conditions.join(QStringLiteral(" AND ")),
             key);
}

RefQueryModel::RefQueryModel(db::Connection &connection, RefQuery query, QStringList fields,
                             QStringList captions, QObject *parent)
    : QAbstractTableModel(parent)
    , m_connection(connection)
    , m_query(std::move(query))
    , m_fields(std::move(fields))
    , m_captions(std::move(captions))
{
    setFilterText(QString());
}

void RefQueryModel::setFilterText(const QString &filter)
{
    beginResetModel();
    m_filter = filter;
    m_rows.clear();
    m_lastKey = QVariant();
    m_atEnd = false;
    m_error.clear();
    QList<QVariantList> page;
    if (readPage(page))
        m_rows = std::move(page);
    endResetModel();
}

bool RefQueryModel::readPage(QList<QVariantList> &rows)
{
    rows.clear();
    try {
        const std::unique_ptr<db::ResultCursor> cursor
            = m_connection.openCursor(refPageSelect(m_query, m_filter, m_lastKey, kPageSize));
        if (!cursor) {
            m_atEnd = true;
            return true;
        }
        if (m_columnNames.isEmpty()) {
            for (const db::ColumnInfo &column : cursor->columns())
                m_columnNames.append(column.name);
            m_keyColumn = indexOfNoCase(m_columnNames, m_query.keyColumn);
            for (const QString &field : std::as_const(m_fields))
                m_fieldColumns.append(indexOfNoCase(m_columnNames, field));
        }
        const int columns = int(cursor->columns().size());
        while (cursor->next()) {
            QVariantList row;
            row.reserve(columns);
            for (int i = 0; i < columns; ++i)
                row.append(cursor->value(i));
            rows.append(row);
        }
    } catch (const db::DbError &error) {
        m_error = error.description();
        m_atEnd = true;
        return false;
    }
    if (rows.size() < kPageSize)
        m_atEnd = true;
    if (!rows.isEmpty() && m_keyColumn >= 0)
        m_lastKey = rows.constLast().value(m_keyColumn);
    else
        m_atEnd = true;
    return true;
}

bool RefQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd;
}

void RefQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    QList<QVariantList> page;
    if (!readPage(page) || page.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page.size() - 1));
    m_rows.append(page);
    endInsertRows();
}

void RefQueryModel::setCheckable(bool checkable)
{
    beginResetModel();
    m_checkable = checkable;
    endResetModel();
}

void RefQueryModel::setCheckedKeys(const QStringList &keys)
{
    m_checked.clear();
    m_checkedOrder.clear();
    for (const QString &key : keys) {
        if (!m_checked.contains(key)) {
            m_checked.insert(key);
            m_checkedOrder.append(key);
        }
    }
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void RefQueryModel::toggleChecked(int row)
{
    if (!m_checkable || row < 0 || row >= m_rows.size())
        return;
    const QString key = keyAt(row);
    if (m_checked.remove(key)) {
        m_checkedOrder.removeAll(key);
    } else {
        m_checked.insert(key);
        m_checkedOrder.append(key);
    }
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

QString RefQueryModel::keyAt(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_keyColumn < 0)
        return {};
    return m_rows.at(row).value(m_keyColumn).toString();
}

QVariant RefQueryModel::valueAt(int row, const QString &field) const
{
    const int column = indexOfNoCase(m_columnNames, field);
    if (row < 0 || row >= m_rows.size() || column < 0)
        return {};
    return m_rows.at(row).value(column);
}

int RefQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RefQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size()) + (m_checkable ? 1 : 0);
}

QVariant RefQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (m_checkable && index.column() == 0) {
        if (role == Qt::CheckStateRole)
            return m_checked.contains(keyAt(index.row())) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const int source = m_fieldColumns.value(shownColumn(index.column()), -1);
    return source < 0 ? QVariant() : QVariant(m_rows.at(index.row()).value(source).toString());
}

bool RefQueryModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_checkable || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    const bool wanted = value.toInt() == Qt::Checked;
    if (wanted != m_checked.contains(keyAt(index.row())))
        toggleChecked(index.row());
    return true;
}

Qt::ItemFlags RefQueryModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_checkable && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant RefQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (m_checkable && section == 0)
            return QString();
        return m_captions.value(shownColumn(section));
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace perikon::suite
