#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>

#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace perikon::controls::internal {

// The host's alignment codes: 0-8 walk left/centre/right in steps of three, top/centre/bottom
// within each step; 9 is "general" (left for text, right for numbers).
std::optional<Qt::Alignment> alignmentOfCode(int code);
Qt::Alignment generalAlignment(const QString &text);

// The cells of a host grid in host numbering: row 0 the header row, column 0 the row-number
// column, stored flat and row-major so a bulk fill costs one string assignment per cell.
// Views see row 0 as horizontal header data, column 0 as vertical header data, and host cell
// (r, c) for r, c >= 1 as model cell (r - 1, c - 1).
//
// While redraw is off the model tells its views nothing: they keep the shape they were last given,
// and switching redraw on publishes the new shape as row/column insertions or removals at the end,
// followed by one dataChanged over the rows written meanwhile.
class HostGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit HostGridModel(QObject *parent = nullptr);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void resize(int rows, int cols);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    void setRowTexts(int row, const QStringList &texts, int firstCol);
    // Column 0 as the view shows it: the row's own number unless text was written there.
    QString displayText(int row, int col) const;

    // Puts data row newOrder[i] (host numbering) at row i + 1, every cell but column 0's moving
    // with its row, formats included. False, nothing moved, unless newOrder holds each data row
    // exactly once. With redraw on the views get one layout change and keep their current and
    // selected cells on the rows that moved.
    bool permuteRows(std::span<const int> newOrder);

    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    void setColAlignment(int col, Qt::Alignment alignment);
    void setCellForeColor(int row, int col, const QColor &color);
    void setBackColor(const QColor &color);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // After the views were told of a new shape or a bulk of new texts.
    void published(bool shapeChanged);

private:
    struct CellFormat
    {
        std::optional<Qt::Alignment> alignment;
        QColor foreColor;
    };

    static quint64 cellKey(int row, int col)
    {
        return (quint64(quint32(row)) << 32) | quint32(col);
    }
    bool inRange(int row, int col) const
    {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }
    void noteWritten(int row, int col);
    void markWritten(int row, int col);
    void publish();
    void publishShape();
    QVariant alignmentAt(int row, int col) const;

    // Where a cell's text is kept: data columns of a row through the row's slot (rows reordered
    // by permuteRows), the header row and the row-number column in place.
    size_t cellIndex(int row, int col) const
    {
        const int stored = m_slots.empty() || row == 0 || col == 0 ? row : m_slots[size_t(row)];
        return size_t(stored) * size_t(m_cols) + size_t(col);
    }
    // Puts every row's texts where its own number says, so the slots are the identity again.
    void settleRows();

    std::vector<QString> m_texts;
    // The stored row of each shown row after a reorder; empty while they are the same. A sort
    // reorders these numbers rather than the rows' texts.
    std::vector<int> m_slots;
    int m_rows = 0;
    int m_cols = 0;
    // The shape the views were last told of.
    int m_shownRows = 0;
    int m_shownCols = 0;
    bool m_redraw = true;
    // Rows written while redraw was off, inclusive; empty when m_firstDirty > m_lastDirty.
    static constexpr int kNoDirtyRow = std::numeric_limits<int>::max();
    int m_firstDirty = kNoDirtyRow;
    int m_lastDirty = 0;
    bool m_headerDirty = false;
    bool m_numbersDirty = false;

    QHash<quint64, CellFormat> m_cellFormats;
    std::vector<std::optional<Qt::Alignment>> m_colAlignments;
    QColor m_backColor = Qt::white;
};

} // namespace perikon::controls::internal
