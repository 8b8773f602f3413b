#pragma once

#include "ColumnInfo.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
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
// every result indexes its columns, so the key is built without lower-casing a copy.
struct CaselessName
{
    QString text;
    friend bool operator==(const CaselessName &a, const CaselessName &b)
    {
        return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
    }
};
size_t qHash(const CaselessName &key, size_t seed = 0) noexcept;

// The columns of a result, indexed by name. A driver describes a shape of result once and hands
// the same description to every cursor and recordset that reads it, so a save that reads the
// same rows again neither copies nor indexes fifty column descriptions each time, and works out
// where its changes go once. Never changed once made.
class ResultColumns
{
public:
    explicit ResultColumns(std::vector<ColumnInfo> columns);

    const std::vector<ColumnInfo> &list() const { return m_columns; }
    // The first column of that name, compared without regard to case; -1 when missing.
    int indexOf(const QString &name) const;

    // The write target `work` finds for these columns, worked out again only when `keys` (the
    // generation of the key columns it reads) changed since. What `work` throws is not kept.
    std::shared_ptr<const WriteTarget> target(quint64 keys,
                                              const std::function<WriteTarget()> &work) const;

private:
    std::vector<ColumnInfo> m_columns;
    QHash<CaselessName, int> m_index;
    mutable std::mutex m_targetLock; // recordsets sharing these columns may live on two threads
    mutable std::shared_ptr<const WriteTarget> m_target;
    mutable quint64 m_targetKeys = 0;
};

} // namespace perikon::db
