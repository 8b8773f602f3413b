#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace perikon::suite::internal {

// What the related-persons and dimension dialogs share in how they look.

// A resource text in the session language.
QString dialogText(const char *key);
// `key`'s text with %1 filled in, shown in the suite's message box instead of a dialog that
// cannot open.
void showDialogProblem(const char *key, const QString &detail = {});

// A grid of whole rows: several may be selected, none edited by typing, no row numbers, the
// last column stretched.
QTableView *pickGrid(const QString &objectName, QAbstractItemModel *model, QWidget *parent);

// Columns wide enough for their captions and contents, with room for the sort arrow.
void fitColumns(QTableView *grid);

} // namespace perikon::suite::internal
