#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

class QTimer;

namespace perikon::db {
class Connection;
class Recordset;
} // namespace perikon::db

namespace perikon::suite {

namespace internal {
class RefRowsModel;
}
class RefQueryModel;
struct RefQuery;

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
    // Over the rows of a query, read page by page as the operator scrolls; what the operator
    // types in the filter line narrows the rows in the database. The connection must outlive the
    // dialog.
    RefDialog(db::Connection &connection, const RefQuery &query, const QList<RefColumn> &columns,
              QWidget *parent = nullptr);
    ~RefDialog() override;

    // Over a query: the operator checks any number of rows (Space or a click on the box toggles
    // the current one); `preselected` keys start checked. OK with nothing checked takes the
    // current row.
    void setMultiSelect(const QStringList &preselected);
    // Over a query: the key of the chosen row, and every chosen key (several when multi-select).
    QString chosenKey() const;
    QStringList chosenKeys() const { return m_chosenKeys; }
    // Over a query: the value of any column of the chosen row (the first when several).
    QVariant chosenValue(const QString &field) const;
    // Over a query: why reading its rows failed; empty when it did not.
    QString queryError() const;

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
    void setUp();
    void selectFirstRowIfNone();
    void selectExactOrFirstRow();
    void updateOk();

    internal::RefRowsModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    RefQueryModel *m_queryModel = nullptr;
    QTimer *m_filterDelay = nullptr;
    QStringList m_chosenKeys;
    QVariantMap m_chosenValues;
    QLineEdit *m_filter;
    QTableView *m_grid;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    int m_chosenRow = -1;
};

} // namespace perikon::suite
