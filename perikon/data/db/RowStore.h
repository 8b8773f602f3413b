#pragma once

#include "Cell.h"

#include <QString>
#include <QVariant>

#include <memory>

#include <string>
#include <string_view>
#include <vector>

namespace perikon::db {

class ResultCursor;

// One stored value: numbers inline, text and binary as a slice of the store's byte arena.
// Trivial on purpose: blocks of cells are allocated without initialization and written once.
struct StoredCell
{
    CellKind kind;
    quint32 size;
    union {
        qint64 integer;
        double real;
        const char *data;
    };

    static StoredCell null() { return StoredCell{CellKind::Null, 0, {0}}; }
};

// The rows of a recordset in storage form, in blocks of whole rows, with text kept as UTF-8 in an
// arena of fixed chunks. Reading a result copies bytes only: no allocation per value, nothing
// moved as the store grows, no conversion until a value is asked for. The arena only grows, so a
// cell saved before an edit stays valid.
class RowStore
{
public:
    explicit RowStore(int columnCount = 0);

    int columnCount() const { return m_columnCount; }
    qsizetype rowCount() const { return qsizetype(m_deleted.size()); }

    // Appends the cursor's current row.
    void appendFrom(const ResultCursor &cursor);
    // Appends a copy of another store's row, which has as many columns as this one: the cells as
    // they are, text and binary copied into this store.
    void appendCopy(const RowStore &source, qsizetype row);
    // Appends a row of nulls and gives its index.
    qsizetype appendRow();

    const StoredCell &cell(qsizetype row, int column) const { return rowStart(row)[column]; }
    CellRef ref(const StoredCell &cell) const;
    CellRef ref(qsizetype row, int column) const { return ref(cell(row, column)); }
    std::string_view bytes(const StoredCell &cell) const { return {cell.data, cell.size}; }

    void set(qsizetype row, int column, const CellRef &value);
    // Sets a value in storage form: qlonglong, double, QString, QByteArray or null.
    void setStorageValue(qsizetype row, int column, const QVariant &value);
    QVariant storageValue(const StoredCell &cell) const;

    std::vector<StoredCell> rowCells(qsizetype row) const;
    void restoreRow(qsizetype row, const std::vector<StoredCell> &cells);

    bool isDeleted(qsizetype row) const { return m_deleted[std::size_t(row)] != 0; }
    void markDeleted(qsizetype row) { m_deleted[std::size_t(row)] = 1; }

private:
    struct FreeDeleter
    {
        void operator()(void *memory) const;
    };
    using Block = std::unique_ptr<void, FreeDeleter>;

    StoredCell *rowStart(qsizetype row) const { return m_rows[std::size_t(row)]; }
    StoredCell *newRow();
    char *allocate(std::size_t bytes);
    StoredCell storeBytes(CellKind kind, const char *data, qsizetype size);

    int m_columnCount;
    std::vector<StoredCell *> m_rows;
    std::vector<Block> m_blocks; // cells and bytes, never moved once allocated
    StoredCell *m_freeCells = nullptr;
    std::size_t m_freeRows = 0;
    std::size_t m_nextCellBlock;
    char *m_freeBytes = nullptr;
    std::size_t m_freeByteCount = 0;
    std::size_t m_nextByteBlock;
    std::vector<quint8> m_deleted;
};

} // namespace perikon::db
