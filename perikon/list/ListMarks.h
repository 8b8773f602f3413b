#pragma once

// Row marks of the list: the selection column (grid column 1) of a marked data row holds "√ "; the
// commands that act on several contacts read them.

#include <QString>

namespace perikon::controls {
class HostGrid;
}

namespace perikon::list {

inline constexpr int kMarkColumn = 1;
// The mark with its blank, as every reader of the column expects it.
inline const QString kMarkText = QStringLiteral("√ ");

// A row counts as marked when its selection text holds the check; a delete run wants it first.
bool isMarked(const QString &selectionText);
bool startsMarked(const QString &selectionText);

// Marks every data row not yet marked.
void markAllRows(controls::HostGrid &grid);
// Empties the selection column of every data row.
void clearAllMarks(controls::HostGrid &grid);
// Marks the current row; with the header current and rows present, the first row becomes current.
void markCurrentRow(controls::HostGrid &grid);
// Unmarks the current data row when it is marked.
void unmarkCurrentRow(controls::HostGrid &grid);
// A click on a data row: marks it, or unmarks it when it was marked.
void toggleCurrentRow(controls::HostGrid &grid);
// The data rows (1-based) that are marked, in grid order.
QList<int> markedRows(const controls::HostGrid &grid, bool markFirst = false);

} // namespace perikon::list
