#include "RecordsetWriter.h"

#include "DbError.h"
#include "Driver.h"
#include "RecordsetData.h"

namespace perikon::db {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.Recordset");

bool sameCell(const RowStore &rows, const StoredCell &a, const StoredCell &b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case CellKind::Null:
        return true;
    case CellKind::Integer:
        return a.integer == b.integer;
    case CellKind::Real:
        return a.real == b.real;
    case CellKind::Text:
    case CellKind::Blob:
        return rows.bytes(a) == rows.bytes(b);
    }
    return false;
}

} // namespace

RecordsetWriter::RecordsetWriter(Driver &driver, RecordsetData &data)
    : m_driver(driver)
    , m_data(data)
{}

const WriteTarget &RecordsetWriter::target()
{
    if (!m_data.target)
        m_data.target
            = m_data.shape->target(m_driver.keyGeneration(), [this] { return findTarget(); });
    return *m_data.target;
}

WriteTarget RecordsetWriter::findTarget()
{
    // Expression columns are not written; every other column must come from one table.
    const std::vector<ColumnInfo> &columns = m_data.columns();
    WriteTarget target;
    bool oneTable = true;
    for (int i = 0; i < int(columns.size()); ++i) {
        const ColumnInfo &column = columns[std::size_t(i)];
        if (column.baseTable.isEmpty())
            continue;
        if (target.table.isEmpty()) {
            target.database = column.baseDatabase;
            target.table = column.baseTable;
        } else if (column.baseTable.compare(target.table, Qt::CaseInsensitive) != 0
                   || column.baseDatabase.compare(target.database, Qt::CaseInsensitive) != 0) {
            oneTable = false;
        }
        if (!column.rowVersion)
            target.writable.push_back(i);
    }
    if (!oneTable || target.table.isEmpty())
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Insufficient base table information for updating or "
                                     "refreshing: the rows do not come from one table."),
                      kSource);

    const QStringList primaryKey = m_driver.keyColumns(target.database, target.table);
    for (const QString &keyColumn : primaryKey) {
        int found = -1;
        for (int i = 0; i < int(columns.size()) && found < 0; ++i) {
            if (columns[std::size_t(i)].baseColumn.compare(keyColumn, Qt::CaseInsensitive) == 0)
                found = i;
        }
        if (found < 0) {
            target.key.clear();
            break;
        }
        target.key.push_back(found);
    }
    target.byPrimaryKey = !target.key.empty();
    if (!target.byPrimaryKey) {
        // Without a key, a row is found by all the values it was read with.
        for (int i = 0; i < int(columns.size()); ++i) {
            if (!columns[std::size_t(i)].baseTable.isEmpty())
                target.key.push_back(i);
        }
    }
    return target;
}

QString RecordsetWriter::whereClause(const std::vector<StoredCell> &cells,
                                     QVariantList &parameters) const
{
    const WriteTarget &t = *m_data.target;
    QStringList conditions;
    for (int index : t.key) {
        const ColumnInfo &column = m_data.columns()[std::size_t(index)];
        const QString name = m_driver.quoteIdentifier(column.baseColumn);
        const QString mark = m_driver.placeholder(int(parameters.size()));
        conditions << (t.byPrimaryKey ? name + QStringLiteral(" = ") + mark
                                      : m_driver.nullSafeEquals(name, mark));
        parameters << m_data.rows.storageValue(cells[std::size_t(index)]);
    }
    return conditions.join(QStringLiteral(" AND "));
}

QString RecordsetWriter::storedColumns(std::vector<int> &targets) const
{
    // The list is written once per row read back, for every column of the table: one string.
    const std::vector<ColumnInfo> &columns = m_data.columns();
    QString list;
    list.reserve(qsizetype(columns.size()) * 16);
    for (int i = 0; i < int(columns.size()); ++i) {
        if (columns[std::size_t(i)].baseTable.isEmpty())
            continue;
        if (!targets.empty())
            list += u',';
        list += m_driver.quoteIdentifier(columns[std::size_t(i)].baseColumn);
        targets.push_back(i);
    }
    return list;
}

