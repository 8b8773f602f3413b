#include "Recordset.h"

#include "Connection.h"
#include "DbError.h"
#include "Driver.h"
#include "RecordsetData.h"
#include "RecordsetFilter.h"
#include "RecordsetWriter.h"
#include "RecordsetXml.h"
#include "ValueConversion.h"

#include <pugixml.hpp>

#include <algorithm>
#include <limits>
#include <numeric>

namespace perikon::db {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.Recordset");

// Expression columns (count(*), max(x), literals) have no declaration: their type follows the
// values they hold, every value of the result, whether it is kept or not.
class UndeclaredTypes
{
public:
    explicit UndeclaredTypes(const std::vector<ColumnInfo> &columns)
    {
        for (int column = 0; column < int(columns.size()); ++column) {
            if (columns[std::size_t(column)].type == ColumnType::Empty)
                m_seen.push_back({column});
        }
    }

    bool any() const { return !m_seen.empty(); }

    void observe(const ResultCursor &cursor)
    {
        for (Seen &seen : m_seen) {
            const CellRef value = cursor.cell(seen.column);
            seen.observe(value.kind, value.data, value.size);
        }
    }

    void observe(const RowStore &rows, qsizetype row)
    {
        for (Seen &seen : m_seen) {
            const StoredCell &cell = rows.cell(row, seen.column);
            seen.observe(cell.kind, cell.data, cell.size);
        }
    }

    // The columns with the types seen; a description shared with other results is not changed.
    void apply(RecordsetData &data) const
    {
        if (m_seen.empty())
            return;
        std::vector<ColumnInfo> columns = data.columns();
        for (const Seen &seen : m_seen) {
            ColumnInfo &info = columns[std::size_t(seen.column)];
            if (seen.sawText || (!seen.sawInteger && !seen.sawReal && !seen.sawBlob)) {
                info.type = ColumnType::VarWChar;
                info.definedSize = seen.longest > 0 ? seen.longest : 255;
            } else if (seen.sawBlob) {
                info.type = ColumnType::LongVarBinary;
                info.definedSize = ColumnType::LongTextSize;
            } else if (seen.sawReal) {
                info.type = ColumnType::Double;
                info.definedSize = 8;
            } else {
                info.type = ColumnType::Integer;
                info.definedSize = 4;
            }
        }
        data.shape = std::make_shared<const ResultColumns>(std::move(columns));
    }

private:
    struct Seen
    {
        int column;
        bool sawInteger = false, sawReal = false, sawText = false, sawBlob = false;
        qsizetype longest = -1; // in characters, as the column's defined size counts them

        void observe(CellKind kind, const char *data, qsizetype size)
        {
            switch (kind) {
            case CellKind::Null:
                break;
            case CellKind::Integer:
                sawInteger = true;
                break;
            case CellKind::Real:
                sawReal = true;
                break;
            case CellKind::Blob:
                sawBlob = true;
                break;
            case CellKind::Text:
                sawText = true;
                longest = qMax(longest, QString::fromUtf8(data, size).size());
                break;
            }
        }
    };
    std::vector<Seen> m_seen;
};

void inferUndeclaredTypes(RecordsetData &data)
{
    UndeclaredTypes types(data.columns());
    if (!types.any())
        return;
    for (qsizetype row = 0; row < data.rows.rowCount(); ++row)
        types.observe(data.rows, row);
    types.apply(data);
}

DbError noConnection()
{
    return DbError(DbError::InvalidState,
                   QStringLiteral("The connection cannot be used to perform this operation. It "
                                  "is either closed or invalid in this context."),
                   kSource);
}

DbError notOpen()
{
    return DbError(DbError::InvalidState,
                   QStringLiteral("Operation is not allowed when the object is closed."), kSource);
}

} // namespace

Recordset::Recordset(QObject *parent)
    : QObject(parent)
{}

Recordset::~Recordset() = default;

