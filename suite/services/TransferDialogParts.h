#pragma once

#include <QString>

class QAbstractItemModel;
class QDialog;
class QDialogButtonBox;
class QLayout;
class QPushButton;
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

// The buttons both dialogs have: objectNames `namePrefix` + "Add", "Remove", "OK", "Cancel", texts
// "K2.Suite.<textPrefix>." + the same words. Read-only, Enter closes the dialog like Cancel:
// there is nothing to take over.
struct PickButtons
{
    QPushButton *add = nullptr;
    QPushButton *remove = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    QDialogButtonBox *box = nullptr;
};
PickButtons pickButtons(QDialog *dialog, const QString &namePrefix, const QString &textPrefix,
                        bool editable);

// What may be picked (under its own rows `pickRows`) on the left, what is chosen on the right,
// Add and Remove between them, a note ("K2.Suite.<textPrefix>.ReadOnly") when read-only, and the
// dialog's buttons under it all.
void layOutPickDialog(QDialog *dialog, const PickButtons &buttons, const QString &textPrefix,
                      QLayout *pickRows, QWidget *available, QWidget *chosen, bool editable);

} // namespace perikon::suite::internal
