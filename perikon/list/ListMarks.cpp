#include "perikon/list/ListMarks.h"

#include "suite/controls/HostGrid.h"

namespace perikon::list {

namespace {
const QChar kCheck = QChar(0x221A);
}

bool isMarked(const QString &selectionText)
{
    return selectionText.contains(kCheck);
}

bool startsMarked(const QString &selectionText)
{
    return selectionText.startsWith(kCheck);
}

void markAllRows(controls::HostGrid &grid)
{
    const bool redraw = grid.Redraw();
    grid.setRedraw(false);
    for (int row = 1; row < grid.Rows(); ++row) {
        if (!isMarked(grid.TextMatrix(row, kMarkColumn)))
            grid.setTextMatrix(row, kMarkColumn, kMarkText);
    }
    grid.setRedraw(redraw);
}

void clearAllMarks(controls::HostGrid &grid)
{
    const bool redraw = grid.Redraw();
    grid.setRedraw(false);
    for (int row = 1; row < grid.Rows(); ++row)
        grid.setTextMatrix(row, kMarkColumn, QString());
    grid.setRedraw(redraw);
}

void markCurrentRow(controls::HostGrid &grid)
{
    if (grid.Row() == 0 && grid.Rows() > 1)
        grid.setRow(1);
    if (grid.Row() > 0)
        grid.setTextMatrix(grid.Row(), kMarkColumn, kMarkText);
}

void unmarkCurrentRow(controls::HostGrid &grid)
{
    const int row = grid.Row();
    if (row > 0 && isMarked(grid.TextMatrix(row, kMarkColumn)))
        grid.setTextMatrix(row, kMarkColumn, QString());
}

void toggleCurrentRow(controls::HostGrid &grid)
{
    const int row = grid.Row();
    if (row <= 0)
        return;
    if (isMarked(grid.TextMatrix(row, kMarkColumn)))
        unmarkCurrentRow(grid);
    else
        markCurrentRow(grid);
}

QList<int> markedRows(const controls::HostGrid &grid, bool markFirst)
{
    QList<int> rows;
    for (int row = 1; row < grid.Rows(); ++row) {
        const QString text = grid.TextMatrix(row, kMarkColumn);
        if (markFirst ? startsMarked(text) : isMarked(text))
            rows.append(row);
    }
    return rows;
}

} // namespace perikon::list
