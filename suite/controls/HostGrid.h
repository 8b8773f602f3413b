#pragma once

#include "suite/controls/ControlsExport.h"

#include <QColor>
#include <QPoint>
#include <QStringList>
#include <QTableView>

#include <span>
#include <vector>

class QLabel;

namespace perikon::controls {

namespace internal {
class HostGridModel;
}

// The host's grid: one table view over one model of its own, addressed in host numbering. Row 0 is
// the header row (the horizontal header, so it stays in view), column 0 the row-number column (the
// vertical header); host cell (r, c) for r, c >= 1 is model cell (r - 1, c - 1). Cell (0, 0) is the
// corner text. Colours come in the host's blue-green-red order (0xBBGGRR).
class PERIKON_CONTROLS_EXPORT HostGrid : public QTableView
{
    Q_OBJECT
public:
    explicit HostGrid(QWidget *parent = nullptr);
    ~HostGrid() override;

    // Counts include row 0 and column 0. Shrinking drops cells, growing adds empty ones.
    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);

    // Out of range: writes are ignored, reads give empty text.
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // Writes texts[i] into column firstCol + i of one row; cells past the last column are ignored.
    void setRowTexts(int row, const QStringList &texts, int firstCol = 1);

    // Reorders the data rows: row newOrder[i] becomes row i + 1. Every cell moves with its row
    // except the row-number column's; the header stays, and the current row follows its
    // contents. Ignored unless newOrder names each data row exactly once.
    void permuteRows(std::span<const int> newOrder);

    // The current cell in host numbering; row 0 when no data row is current.
    int Row() const { return m_row; }
    void setRow(int row);
    int Col() const { return m_col; }
    void setCol(int col);
    // The first data row in view (0 without data rows); setting it scrolls.
    int TopRow() const;
    void setTopRow(int row);

    // 0 or 1. FixedRows 1 keeps Rows at least 1; FixedCols 0 hides the row-number column.
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int fixedRows);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int fixedCols);

    // Off: writes reach the cells but the views hear nothing of them, so nothing repaints; on
    // again: everything written meanwhile is shown at once.
    bool Redraw() const;
    void setRedraw(bool on);

    // The host's alignment codes 0-9 (see alignmentOfCode); other codes are ignored. Row 0 aligns
    // that header section, column 0 the row-number cell.
    void setCellAlignment(int row, int col, int code);
    // The data rows of a column; the header keeps its own (setCellAlignment(0, col, code)).
    void setColAlignment(int col, int code);

    // Column 0 is the row-number column. A negative width restores the default.
    int ColWidth(int col) const;
    void setColWidth(int col, int pixels);
    // Where column `col` stands on screen, in host numbering (column 0 always at 0); the operator
    // may drag columns when the header's sections are movable. Setting it moves the column.
    int ColPosition(int col) const;
    void setColPosition(int col, int position);
    // What a column shows (e.g. the field it was laid out for), so its width and place can be
    // kept under that name; empty unless set.
    QString ColKey(int col) const;
    void setColKey(int col, const QString &key);

    void setBackColor(int bgr);
    void setBackColorBkg(int bgr);
    void setBackColorFixed(int bgr);
    void setBackColorSel(int bgr);
    void setForeColorSel(int bgr);
    void setGridColor(int bgr);
    void setGridColorFixed(int bgr);
    void setCellForeColor(int row, int col, int bgr);
    static QColor fromBgr(int bgr);

    // For scripts: row 0 of every column (column 0 included), a row's texts as shown (column 0 its
    // number), and the number of data rows.
    QStringList headerTexts() const;
    QStringList rowTexts(int row) const;
    int dataRowCount() const { return qMax(Rows() - 1, 0); }

signals:
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);
    // A row or column of -1: the press was beside the cells.
    void rightClicked(int row, int col, QPoint globalPos);
    void keyPressed(int key, Qt::KeyboardModifiers mods);
    void rowColChanged(int row, int col);

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void resizeCells(int rows, int cols);
    void afterPublish(bool shapeChanged);
    void showCurrentInView();
    void onViewCurrentChanged(const QModelIndex &current);
    void setCurrentCell(int row, int col);
    void applyColWidth(int col);
    void applyLook();
    void applyRowHeight();
    void updateCorner();

    internal::HostGridModel *m_model = nullptr;
    QLabel *m_corner = nullptr;
    int m_row = 0;
    int m_col = 0;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    // While the grid reshapes itself the view's own moves of its current index are not the
    // operator's.
    bool m_reshaping = false;
    std::vector<int> m_colWidths;   // per host column, -1 for the default
    std::vector<QString> m_colKeys; // per host column

    QColor m_backColorBkg = Qt::white;
    QColor m_backColorFixed = QColor(0xf0, 0xf0, 0xf0);
    QColor m_backColorSel = QColor(0x31, 0x6a, 0xc5);
    QColor m_foreColorSel = Qt::white;
    QColor m_gridColor = QColor(0xc0, 0xc0, 0xc0);
    QColor m_gridColorFixed = QColor(0x80, 0x80, 0x80);
};

} // namespace perikon::controls
