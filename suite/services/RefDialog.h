#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace perikon::db {
class Recordset;
}

namespace perikon::suite {

namespace internal {
class RefRowsModel;
}

// A column the lookup shows: the field it reads and its caption.
struct RefColumn
{
    QString field;
    QString caption;
};

// The suite's lookup: the rows of a reference in a grid, narrowed at once by what the operator
// types in its filter line (any shown column containing the text, case-blind). Enter, a double
// click or OK chooses the selected row, Escape cancels. Children: "RefFilter", "RefGrid",
// "RefOK", "RefCancel".
class RefDialog : public QDialog
{
    Q_OBJECT
public:
    // `rows` hold one value per name of `fields`; the columns shown pick fields by name
    // (case-blind), code and name first by convention. A column naming no field stays empty.
    RefDialog(const QStringList &fields, const QList<QStringList> &rows,
              const QList<RefColumn> &columns, QWidget *parent = nullptr);
    // Over every row of an open recordset, read from its first row on; the recordset's cursor is
    // left past its last row.
    RefDialog(db::Recordset &recordset, const QList<RefColumn> &columns, QWidget *parent = nullptr);
    ~RefDialog() override;

    QString filterText() const;
    void setFilterText(const QString &text);
    // The rows the filter leaves.
    int shownRowCount() const;
    // The chosen row's index among the rows given (from 0); -1 before a choice or after a cancel.
    int chosenRow() const { return m_chosenRow; }

    // The values of `fields` of every row of an open recordset, from its first row on; the cursor
    // is left past the last row. Fields the recordset lacks read as empty.
    static QList<QStringList> readRows(db::Recordset &recordset, const QStringList &fields);
    static QStringList fieldNames(const db::Recordset &recordset);

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectFirstRowIfNone();
    void updateOk();

    internal::RefRowsModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QLineEdit *m_filter;
    QTableView *m_grid;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    int m_chosenRow = -1;
};

} // namespace perikon::suite
