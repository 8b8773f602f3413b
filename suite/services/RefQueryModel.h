#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// The rows a lookup offers: a SELECT (SQL Server text, without ORDER BY), the column that keys
// and orders its rows (unique; rows without a key are not offered) and the columns the
// operator's filter text searches.
struct RefQuery
{
    QString sql;
    QString keyColumn;
    QStringList searchColumns;
};

// The SELECT reading the next `count` rows of `query` after the key `after` (from the first row
// when `after` is null), narrowed to rows where one of the search columns contains `filter`
// (case-blind; % _ and \ in the filter are plain characters).
QString refPageSelect(const RefQuery &query, const QString &filter, const QVariant &after,
                      int count);

// A lookup's rows read page by page as the view scrolls down, so a reference over a million
// rows shows its first rows at once; the filter text is applied by the database. Values are
// shown as text. With checkable set, column 0 carries a check box per row; the checked keys are
// kept across filters and pages, so earlier choices stay chosen whether or not their rows are
// loaded.
class RefQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kPageSize = 200;

    // `fields` are the columns shown, `captions` their headers (same positions).
    RefQueryModel(db::Connection &connection, RefQuery query, QStringList fields,
                  QStringList captions, QObject *parent = nullptr);

    // Starts over with the rows matching `filter`.
    void setFilterText(const QString &filter);
    QString filterText() const { return m_filter; }
    // Why the last read failed; empty when it did not.
    QString lastError() const { return m_error; }

    void setCheckable(bool checkable);
    bool isCheckable() const { return m_checkable; }
    void setCheckedKeys(const QStringList &keys);
    // Checked keys in the order they were checked.
    QStringList checkedKeys() const { return m_checkedOrder; }

    QString keyAt(int row) const;
    // The columns of the query's rows, as the database names them.
    QStringList resultColumns() const { return m_columnNames; }
    // The value of `field` (any column of the query, case-blind) in `row`.
    QVariant valueAt(int row, const QString &field) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    void toggleChecked(int row);

private:
    // Reads the next page; false after a failure (lastError says why).
    bool readPage(QList<QVariantList> &rows);
    int shownColumn(int column) const { return m_checkable ? column - 1 : column; }

    db::Connection &m_connection;
    RefQuery m_query;
    QStringList m_fields;
    QStringList m_captions;
    QString m_filter;
    QString m_error;
    QStringList m_columnNames; // of the result
    QList<int> m_fieldColumns; // result column of each shown field, -1 when missing
    int m_keyColumn = -1;
    QList<QVariantList> m_rows;
    QVariant m_lastKey;
    bool m_atEnd = false;
    bool m_checkable = false;
    QSet<QString> m_checked;
    QStringList m_checkedOrder;
};

} // namespace perikon::suite
