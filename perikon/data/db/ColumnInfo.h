#pragma once

#include "ColumnType.h"

#include <QString>

namespace perikon::db {

// What a result column is: its name, type code and defined size in the classic numbering, and the
// base table column it was read from (empty for an expression).
struct ColumnInfo
{
    QString name;
    int type = ColumnType::Empty;
    qint64 definedSize = 0;
    int precision = 0;
    int scale = 0;
    QString baseDatabase; // the driver's name of the database holding the base table
    QString baseTable;
    QString baseColumn;
    bool isKey = false;
    bool nullable = true;
    bool rowVersion = false;
};

} // namespace perikon::db
