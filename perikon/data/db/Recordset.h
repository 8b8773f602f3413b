#pragma once

#include "ColumnInfo.h"
#include "Connection.h"
#include "Field.h"
#include "RowStore.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace pugi {
class xml_document;
}

namespace perikon::db {

class RecordsetFilter;
struct RecordsetData;

// The rows of a query with a cursor over them. Every cursor reads all rows on open; a forward-only
// cursor only refuses to move back. Opened with an optimistic lock on the rows of one table, it
// writes added, changed and deleted rows back; disconnected, it changes its rows only.
class Recordset : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int state READ state)
    Q_PROPERTY(qint64 recordCount READ recordCount)
    Q_PROPERTY(bool bof READ bof)
    Q_PROPERTY(bool eof READ eof)
    Q_PROPERTY(int pageSize READ pageSize WRITE setPageSize)
    Q_PROPERTY(qint64 pageCount READ pageCount)
    Q_PROPERTY(qint64 absolutePage READ absolutePage WRITE setAbsolutePage)
    Q_PROPERTY(qint64 absolutePosition READ absolutePosition WRITE setAbsolutePosition)
    Q_PROPERTY(QString filter READ filter WRITE setFilter)

public:
    static constexpr int UseServer = 2;
    static constexpr int UseClient = 3;
    static constexpr int OpenForwardOnly = 0;
    static constexpr int OpenKeyset = 1;
    static constexpr int OpenDynamic = 2;
    static constexpr int OpenStatic = 3;
    static constexpr int LockReadOnly = 1;
    static constexpr int LockOptimistic = 3;
    static constexpr int LockBatchOptimistic = 4;
    static constexpr int EditNone = 0;
    static constexpr int EditInProgress = 1;
    static constexpr int EditAdd = 2;
    // absolutePosition and absolutePage when there is no current record
    static constexpr qint64 PositionUnknown = -1;
    static constexpr qint64 PositionBof = -2;
    static constexpr qint64 PositionEof = -3;

    explicit Recordset(QObject *parent = nullptr);
    ~Recordset() override;

    int cursorLocation() const { return m_cursorLocation; }
    void setCursorLocation(int location);
    int cursorType() const { return m_cursorType; }
    int lockType() const { return m_lockType; }

    // Runs SQL Server text on the connection and reads its rows. Throws DbError; the recordset
    // then stays closed. A statement that yields no rows leaves it closed too.
    void open(const QString &source, Connection *connection, int cursorType = OpenForwardOnly,
              int lockType = LockReadOnly, int options = -1);
    Q_INVOKABLE void close();
    int state() const { return m_data ? 1 : 0; }

    // Saves the columns and the visible rows in the XML persistence format.
    Q_INVOKABLE QString saveXml() const;
    void saveXml(pugi::xml_document &document) const;
    // Opens a saved recordset: disconnected, static, batch optimistic, changeable locally.
    Q_INVOKABLE void openXml(const QString &xml);
    void openXml(const pugi::xml_document &document);

    Connection *activeConnection() const { return m_connection; }
    // nullptr disconnects: the rows stay, and changes stay in the recordset.
    void setActiveConnection(Connection *connection);

    int fieldCount() const;
    Field field(int index);
    Field field(const QString &name);
    // Throws DbError::ItemNotFound for an unknown name.
    int fieldIndex(const QString &name) const;
    // Whether a column of that name exists, compared without regard to case.
    bool hasField(const QString &name) const;
    const ColumnInfo &columnInfo(int index) const;

    Q_INVOKABLE QVariant value(int index) const;
    Q_INVOKABLE QVariant value(const QString &name) const;
    Q_INVOKABLE void setValue(int index, const QVariant &value);
    Q_INVOKABLE void setValue(const QString &name, const QVariant &value);

    qint64 recordCount() const;
    bool bof() const;
    bool eof() const;
    Q_INVOKABLE void moveFirst();
    Q_INVOKABLE void moveNext();
    Q_INVOKABLE void movePrevious();
    Q_INVOKABLE void moveLast();
    Q_INVOKABLE void move(qint64 records);
    qint64 absolutePosition() const;
    void setAbsolutePosition(qint64 position);

    int pageSize() const { return m_pageSize; }
    void setPageSize(int size);
    qint64 pageCount() const;
    qint64 absolutePage() const;
    // Moves to the first record of the page; throws DbError outside 1..pageCount.
    void setAbsolutePage(qint64 page);

    int editMode() const { return m_editMode; }
    // Appends an empty record and makes it current (a pending change is written first).
    Q_INVOKABLE void addNew();
    // Writes the pending change: to the database when connected, else into the rows only.
    Q_INVOKABLE void update();
    Q_INVOKABLE void cancelUpdate();
    // Deletes the current record; the next one becomes current.
    Q_INVOKABLE void deleteCurrent();

    QString filter() const { return m_filter; }
    // Shows only the records matching the expression; empty shows all again.
    void setFilter(const QString &expression);

    // A second cursor over the same rows, with its own position and filter.
    std::unique_ptr<Recordset> clone() const;
    // A cursor over `count` of this one's visible records from the 0-based `first` (fewer at the
    // end), sharing the rows: a page of a result without copying it. Setting a filter on it
    // filters all the rows again.
    std::unique_ptr<Recordset> slice(qint64 first, qint64 count) const;

    // For reads of definitions that change rarely: keepRows keeps this recordset's rows, read by
    // `source`, on its connection's backend until a statement of that connection writes `table`
    // or changes the schema; openKept opens them again from there (static, read-only), and is
    // false when none are kept.
    void keepRows(const QString &source, const QString &table) const;
    bool openKept(const QString &source, Connection *connection);
    // Who owns the rows: two recordsets over the same rows (a kept read opened twice) answer the
    // same owner, so a caller may keep what it derived from them while the owner lives.
    std::weak_ptr<const void> rowsOwner() const { return m_data; }

    // Hands over up to `count` visible records from the current one as a disconnected recordset,
    // changeable locally, with this one's columns and the values exactly as stored, and closes
    // this one (a pending change is dropped). When that is every row it holds (no filter, no
    // clone), the rows move without a copy.
    std::unique_ptr<Recordset> takeRecords(qint64 count);

    // Reads `source` and keeps only one page of `pageSize` records of it: what open (client
    // side), setPageSize, setAbsolutePage and takeRecords(pageSize) would hand over, without
    // storing the other pages. A `page` below 1 or past the last one takes the last; on return
    // `page` is the page taken (0 when the result has no rows) and `pageCount` the result's pages.
    static std::unique_ptr<Recordset> readPage(const QString &source, Connection *connection,
                                               int pageSize, qint64 &page, qint64 &pageCount);

private:
    void requireOpen() const;
    void requireCurrent() const;
    void requireChangeable() const;
    void requireBackward() const;
    qsizetype currentRow() const;
    void finishPendingEdit();
    void resetView();
    void adopt(std::shared_ptr<RecordsetData> data);
    // A client-side, static recordset over `data` that no connection stands behind.
    static std::unique_ptr<Recordset> disconnected(std::shared_ptr<RecordsetData> data);
    bool writesThrough() const;

    std::shared_ptr<RecordsetData> m_data;
    std::vector<quint32> m_view; // visible rows of the store, in order
    qsizetype m_position = 0;    // -1: BOF, m_view.size(): EOF
    int m_cursorLocation = UseServer;
    int m_cursorType = OpenForwardOnly;
    int m_lockType = LockReadOnly;
    int m_pageSize = 10;
    QPointer<Connection> m_connection;
    QString m_filter;

    int m_editMode = EditNone;
    std::vector<StoredCell> m_original; // the current row as read, while a change is pending
    std::vector<bool> m_changed;
    qsizetype m_positionBeforeAdd = 0;
};

} // namespace perikon::db
