#include "suite/controls/HostGridModel.h"

#include <algorithm>
#include <numeric>

namespace perikon::controls::internal {

std::optional<Qt::Alignment> alignmentOfCode(int code)
{
    static constexpr Qt::AlignmentFlag horizontal[]
        = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::AlignmentFlag vertical[]
        = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (code < 0 || code > 9)
        return std::nullopt;
    if (code == 9)
        return Qt::Alignment(); // general: decided per cell from its text
    return horizontal[code / 3] | vertical[code % 3];
}

// Numbers as the list shows them: an optional sign, digits with group separators and a decimal
// point, an optional percent sign.
static bool looksNumeric(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        text = text.mid(1);
    if (text.endsWith(u'%'))
        text.chop(1);
    bool digit = false;
    for (const QChar ch : text) {
        if (ch >= u'0' && ch <= u'9')
            digit = true;
        else if (ch != u',' && ch != u'.')
            return false;
    }
    return digit;
}

Qt::Alignment generalAlignment(const QString &text)
{
    return (looksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

HostGridModel::HostGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void HostGridModel::resize(int rows, int cols)
{
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == m_rows && cols == m_cols)
        return;
    settleRows();
    const int oldRows = m_rows;
    const int oldCols = m_cols;
    if (cols != m_cols) {
        std::vector<QString> texts(size_t(rows) * size_t(cols));
        const int keepRows = std::min(rows, m_rows);
        const int keepCols = std::min(cols, m_cols);
        for (int r = 0; r < keepRows; ++r) {
            for (int c = 0; c < keepCols; ++c)
                texts[size_t(r) * cols + c] = std::move(m_texts[size_t(r) * m_cols + c]);
        }
        m_texts = std::move(texts);
        m_colAlignments.resize(size_t(cols));
        m_firstDirty = 1;
        m_lastDirty = std::max(rows - 1, m_lastDirty);
        m_headerDirty = true;
    } else {
        m_texts.resize(size_t(rows) * size_t(cols));
        if (rows > oldRows) {
            // Rows the views may still show from before a shrink now hold new, empty cells.
            m_firstDirty = std::min(m_firstDirty, std::max(oldRows, 1));
            m_lastDirty = std::max(m_lastDirty, rows - 1);
        }
    }
    m_rows = rows;
    m_cols = cols;
    m_numbersDirty = true;
    if (rows < oldRows || cols < oldCols) {
        for (auto it = m_cellFormats.begin(); it != m_cellFormats.end();) {
            if (inRange(int(it.key() >> 32), int(it.key() & 0xffffffffu)))
                ++it;
            else
                it = m_cellFormats.erase(it);
        }
    }
    if (m_redraw)
        publish();
}

QString HostGridModel::text(int row, int col) const
{
    return inRange(row, col) ? m_texts[cellIndex(row, col)] : QString();
}

QString HostGridModel::displayText(int row, int col) const
{
    if (!inRange(row, col))
        return {};
    const QString &stored = m_texts[cellIndex(row, col)];
    if (col == 0 && row > 0 && stored.isEmpty())
        return QString::number(row);
    return stored;
}

void HostGridModel::noteWritten(int row, int col)
{
    if (row == 0) {
        m_headerDirty = true;
    } else if (col == 0) {
        m_numbersDirty = true;
    } else {
        m_firstDirty = std::min(m_firstDirty, row);
        m_lastDirty = std::max(m_lastDirty, row);
    }
}

void HostGridModel::markWritten(int row, int col)
{
    noteWritten(row, col);
    if (!m_redraw)
        return;
    // Redraw on: tell the views about this one cell right away.
    if (row == 0 && col > 0 && col < m_shownCols)
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    else if (col == 0 && row > 0 && row < m_shownRows)
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    else if (row > 0 && col > 0 && row < m_shownRows && col < m_shownCols)
        emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
    m_firstDirty = kNoDirtyRow;
    m_lastDirty = 0;
    m_headerDirty = m_numbersDirty = false;
}

void HostGridModel::setText(int row, int col, const QString &text)
{
    if (!inRange(row, col))
        return;
    m_texts[cellIndex(row, col)] = text;
    markWritten(row, col);
}

void HostGridModel::setRowTexts(int row, const QStringList &texts, int firstCol)
{
    if (row < 0 || row >= m_rows || texts.isEmpty())
        return;
    const int from = std::max(firstCol, 0);
    const int to = std::min<qsizetype>(m_cols, qsizetype(firstCol) + texts.size());
    if (from >= to)
        return;
    for (int c = from; c < to; ++c)
        m_texts[cellIndex(row, c)] = texts.at(c - firstCol);
    for (int c = from; c < to; ++c)
        noteWritten(row, c);
    if (m_redraw)
        publish();
}

void HostGridModel::settleRows()
{
    if (m_slots.empty())
        return;
    std::vector<QString> texts(m_texts.size());
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_cols; ++c)
            texts[size_t(r) * size_t(m_cols) + size_t(c)] = std::move(m_texts[cellIndex(r, c)]);
    }
    m_texts.swap(texts);
    m_slots.clear();
}