void Recordset::setCursorLocation(int location)
{
    if (state() != 0)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Operation is not allowed when the object is open."), kSource);
    m_cursorLocation = location;
}

void Recordset::open(const QString &source, Connection *connection, int cursorType, int lockType,
                     int)
{
    if (state() != 0)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Operation is not allowed when the object is open."), kSource);
    if (!connection)
        throw noConnection();
    std::unique_ptr<ResultCursor> cursor = connection->openCursor(source);
    if (!cursor)
        return;
    if (cursor->columns().empty()) {
        cursor->next(); // a statement without rows runs for its effect only
        return;
    }
    auto data = std::make_shared<RecordsetData>(cursor->describedColumns());
    while (cursor->next())
        data->rows.appendFrom(*cursor);
    inferUndeclaredTypes(*data);

    m_cursorType = cursorType < 0 ? OpenForwardOnly : cursorType;
    m_lockType = lockType < 0 ? LockReadOnly : lockType;
    m_connection = connection;
    adopt(std::move(data));
}

std::unique_ptr<Recordset> Recordset::readPage(const QString &source, Connection *connection,
                                               int pageSize, qint64 &page, qint64 &pageCount)
{
    if (!connection)
        throw noConnection();
    if (pageSize < 1)
        throw DbError(DbError::InvalidState, QStringLiteral("The page size must be at least 1."),
                      kSource);
    std::unique_ptr<ResultCursor> cursor = connection->openCursor(source);
    if (cursor && cursor->columns().empty())
        cursor->next(); // a statement without rows runs for its effect only, and has no pages
    if (!cursor || cursor->columns().empty())
        throw notOpen();

    // Until the wanted page is reached, each page read replaces the one before: when the result
    // ends first, the last page is the one kept. Rows past the wanted page are only counted.
    const std::vector<ColumnInfo> &columns = cursor->columns();
    UndeclaredTypes types(columns);
    auto data = std::make_shared<RecordsetData>(cursor->describedColumns());
    const qint64 wanted = page > 0 ? page : std::numeric_limits<qint64>::max();
    qint64 rows = 0;
    while (cursor->next()) {
        if (types.any())
            types.observe(*cursor);
        if (rows / pageSize < wanted) {
            if (rows % pageSize == 0 && rows > 0)
                data->rows = RowStore(int(columns.size()));
            data->rows.appendFrom(*cursor);
        }
        ++rows;
    }
    types.apply(*data);
    cursor.reset();

    pageCount = (rows + pageSize - 1) / pageSize;
    if (page < 1 || page > pageCount)
        page = pageCount;
    return disconnected(std::move(data));
}

std::unique_ptr<Recordset> Recordset::disconnected(std::shared_ptr<RecordsetData> data)
{
    auto made = std::make_unique<Recordset>();
    made->m_cursorLocation = UseClient;
    made->m_cursorType = OpenStatic;
    made->m_lockType = LockBatchOptimistic;
    made->adopt(std::move(data));
    return made;
}

void Recordset::adopt(std::shared_ptr<RecordsetData> data)
{
    m_data = std::move(data);
    m_filter.clear();
    m_editMode = EditNone;
    resetView();
}

void Recordset::close()
{
    if (m_editMode != EditNone)
        cancelUpdate();
    m_data.reset();
    m_view.clear();
    m_filter.clear();
    m_position = 0;
    m_connection = nullptr;
}

QString Recordset::saveXml() const
{
    pugi::xml_document document;
    saveXml(document);
    return RecordsetXml::toText(document);
}

void Recordset::saveXml(pugi::xml_document &document) const
{
    requireOpen();
    RecordsetXml::save(*m_data, m_view, document);
}

void Recordset::openXml(const QString &xml)
{
    openXml(RecordsetXml::parse(xml));
}

