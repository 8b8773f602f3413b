#pragma once

#include "suite/services/TransferDialogData.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace perikon::suite {

// The data-authorization dimensions granted on one contact: a dimension type, its values
// narrowed by the filter line, and the grants. Add, a double click or Enter in the filter line
// grants the selected values; a value already granted is not offered. Without the right to
// edit, the dialog only shows. Children: "DimType", "DimFilter", "DimValues", "DimChosen",
// "DimAdd", "DimRemove", "DimOK", "DimCancel".
class DimensionPrivilegeDialog : public QDialog
{
    Q_OBJECT
public:
    // `grants` to start with; names they lack are taken from the catalogue.
    DimensionPrivilegeDialog(DimensionCatalogue catalogue, const QList<DimensionGrant> &grants,
                             bool editable, QWidget *parent = nullptr);
    ~DimensionPrivilegeDialog() override;

    // The grants as the grid shows them, top to bottom.
    QList<DimensionGrant> grants() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString currentType() const;
    void addSelected();
    void removeSelected();
    void appendGrant(const DimensionGrant &grant);
    void refillValues();
    void updateButtons();

    DimensionCatalogue m_catalogue;
    bool m_editable;
    QStandardItemModel *m_values;
    QSortFilterProxyModel *m_valuesShown;
    QStandardItemModel *m_chosen;
    QComboBox *m_type;
    QLineEdit *m_filter;
    QTableView *m_valueGrid;
    QTableView *m_chosenGrid;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace perikon::suite