bool HostGridModel::permuteRows(std::span<const int> newOrder)
{
    const int dataRows = m_rows - 1;
    if (dataRows < 1 || qsizetype(newOrder.size()) != dataRows)
        return false;
    std::vector<int> newRowOf(size_t(m_rows), 0);
    for (int i = 0; i < dataRows; ++i) {
        const int from = newOrder[size_t(i)];
        if (from < 1 || from >= m_rows || newRowOf[size_t(from)] != 0)
            return false;
        newRowOf[size_t(from)] = i + 1;
    }
    const bool tellViews = m_redraw;
    if (tellViews)
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    // Only the slots move: a sort touches a few bytes per row, not every text of the page.
    if (m_slots.empty()) {
        m_slots.resize(size_t(m_rows));
        std::iota(m_slots.begin(), m_slots.end(), 0);
    }
    std::vector<int> reordered(m_slots.size());
    for (int r = 1; r < m_rows; ++r)
        reordered[size_t(r)] = m_slots[size_t(newOrder[size_t(r - 1)])];
    m_slots.swap(reordered);

    if (!m_cellFormats.isEmpty()) {
        QHash<quint64, CellFormat> moved;
        moved.reserve(m_cellFormats.size());
        for (auto it = m_cellFormats.cbegin(); it != m_cellFormats.cend(); ++it) {
            const int row = int(it.key() >> 32);
            const int col = int(it.key() & 0xffffffffu);
            const bool moves = row > 0 && col > 0;
            moved.insert(cellKey(moves ? newRowOf[size_t(row)] : row, col), it.value());
        }
        m_cellFormats.swap(moved);
    }

    if (tellViews) {
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex &index : from)
            to.append(this->index(newRowOf[size_t(index.row() + 1)] - 1, index.column()));
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    } else {
        m_firstDirty = 1;
        m_lastDirty = std::max(m_lastDirty, m_rows - 1);
    }
    return true;
}

void HostGridModel::setRedraw(bool on)
{
    if (m_redraw == on)
        return;
    m_redraw = on;
    if (on)
        publish();
}

void HostGridModel::publishShape()
{
    const int oldCols = std::max(m_shownCols - 1, 0);
    const int newCols = std::max(m_cols - 1, 0);
    if (newCols > oldCols) {
        beginInsertColumns({}, oldCols, newCols - 1);
        m_shownCols = m_cols;
        endInsertColumns();
    } else if (newCols < oldCols) {
        beginRemoveColumns({}, newCols, oldCols - 1);
        m_shownCols = m_cols;
        endRemoveColumns();
    }
    m_shownCols = m_cols;

    const int oldRows = std::max(m_shownRows - 1, 0);
    const int newRows = std::max(m_rows - 1, 0);
    if (newRows > oldRows) {
        beginInsertRows({}, oldRows, newRows - 1);
        m_shownRows = m_rows;
        endInsertRows();
    } else if (newRows < oldRows) {
        beginRemoveRows({}, newRows, oldRows - 1);
        m_shownRows = m_rows;
        endRemoveRows();
    }
    m_shownRows = m_rows;
}

