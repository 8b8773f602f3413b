#include "RowStore.h"

#include "Driver.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace perikon::db {

namespace {

// Blocks grow from small (most recordsets hold a row or a page) to large; large ones ask for huge
// pages, since touching fresh memory page by page costs more than copying the values into it.
constexpr std::size_t kFirstBlock = 16 * 1024;
constexpr std::size_t kLargestBlock = 8 * 1024 * 1024;
constexpr std::size_t kHugePage = 2 * 1024 * 1024;

} // namespace

void RowStore::FreeDeleter::operator()(void *memory) const
{
    std::free(memory);
}

RowStore::RowStore(int columnCount)
    : m_columnCount(columnCount)
    , m_nextCellBlock(kFirstBlock)
    , m_nextByteBlock(kFirstBlock)
{}

char *RowStore::allocate(std::size_t bytes)
{
    void *memory = nullptr;
    if (bytes >= kHugePage) {
        bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, bytes);
#ifdef MADV_HUGEPAGE
        if (memory)
            madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    } else {
        memory = std::malloc(bytes);
    }
    if (!memory)
        throw std::bad_alloc();
    m_blocks.emplace_back(memory);
    return static_cast<char *>(memory);
}

StoredCell *RowStore::newRow()
{
    if (m_freeRows == 0) {
        const std::size_t rowBytes = sizeof(StoredCell) * std::size_t(std::max(1, m_columnCount));
        const std::size_t rows = std::max<std::size_t>(1, m_nextCellBlock / rowBytes);
        m_freeCells = reinterpret_cast<StoredCell *>(allocate(rows * rowBytes));
        m_freeRows = rows;
        m_nextCellBlock = std::min(m_nextCellBlock * 2, kLargestBlock);
    }
    StoredCell *row = m_freeCells;
    m_freeCells += m_columnCount;
    --m_freeRows;
    m_rows.push_back(row);
    m_deleted.push_back(0);
    return row;
}

StoredCell RowStore::storeBytes(CellKind kind, const char *data, qsizetype size)
{
    static const char empty[] = "";
    const auto length = std::size_t(size);
    const char *target = empty; // empty text is not NULL: it still points somewhere
    if (length > kLargestBlock / 8) {
        // A large value gets a block of its own, so the shared one is not left half empty.
        char *own = allocate(length);
        std::memcpy(own, data, length);
        target = own;
    } else if (length > 0) {
        if (length > m_freeByteCount) {
            const std::size_t blockSize = std::max(m_nextByteBlock, length);
            m_freeBytes = allocate(blockSize);
            m_freeByteCount = blockSize;
            m_nextByteBlock = std::min(m_nextByteBlock * 2, kLargestBlock);
        }
        std::memcpy(m_freeBytes, data, length);
        target = m_freeBytes;
        m_freeBytes += length;
        m_freeByteCount -= length;
    }
    StoredCell stored;
    stored.kind = kind;
    stored.size = quint32(length);
    stored.data = target;
    return stored;
}

void RowStore::appendFrom(const ResultCursor &cursor)
{
    StoredCell *row = newRow();
    for (int column = 0; column < m_columnCount; ++column) {
        const CellRef value = cursor.cell(column);
        StoredCell &cell = row[column];
        switch (value.kind) {
        case CellKind::Null:
            cell = StoredCell::null();
            break;
        case CellKind::Integer:
            cell.kind = CellKind::Integer;
            cell.size = 0;
            cell.integer = value.integer;
            break;
        case CellKind::Real:
            cell.kind = CellKind::Real;
            cell.size = 0;
            cell.real = value.real;
            break;
        case CellKind::Text:
        case CellKind::Blob:
            cell = storeBytes(value.kind, value.data, value.size);
            break;
        }
    }
}

void RowStore::appendCopy(const RowStore &source, qsizetype sourceRow)
{
    Q_ASSERT(source.m_columnCount == m_columnCount);
    StoredCell *row = newRow();
    const StoredCell *from = source.rowStart(sourceRow);
    for (int column = 0; column < m_columnCount; ++column) {
        const StoredCell &cell = from[column];
        if (cell.kind == CellKind::Text || cell.kind == CellKind::Blob)
            row[column] = storeBytes(cell.kind, cell.data, cell.size);
        else
            row[column] = cell;
    }
}

qsizetype RowStore::appendRow()
{
    StoredCell *row = newRow();
    std::fill(row, row + m_columnCount, StoredCell::null());
    return rowCount() - 1;
}

CellRef RowStore::ref(const StoredCell &cell) const
{
    CellRef value;
    value.kind = cell.kind;
    switch (cell.kind) {
    case CellKind::Null:
        break;
    case CellKind::Integer:
        value.integer = cell.integer;
        break;
    case CellKind::Real:
        value.real = cell.real;
        break;
    case CellKind::Text:
    case CellKind::Blob:
        value.data = cell.data;
        value.size = cell.size;
        break;
    }
    return value;
}

void RowStore::set(qsizetype row, int column, const CellRef &value)
{
    StoredCell stored = StoredCell::null();
    switch (value.kind) {
    case CellKind::Null:
        break;
    case CellKind::Integer:
        stored.kind = CellKind::Integer;
        stored.integer = value.integer;
        break;
    case CellKind::Real:
        stored.kind = CellKind::Real;
        stored.real = value.real;
        break;
    case CellKind::Text:
    case CellKind::Blob:
        stored = storeBytes(value.kind, value.data, value.size);
        break;
    }
    rowStart(row)[column] = stored;
}

void RowStore::setStorageValue(qsizetype row, int column, const QVariant &value)
{
    CellRef ref;
    QByteArray bytes;
    if (value.isNull()) {
        ref.kind = CellKind::Null;
    } else if (value.typeId() == QMetaType::LongLong) {
        ref.kind = CellKind::Integer;
        ref.integer = value.toLongLong();
    } else if (value.typeId() == QMetaType::Double) {
        ref.kind = CellKind::Real;
        ref.real = value.toDouble();
    } else if (value.typeId() == QMetaType::QByteArray) {
        ref.kind = CellKind::Blob;
        bytes = value.toByteArray();
    } else {
        ref.kind = CellKind::Text;
        bytes = value.toString().toUtf8();
    }
    if (ref.kind == CellKind::Text || ref.kind == CellKind::Blob) {
        ref.data = bytes.constData();
        ref.size = bytes.size();
    }
    set(row, column, ref);
}

QVariant RowStore::storageValue(const StoredCell &cell) const
{
    switch (cell.kind) {
    case CellKind::Null:
        return {};
    case CellKind::Integer:
        return QVariant::fromValue<qlonglong>(cell.integer);
    case CellKind::Real:
        return cell.real;
    case CellKind::Text:
        return QString::fromUtf8(cell.data, cell.size);
    case CellKind::Blob:
        return QByteArray(cell.data, cell.size);
    }
    return {};
}

std::vector<StoredCell> RowStore::rowCells(qsizetype row) const
{
    const StoredCell *begin = rowStart(row);
    return {begin, begin + m_columnCount};
}

void RowStore::restoreRow(qsizetype row, const std::vector<StoredCell> &cells)
{
    std::copy(cells.begin(), cells.end(), rowStart(row));
}

} // namespace perikon::db
