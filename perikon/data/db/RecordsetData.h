#pragma once

#include "ColumnInfo.h"
#include "RowStore.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace perikon::db {

// Where a recordset's changes go: its one base table and how a stored row is found again.
struct WriteTarget
{
    QString database;
    QString table;
    std::vector<int> writable; // recordset columns that map to a writable base column
    std::vector<int> key;      // recordset columns that find the row (the primary key, or all)
    bool byPrimaryKey = false;
};

// A column name as a key that ignores case the way QString::compare(Qt::CaseInsensitive) does:
// every recordset indexes its columns, so the key is built without lower-casing a copy.
struct CaselessName
{
    QString text;
    friend bool operator==(const CaselessName &a, const CaselessName &b)
    {
        return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
    }
};
size_t qHash(const CaselessName &key, size_t seed = 0) noexcept;

// What a recordset and its clones share: the columns and the rows.
struct RecordsetData
{
    explicit RecordsetData(std::vector<ColumnInfo> schema);

    // The index of a column by name, compared without regard to case; -1 when missing.
    int indexOf(const QString &name) const;

    std::vector<ColumnInfo> columns;
    QHash<CaselessName, int> columnIndex; // name -> first column of that name
    RowStore rows;
    std::optional<WriteTarget> target; // worked out on the first write
};

} // namespace perikon::db
