#pragma once

#include "suite/services/filter/FilterSql.h"

#include <QDialog>
#include <QList>

#include <optional>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace perikon::suite::filter {

// The operator's filter: rows of field, comparison and value, each joined to the next by And or
// Or. A row whose comparison needs a value and has none counts as not set. OK refuses a value its
// field cannot take and says why under the rows. Children: per row i "cboField_i",
// "cboOperator_i", "txtValue_i", "cboJoin_i" (to the next row); "cmdAddRow", "cmdRemoveRow",
// "cmdClear", "cmdOK", "cmdCancel", "lblMessage".
class FilterDialog : public QDialog
{
    Q_OBJECT
public:
    FilterDialog(QList<FilterField> fields, const QList<FilterRow> &rows, const QString &language,
                 QWidget *parent = nullptr);
    ~FilterDialog() override;

    // The rows set, in order (after OK: checked).
    QList<FilterRow> filterRows() const;
    int rowCount() const { return int(m_rows.size()); }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct RowWidgets
    {
        QComboBox *field = nullptr;
        QComboBox *op = nullptr;
        QLineEdit *value = nullptr;
        QComboBox *join = nullptr;
    };

    void addRow(const FilterRow &row);
    void removeRow();
    void clearRows();
    void relayout();
    void fillOperators(RowWidgets &row, FilterOperator wanted);
    void updateValue(RowWidgets &row);
    const FilterField *fieldOf(const RowWidgets &row) const;
    // A row that makes a condition: a field, an operator and, where it takes one, a value.
    struct CountedRow
    {
        const FilterField *field;
        FilterOperator op;
    };
    std::optional<CountedRow> countedRow(const RowWidgets &row) const;
    QString defaultColumn() const;

    QList<FilterField> m_fields;
    QString m_language;
    QList<RowWidgets> m_rows;
    int m_lastRow = -1; // the row the operator was last in
    QGridLayout *m_grid;
    QLabel *m_message;
    QPushButton *m_remove;
};

} // namespace perikon::suite::filter