void HostGridModel::publish()
{
    const bool shapeChanged = m_shownRows != m_rows || m_shownCols != m_cols;
    publishShape();
    const int modelRows = rowCount();
    const int modelCols = columnCount();
    const int first = std::max(m_firstDirty, 1) - 1;
    const int last = std::min(m_lastDirty - 1, modelRows - 1);
    if (modelCols > 0 && first <= last)
        emit dataChanged(index(first, 0), index(last, modelCols - 1));
    if (m_headerDirty && modelCols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, modelCols - 1);
    if (m_numbersDirty && modelRows > 0)
        emit headerDataChanged(Qt::Vertical, 0, modelRows - 1);
    m_firstDirty = kNoDirtyRow;
    m_lastDirty = 0;
    m_headerDirty = m_numbersDirty = false;
    emit published(shapeChanged);
}

void HostGridModel::setCellAlignment(int row, int col, Qt::Alignment alignment)
{
    if (!inRange(row, col))
        return;
    m_cellFormats[cellKey(row, col)].alignment = alignment;
    markWritten(row, col);
}

void HostGridModel::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= m_cols)
        return;
    m_colAlignments[size_t(col)] = alignment;
    if (col == 0) {
        m_numbersDirty = true;
    } else {
        m_firstDirty = 1;
        m_lastDirty = std::max(m_lastDirty, m_rows - 1);
    }
    if (m_redraw)
        publish();
}

void HostGridModel::setCellForeColor(int row, int col, const QColor &color)
{
    if (!inRange(row, col))
        return;
    m_cellFormats[cellKey(row, col)].foreColor = color;
    markWritten(row, col);
}

void HostGridModel::setBackColor(const QColor &color)
{
    m_backColor = color;
    m_firstDirty = 1;
    m_lastDirty = std::max(m_lastDirty, m_rows - 1);
    if (m_redraw)
        publish();
}

int HostGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(m_shownRows - 1, 0);
}

int HostGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(m_shownCols - 1, 0);
}

QVariant HostGridModel::alignmentAt(int row, int col) const
{
    const auto format = m_cellFormats.constFind(cellKey(row, col));
    std::optional<Qt::Alignment> alignment;
    if (format != m_cellFormats.cend())
        alignment = format->alignment;
    if (!alignment && row > 0 && col < int(m_colAlignments.size()))
        alignment = m_colAlignments[size_t(col)];
    if (!alignment) // the header keeps its own default
        return row == 0 || col == 0 ? QVariant() : QVariant(generalAlignment(text(row, col)));
    if (*alignment == Qt::Alignment())
        return QVariant(generalAlignment(text(row, col)));
    return QVariant(*alignment);
}

QVariant HostGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return text(row, col);
    case Qt::TextAlignmentRole:
        return alignmentAt(row, col);
    case Qt::BackgroundRole:
        return m_backColor;
    case Qt::ForegroundRole: {
        const auto format = m_cellFormats.constFind(cellKey(row, col));
        if (format != m_cellFormats.cend() && format->foreColor.isValid())
            return format->foreColor;
        return {};
    }
    default:
        return {};
    }
}

QVariant HostGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int row = orientation == Qt::Horizontal ? 0 : section + 1;
    const int col = orientation == Qt::Horizontal ? section + 1 : 0;
    if (section < 0 || !inRange(row, col))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(row, col);
    case Qt::TextAlignmentRole:
        return alignmentAt(row, col);
    case Qt::ForegroundRole: {
        const auto format = m_cellFormats.constFind(cellKey(row, col));
        if (format != m_cellFormats.cend() && format->foreColor.isValid())
            return format->foreColor;
        return {};
    }
    default:
        return {};
    }
}

Qt::ItemFlags HostGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace perikon::controls::internal