void RecordsetWriter::reread(qsizetype row, const QString &where, const QVariantList &parameters)
{
    std::vector<int> targets;
    const QString select = storedColumns(targets);
    auto cursor = m_driver.query(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(select, m_driver.qualifiedTable(m_data.target->database, m_data.target->table),
                 where),
        parameters);
    if (!cursor->next())
        return;
    for (std::size_t i = 0; i < targets.size(); ++i)
        m_data.rows.set(row, targets[i], cursor->cell(int(i)));
}

void RecordsetWriter::insert(qsizetype row, const std::vector<bool> &changed)
{
    const WriteTarget &t = target();
    m_driver.forgetReadsOf(t.table);
    const std::vector<ColumnInfo> &read = m_data.columns();
    QStringList columns;
    QVariantList values;
    for (int index : t.writable) {
        if (!changed[std::size_t(index)])
            continue; // unset columns take their defaults
        columns << read[std::size_t(index)].baseColumn;
        values << m_data.rows.storageValue(m_data.rows.cell(row, index));
    }
    QStringList returnColumns;
    std::vector<int> targets;
    for (int i = 0; i < int(read.size()); ++i) {
        if (read[std::size_t(i)].baseTable.isEmpty())
            continue;
        returnColumns << read[std::size_t(i)].baseColumn;
        targets.push_back(i);
    }
    auto stored = m_driver.insertRow(t.database, t.table, columns, values, returnColumns);
    if (!stored->next())
        return;
    for (std::size_t i = 0; i < targets.size(); ++i)
        m_data.rows.set(row, targets[i], stored->cell(int(i)));
}

void RecordsetWriter::update(qsizetype row, const std::vector<StoredCell> &original,
                             const std::vector<bool> &changed)
{
    const WriteTarget &t = target();
    QStringList assignments;
    QVariantList parameters;
    for (int index : t.writable) {
        const StoredCell &cell = m_data.rows.cell(row, index);
        // A column set to the value it was read with is not written: an update that would change
        // nothing is not sent, and leaves the row version alone.
        if (!changed[std::size_t(index)]
            || sameCell(m_data.rows, cell, original[std::size_t(index)]))
            continue;
        assignments << m_driver.quoteIdentifier(m_data.columns()[std::size_t(index)].baseColumn)
                           + QStringLiteral(" = ") + m_driver.placeholder(int(parameters.size()));
        parameters << m_data.rows.storageValue(cell);
    }
    if (assignments.isEmpty())
        return;
    // Whatever the writer is about to write, kept reads of the table no longer tell.
    m_driver.forgetReadsOf(t.table);
    const QString where = whereClause(original, parameters);
    const QString sql
        = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
              .arg(m_driver.qualifiedTable(t.database, t.table), assignments.join(u','), where);

    // A keyed row comes back as stored, so that values the database sets on update (the row
    // version) are current for the next change: with the update itself where RETURNING shows them.
    if (t.byPrimaryKey && m_driver.returningShowsStoredRow(t.database, t.table)) {
        std::vector<int> targets;
        auto stored = m_driver.query(sql + QStringLiteral(" RETURNING ") + storedColumns(targets),
                                     parameters);
        if (!stored->next())
            rowNotLocated();
        for (std::size_t i = 0; i < targets.size(); ++i)
            m_data.rows.set(row, targets[i], stored->cell(int(i)));
        return;
    }

    const qint64 affected = m_driver.execute(sql, parameters);
    if (affected == 0)
        rowNotLocated();
    if (t.byPrimaryKey) {
        QVariantList keyParameters;
        const QString keyWhere = whereClause(m_data.rows.rowCells(row), keyParameters);
        reread(row, keyWhere, keyParameters);
    }
}

void RecordsetWriter::remove(const std::vector<StoredCell> &original)
{
    const WriteTarget &t = target();
    m_driver.forgetReadsOf(t.table);
    QVariantList parameters;
    const QString where = whereClause(original, parameters);
    const qint64 affected
        = m_driver.execute(QStringLiteral("DELETE FROM %1 WHERE %2")
                               .arg(m_driver.qualifiedTable(t.database, t.table), where),
                           parameters);
    if (affected == 0)
        rowNotLocated();
}

void RecordsetWriter::rowNotLocated() const
{
    throw DbError(DbError::RowNotLocated,
                  QStringLiteral("Row cannot be located for updating. Some values may have been "
                                 "changed since it was last read."),
                  kSource);
}

} // namespace perikon::db
