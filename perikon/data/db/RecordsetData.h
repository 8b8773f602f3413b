#pragma once

#include "ResultColumns.h"
#include "RowStore.h"

#include <memory>
#include <vector>

namespace perikon::db {

// What a recordset and its clones share: the columns and the rows.
struct RecordsetData
{
    explicit RecordsetData(std::shared_ptr<const ResultColumns> described);
    explicit RecordsetData(std::vector<ColumnInfo> schema);

    const std::vector<ColumnInfo> &columns() const { return shape->list(); }
    // The index of a column by name, compared without regard to case; -1 when missing.
    int indexOf(const QString &name) const { return shape->indexOf(name); }

    std::shared_ptr<const ResultColumns> shape;
    RowStore rows;
    std::shared_ptr<const WriteTarget> target; // worked out on the first write
};

} // namespace perikon::db
