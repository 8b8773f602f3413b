#pragma once

#include "ColumnType.h"
#include "Driver.h"
#include "SqliteStatementHandle.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <map>

struct sqlite3;
struct sqlite3_stmt;

namespace perikon::db {

// The embedded backend on the sqlite3 C API. The account database file is the main database; the
// system and meta databases beside it are attached under their names, tempdb lives in memory.
class SqliteDriver final : public Driver
{
public:
    SqliteDriver() = default;
    ~SqliteDriver() override;
    SqliteDriver(const SqliteDriver &) = delete;
    SqliteDriver &operator=(const SqliteDriver &) = delete;

    SqlTarget target() const override { return SqlTarget::Sqlite; }

    void open(const ConnectionString &connectionString) override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    void setStatementTimeout(int seconds) override;

    qint64 execute(const QString &sql, const QVariantList &parameters = {}) override;
    std::unique_ptr<ResultCursor> query(const QString &sql,
                                        const QVariantList &parameters = {}) override;

    void beginTransaction() override;
    void commit() override;
    void rollback() override;

    QString defaultDatabase() const override { return m_defaultDatabase; }
    void setDefaultDatabase(const QString &name) override;

    QString quoteIdentifier(const QString &name) const override;
    QString qualifiedTable(const QString &database, const QString &table) const override;
    QString placeholder(int index) const override;
    QHash<QString, QString> databaseSchemas() const override { return m_schemas; }
    QString nullSafeEquals(const QString &lhs, const QString &rhs) const override;

    QStringList primaryKeyColumns(const QString &database, const QString &table) override;
    bool returningShowsStoredRow(const QString &database, const QString &table) override;
    void clearStatementCaches() override;
    std::unique_ptr<ResultCursor> insertRow(const QString &database, const QString &table,
                                            const QStringList &columns, const QVariantList &values,
                                            const QStringList &returnColumns) override;

    // The schema name under which SQLite knows a database of the suite, or empty when the
    // connection does not reach it.
    QString schemaOf(const QString &database) const;

    sqlite3 *handle() const { return m_db; }

private:
    // A statement kept for reuse, with its result columns as last described.
    struct Prepared
    {
        SqliteStatementHandle statement;
        std::shared_ptr<const ResultColumns> columns;
        int reprepared = -1; // SQLite's count of automatic re-preparations when described
    };

    // What a result column read from a table column is, apart from its name in the result.
    struct ColumnOrigin
    {
        QString database;
        QString table;
        QString column;
        DeclaredType declared;
        bool described = false; // SQLite told the key and null flags
        bool isKey = false;
        bool nullable = true;
        qint64 version = -1; // the database's schema version when described
    };

    // The origin of a table column, described once per schema version of its database: parsing
    // the declared type and looking the column up in a wide table cost more than the read itself.
    // `version` is what checkSchema() gave for the database during this description.
    const ColumnOrigin &columnOrigin(const char *database, const char *table, const char *column,
                                     const char *declaredType, qint64 version);
    // The database's schema version now; the origins kept go when it changed since they were
    // described.
    qint64 checkSchema(const char *database);
    // The schema version of an attached database as SQLite counts it; -1 when it cannot be read.
    qint64 schemaVersion(const char *database);
    void forgetColumnOrigins();

    void attach(const QString &path, const QString &name);
    SqliteStatementHandle prepare(const QString &sql, const char *text, int length,
                                  const char **tail);
    // Hands a statement back after use: reset, bindings cleared, kept under its text. One of a
    // session since closed is finalized instead.
    void recycle(Prepared prepared, const QString &sql, quint64 session);
    qint64 run(sqlite3_stmt *statement, const QString &sql, const QVariantList &parameters);
    void bind(sqlite3_stmt *statement, const QString &sql, const QVariantList &parameters);
    [[noreturn]] void fail(const QString &sql, QString message = {}) const;
    void startClock();
    static int progress(void *self);

    sqlite3 *m_db = nullptr;
    QString m_folder;
    QString m_defaultDatabase;
    QHash<QString, QString> m_schemas; // lower-case database name -> SQLite schema name
    int m_timeoutSeconds = 0;
    QElapsedTimer m_clock;
    quint64 m_session = 0; // raised by every open and close
    LruCache<Prepared> m_statements{256};
    LruCache<bool> m_afterTriggers{256}; // "database.table" -> has AFTER INSERT/UPDATE triggers
    QHash<QByteArray, ColumnOrigin> m_columnOrigins; // "database\ntable\ncolumn", bounded
    QHash<QString, qint64> m_originVersions; // database -> schema version m_columnOrigins hold
    std::map<QString, SqliteStatementHandle> m_versionProbes; // database -> PRAGMA schema_version

    friend class SqliteCursor;
};

} // namespace perikon::db
