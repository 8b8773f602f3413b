#include "RecordsetData.h"

namespace perikon::db {

RecordsetData::RecordsetData(std::vector<ColumnInfo> schema)
    : columns(std::move(schema))
    , rows(int(columns.size()))
{
    for (int i = int(columns.size()) - 1; i >= 0; --i)
        columnIndex.insert(columns[std::size_t(i)].name.toLower(), i);
}

int RecordsetData::indexOf(const QString &name) const
{
    return columnIndex.value(name.trimmed().toLower(), -1);
}

} // namespace perikon::db
