#include "RecordsetData.h"

namespace perikon::db {

RecordsetData::RecordsetData(std::shared_ptr<const ResultColumns> described)
    : shape(std::move(described))
    , rows(int(shape->list().size()))
{}

RecordsetData::RecordsetData(std::vector<ColumnInfo> schema)
    : RecordsetData(std::make_shared<const ResultColumns>(std::move(schema)))
{}

} // namespace perikon::db