void Recordset::openXml(const pugi::xml_document &document)
{
    if (state() != 0)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Operation is not allowed when the object is open."), kSource);
    auto data = RecordsetXml::load(document);
    m_cursorLocation = UseClient;
    m_cursorType = OpenStatic;
    m_lockType = LockBatchOptimistic;
    m_connection = nullptr;
    adopt(std::move(data));
}

void Recordset::setActiveConnection(Connection *connection)
{
    m_connection = connection;
}

void Recordset::requireOpen() const
{
    if (!m_data)
        throw notOpen();
}

void Recordset::requireCurrent() const
{
    requireOpen();
    if (bof() || eof())
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                     "deleted. Requested operation requires a current record."),
                      kSource);
}

void Recordset::requireChangeable() const
{
    requireOpen();
    if (m_lockType == LockReadOnly)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Current Recordset does not support updating. This may be a "
                                     "limitation of the provider, or of the selected locktype."),
                      kSource);
}

void Recordset::requireBackward() const
{
    if (m_cursorType == OpenForwardOnly)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Rowset does not support fetching backward."), kSource);
}

qsizetype Recordset::currentRow() const
{
    return qsizetype(m_view[std::size_t(m_position)]);
}

int Recordset::fieldCount() const
{
    return m_data ? int(m_data->columns().size()) : 0;
}

bool Recordset::hasField(const QString &name) const
{
    requireOpen();
    return m_data->indexOf(name) >= 0;
}

int Recordset::fieldIndex(const QString &name) const
{
    requireOpen();
    const int index = m_data->indexOf(name);
    if (index < 0)
        throw DbError(DbError::ItemNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the "
                                     "requested name or ordinal: %1")
                          .arg(name),
                      kSource);
    return index;
}

const ColumnInfo &Recordset::columnInfo(int index) const
{
    requireOpen();
    if (index < 0 || index >= fieldCount())
        throw DbError(DbError::ItemNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the "
                                     "requested name or ordinal: %1")
                          .arg(index),
                      kSource);
    return m_data->columns()[std::size_t(index)];
}

Field Recordset::field(int index)
{
    columnInfo(index);
    return Field(*this, index);
}

Field Recordset::field(const QString &name)
{
    return Field(*this, fieldIndex(name));
}

QVariant Recordset::value(int index) const
{
    const ColumnInfo &column = columnInfo(index);
    requireCurrent();
    return ValueConversion::toCallerValue(column, m_data->rows.ref(currentRow(), index));
}

QVariant Recordset::value(const QString &name) const
{
    return value(fieldIndex(name));
}

void Recordset::setValue(int index, const QVariant &value)
{
    const ColumnInfo &column = columnInfo(index);
    requireChangeable();
    requireCurrent();
    const QVariant stored = ValueConversion::toStorage(column, value);
    const qsizetype row = currentRow();
    if (m_editMode == EditNone) {
        m_original = m_data->rows.rowCells(row);
        m_changed.assign(m_data->columns().size(), false);
        m_editMode = EditInProgress;
    }
    m_data->rows.setStorageValue(row, index, stored);
    m_changed[std::size_t(index)] = true;
}

void Recordset::setValue(const QString &name, const QVariant &value)
{
    setValue(fieldIndex(name), value);
}

qint64 Recordset::recordCount() const
{
    return m_data ? qint64(m_view.size()) : -1;
}

bool Recordset::bof() const
{
    requireOpen();
    return m_view.empty() || m_position < 0;
}

bool Recordset::eof() const
{
    requireOpen();
    return m_view.empty() || m_position >= qsizetype(m_view.size());
}

void Recordset::moveFirst()
{
    requireOpen();
    finishPendingEdit();
    m_position = 0;
}

void Recordset::moveNext()
{
    requireOpen();
    if (eof())
        requireCurrent();
    finishPendingEdit();
    ++m_position;
}

void Recordset::movePrevious()
{
    requireOpen();
    requireBackward();
    if (bof())
        requireCurrent();
    finishPendingEdit();
    --m_position;
}

