#pragma once

#include "Cell.h"
#include "ColumnInfo.h"
#include "LruCache.h"
#include "ResultColumns.h"
#include "SqlDialect.h"
#include "TranslationCache.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace perikon::db {

class ConnectionString;
struct RecordsetData;

// The rows of one executed statement, read forward once.
class ResultCursor
{
public:
    virtual ~ResultCursor() = default;

    virtual const std::vector<ColumnInfo> &columns() const = 0;
    // The same columns as a description recordsets can share; a driver that keeps descriptions
    // hands out the one it keeps.
    virtual std::shared_ptr<const ResultColumns> describedColumns() const
    {
        return std::make_shared<const ResultColumns>(columns());
    }
    // Advances to the next row; false past the last one.
    virtual bool next() = 0;
    // A value of the current row, valid until next().
    virtual CellRef cell(int column) const = 0;

    // The current row's value in storage form: qlonglong, double, QString, QByteArray or null.
    QVariant value(int column) const;
};

// Sees each statement a driver sends to its backend, with its parameters.
using StatementObserver = std::function<void(const QString &sql, const QVariantList &parameters)>;

// A database backend. Drivers run statements already translated for their target; the connection
// does the translating and the dispatching of procedures.
class Driver
{
public:
    Driver();
    virtual ~Driver() = default;

    // Connections opened by every driver of the process so far: how a test or a benchmark sees
    // whether an operation opens connections of its own.
    static quint64 connectionsOpened();
    // Every statement the drivers of this thread send, as sent (catalog lookups included), goes to
    // `observer` first; an empty one stops it. Benchmarks replay what they see through the raw API.
    static void setStatementObserver(StatementObserver observer);

    virtual SqlTarget target() const = 0;

    // Throws DbError when the database cannot be opened; never creates one.
    virtual void open(const ConnectionString &connectionString) = 0;
    virtual void close() = 0;
    // False too once the server has dropped the link.
    virtual bool isOpen() const = 0;
    // Whether the server has dropped the link (a restart, an administrator ending the session),
    // judged from what it sent meanwhile, without a round trip. A backend without a server never
    // loses it.
    virtual bool linkLost() { return false; }

    // Seconds a statement may run; 0 means no limit.
    virtual void setStatementTimeout(int seconds) = 0;

    // Runs a statement (or several separated by semicolons) and gives the rows changed.
    virtual qint64 execute(const QString &sql, const QVariantList &parameters = {}) = 0;
    // Runs a statement that yields rows. The cursor must be consumed before the next statement.
    virtual std::unique_ptr<ResultCursor> query(const QString &sql,
                                                const QVariantList &parameters = {})
        = 0;

    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // The database unqualified names refer to; throws DbError for a database the connection
    // cannot reach.
    virtual QString defaultDatabase() const = 0;
    virtual void setDefaultDatabase(const QString &name) = 0;

    // Pieces of statement text in the target's syntax, for the statements recordsets write.
    virtual QString quoteIdentifier(const QString &name) const = 0;
    virtual QString qualifiedTable(const QString &database, const QString &table) const = 0;
    virtual QString placeholder(int index) const = 0; // zero-based
    // Databases the backend knows under another schema name (lower-case name -> schema).
    virtual QHash<QString, QString> databaseSchemas() const { return {}; }
    virtual QString nullSafeEquals(const QString &lhs, const QString &rhs) const = 0;

    virtual QStringList primaryKeyColumns(const QString &database, const QString &table) = 0;
    // primaryKeyColumns, asked once per table until the statement caches are cleared.
    QStringList keyColumns(const QString &database, const QString &table);
    // Changes whenever the key columns above may answer differently; no two drivers share one.
    quint64 keyGeneration() const { return m_keyGeneration; }
    // Whether INSERT/UPDATE ... RETURNING gives a row of the table as stored, with what triggers
    // set; where it does not, the row is read back after the write.
    virtual bool returningShowsStoredRow(const QString &database, const QString &table) = 0;
    // Inserts a row and reads it back as stored (defaults and trigger-set values included),
    // giving `returnColumns` of the new row.
    virtual std::unique_ptr<ResultCursor>
    insertRow(const QString &database, const QString &table, const QStringList &columns,
              const QVariantList &values, const QStringList &returnColumns)
        = 0;

    // The translations of the texts the connection ran. Drivers clear it when the names the
    // dialect uses for the suite's databases change.
    TranslationCache &translations() { return m_translations; }

    // Forgets what was kept about statements and tables: after DDL, and when the session with the
    // server is established anew (prepared statements live in a server session).
    virtual void clearStatementCaches();

    // Rows of reads that change rarely (definitions), kept by statement text until a statement
    // of this connection writes their table or changes the schema.
    std::shared_ptr<RecordsetData> keptRead(const QString &sql);
    void keepRead(const QString &sql, const QString &table, std::shared_ptr<RecordsetData> rows);
    // Forgets the kept reads of every table the text of a write names.
    void forgetReadsWrittenBy(const QString &sql);
    void forgetReadsOf(const QString &table);

protected:
    // What a driver sends while it opens belongs to opening a connection, which the count above
    // reports, not to the statements observed.
    class OpeningScope
    {
    public:
        OpeningScope();
        ~OpeningScope();
        OpeningScope(const OpeningScope &) = delete;
        OpeningScope &operator=(const OpeningScope &) = delete;
    };

    static void countOpened();
    static bool observed();
    static void observe(const QString &sql, const QVariantList &parameters);

private:
    TranslationCache m_translations{512};
    LruCache<QStringList> m_keyColumns{256};
    quint64 m_keyGeneration;
    struct KeptRead
    {
        QString table; // lower case
        std::shared_ptr<RecordsetData> rows;
    };
    LruCache<KeptRead> m_keptReads{32};
    template<typename Written> void forgetReads(Written written);
};

} // namespace perikon::db
