#pragma once

#include "RowStore.h"

#include <vector>

namespace perikon::db {

class Driver;
struct WriteTarget;
struct RecordsetData;

// Writes a recordset's added, changed and deleted rows back to its base table.
class RecordsetWriter
{
public:
    // Each write throws DbError when the rows do not come from one base table.
    RecordsetWriter(Driver &driver, RecordsetData &data);

    // Inserts the row with the columns set on it and reads it back as stored.
    void insert(qsizetype row, const std::vector<bool> &changed);
    // Updates the changed columns of the stored row that `original` describes; the row's key
    // columns may have changed too. Throws DbError::RowNotLocated when no row matches.
    void update(qsizetype row, const std::vector<StoredCell> &original,
                const std::vector<bool> &changed);
    // Throws DbError::RowNotLocated when no row matches.
    void remove(const std::vector<StoredCell> &original);

private:
    // Worked out once per shape of result and key generation, and kept with the recordset.
    const WriteTarget &target();
    WriteTarget findTarget();
    QString whereClause(const std::vector<StoredCell> &cells, QVariantList &parameters) const;
    void reread(qsizetype row, const QString &where, const QVariantList &parameters);
    // The quoted base columns, comma-separated; `targets` gets their recordset columns.
    QString storedColumns(std::vector<int> &targets) const;
    [[noreturn]] void rowNotLocated() const;

    Driver &m_driver;
    RecordsetData &m_data;
};

} // namespace perikon::db