void Recordset::moveLast()
{
    requireOpen();
    finishPendingEdit();
    m_position = m_view.empty() ? 0 : qsizetype(m_view.size()) - 1;
}

void Recordset::move(qint64 records)
{
    requireOpen();
    if (records < 0)
        requireBackward();
    if (m_view.empty())
        requireCurrent();
    finishPendingEdit();
    const qint64 target = qint64(m_position) + records;
    m_position = qsizetype(qBound<qint64>(-1, target, qint64(m_view.size())));
}

qint64 Recordset::absolutePosition() const
{
    requireOpen();
    if (m_view.empty())
        return PositionUnknown;
    if (bof())
        return PositionBof;
    if (eof())
        return PositionEof;
    return m_position + 1;
}

void Recordset::setAbsolutePosition(qint64 position)
{
    requireOpen();
    if (position < 1 || position > qint64(m_view.size()))
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Record %1 does not exist (%2 records).")
                          .arg(position)
                          .arg(m_view.size()),
                      kSource);
    if (position - 1 < m_position)
        requireBackward();
    finishPendingEdit();
    m_position = qsizetype(position - 1);
}

void Recordset::setPageSize(int size)
{
    if (size < 1)
        throw DbError(DbError::InvalidState, QStringLiteral("The page size must be at least 1."),
                      kSource);
    m_pageSize = size;
}

qint64 Recordset::pageCount() const
{
    requireOpen();
    return (qint64(m_view.size()) + m_pageSize - 1) / m_pageSize;
}

qint64 Recordset::absolutePage() const
{
    const qint64 position = absolutePosition();
    if (position < 1)
        return position;
    return (position - 1) / m_pageSize + 1;
}

void Recordset::setAbsolutePage(qint64 page)
{
    if (page < 1 || page > pageCount())
        throw DbError(
            DbError::InvalidState,
            QStringLiteral("Page %1 does not exist (%2 pages).").arg(page).arg(pageCount()),
            kSource);
    setAbsolutePosition((page - 1) * m_pageSize + 1);
}

bool Recordset::writesThrough() const
{
    return !m_connection.isNull();
}

void Recordset::addNew()
{
    requireChangeable();
    finishPendingEdit();
    const qsizetype row = m_data->rows.appendRow();
    m_positionBeforeAdd = m_position;
    m_view.push_back(quint32(row));
    m_position = qsizetype(m_view.size()) - 1;
    m_original.clear();
    m_changed.assign(m_data->columns().size(), false);
    m_editMode = EditAdd;
}

void Recordset::update()
{
    requireOpen();
    if (m_editMode == EditNone)
        return;
    requireCurrent();
    if (writesThrough()) {
        // On failure the change stays pending: the caller may correct it or cancel it.
        RecordsetWriter writer(m_connection->driver(), *m_data);
        if (m_editMode == EditAdd)
            writer.insert(currentRow(), m_changed);
        else
            writer.update(currentRow(), m_original, m_changed);
    }
    m_editMode = EditNone;
    m_original.clear();
}

void Recordset::cancelUpdate()
{
    requireOpen();
    if (m_editMode == EditAdd) {
        m_data->rows.markDeleted(currentRow());
        m_view.erase(m_view.begin() + m_position);
        m_position = qMin(m_positionBeforeAdd, qsizetype(m_view.size()));
    } else if (m_editMode == EditInProgress) {
        m_data->rows.restoreRow(currentRow(), m_original);
    }
    m_editMode = EditNone;
    m_original.clear();
}

void Recordset::deleteCurrent()
{
    requireChangeable();
    requireCurrent();
    if (m_editMode != EditNone) {
        const bool wasAdded = m_editMode == EditAdd;
        cancelUpdate();
        if (wasAdded)
            return; // the added record never reached the database
    }
    const qsizetype row = currentRow();
    if (writesThrough())
        RecordsetWriter(m_connection->driver(), *m_data).remove(m_data->rows.rowCells(row));
    m_data->rows.markDeleted(row);
    m_view.erase(m_view.begin() + m_position);
}

