#pragma once

#include "suite/services/TransferDialogData.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace perikon::suite {

// The related persons of one contact: the suite's users on the left, narrowed by the filter
// line, the users bound to the contact on the right with whether each may change it (checked)
// or only read it. Add, a double click or Enter in the filter line binds the selected users;
// a user already bound is not offered. Without the right to edit, the dialog only shows.
// Children: "RelFilter", "RelAvailable", "RelChosen", "RelAdd", "RelRemove", "RelOK",
// "RelCancel".
class RelatedPersonDialog : public QDialog
{
    Q_OBJECT
public:
    // `users` are all users of the system (disabled ones are never offered); `persons` the
    // bound users to start with, their names taken from `users` when they carry none.
    RelatedPersonDialog(QList<SuiteUser> users, const QList<RelatedPerson> &persons, bool editable,
                        QWidget *parent = nullptr);
    ~RelatedPersonDialog() override;

    // The bound users as the grid shows them, top to bottom.
    QList<RelatedPerson> persons() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addSelected();
    void removeSelected();
    void appendPerson(const RelatedPerson &person);
    void refillAvailable();
    void updateButtons();

    QList<SuiteUser> m_users;
    bool m_editable;
    QStandardItemModel *m_available;
    QSortFilterProxyModel *m_availableShown;
    QStandardItemModel *m_chosen;
    QLineEdit *m_filter;
    QTableView *m_availableGrid;
    QTableView *m_chosenGrid;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace perikon::suite