void Recordset::finishPendingEdit()
{
    if (m_editMode != EditNone)
        update();
}

void Recordset::resetView()
{
    m_view.clear();
    const qsizetype rows = m_data->rows.rowCount();
    m_view.reserve(std::size_t(rows));
    if (m_filter.isEmpty()) {
        for (qsizetype row = 0; row < rows; ++row) {
            if (!m_data->rows.isDeleted(row))
                m_view.push_back(quint32(row));
        }
    } else {
        const RecordsetFilter filter(m_filter, *m_data);
        for (qsizetype row = 0; row < rows; ++row) {
            if (!m_data->rows.isDeleted(row) && filter.matches(*m_data, row))
                m_view.push_back(quint32(row));
        }
    }
    m_position = 0;
}

void Recordset::setFilter(const QString &expression)
{
    requireOpen();
    finishPendingEdit();
    const QString previous = m_filter;
    m_filter = expression.trimmed();
    try {
        resetView();
    } catch (const DbError &) {
        m_filter = previous;
        resetView();
        throw;
    }
}

void Recordset::keepRows(const QString &source, const QString &table) const
{
    requireOpen();
    if (m_connection && m_connection->state() == Connection::StateOpen)
        m_connection->driver().keepRead(source, table, m_data);
}

bool Recordset::openKept(const QString &source, Connection *connection)
{
    if (state() != 0)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("Operation is not allowed when the object is open."), kSource);
    if (!connection || connection->state() != Connection::StateOpen)
        return false;
    std::shared_ptr<RecordsetData> kept = connection->driver().keptRead(source);
    if (!kept)
        return false;
    m_cursorLocation = UseClient;
    m_cursorType = OpenStatic;
    m_lockType = LockReadOnly;
    m_connection = connection;
    adopt(std::move(kept));
    return true;
}

std::unique_ptr<Recordset> Recordset::clone() const
{
    // An empty slice has this one's settings; it then takes every row in view.
    std::unique_ptr<Recordset> copy = slice(0, 0);
    copy->adopt(m_data);
    return copy;
}

std::unique_ptr<Recordset> Recordset::slice(qint64 first, qint64 count) const
{
    requireOpen();
    // Only the slice's own positions are set up: a page costs the same in any size of result.
    auto page = std::make_unique<Recordset>();
    page->m_cursorLocation = m_cursorLocation;
    page->m_cursorType = m_cursorType;
    page->m_lockType = m_lockType;
    page->m_pageSize = m_pageSize;
    page->m_connection = m_connection;
    page->m_data = m_data;
    const qint64 size = qint64(m_view.size());
    const qint64 from = std::clamp<qint64>(first, 0, size);
    const qint64 to = std::clamp<qint64>(from + std::max<qint64>(count, 0), from, size);
    page->m_view.assign(m_view.begin() + from, m_view.begin() + to);
    page->m_position = 0;
    return page;
}

std::unique_ptr<Recordset> Recordset::takeRecords(qint64 count)
{
    requireOpen();
    if (m_editMode != EditNone)
        cancelUpdate(); // as close() would
    const auto visible = qsizetype(m_view.size());
    const qsizetype first = qBound(qsizetype(0), m_position, visible);
    const qsizetype last = first + qsizetype(qBound<qint64>(0, count, qint64(visible - first)));
    std::shared_ptr<RecordsetData> data;
    if (first == 0 && last == m_data->rows.rowCount() && m_filter.isEmpty()
        && m_data.use_count() == 1) {
        data = std::move(m_data);
    } else {
        data = std::make_shared<RecordsetData>(m_data->shape);
        for (qsizetype position = first; position < last; ++position)
            data->rows.appendCopy(m_data->rows, qsizetype(m_view[std::size_t(position)]));
    }
    close();
    return disconnected(std::move(data));
}

} // namespace perikon::db
