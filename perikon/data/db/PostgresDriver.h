#pragma once

#include "ColumnType.h"
#include "Driver.h"
#include "PgResultHandle.h"

#include <QHash>
#include <QString>

#include <optional>

struct pg_conn;
struct pg_result;

namespace perikon::db {

// The multi-user backend on libpq. The suite's databases are schemas of one PostgreSQL database:
// "QZDATA_001_2026" is the schema qzdata_001_2026, "QZMeta_001" qzmeta_001, and "qzsystem" and
// "tempdb" are schemas of those names. The default database is the first schema of the search
// path. Everything is created unquoted, so the catalog holds lower-case names; result columns
// get back the spelling the query or the schema gave them.
class PostgresDriver final : public Driver
{
public:
    PostgresDriver() = default;
    ~PostgresDriver() override;
    PostgresDriver(const PostgresDriver &) = delete;
    PostgresDriver &operator=(const PostgresDriver &) = delete;

    SqlTarget target() const override { return SqlTarget::Postgres; }

    void open(const ConnectionString &connectionString) override;
    void close() override;
    bool isOpen() const override;
    bool linkLost() override;
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
    QString nullSafeEquals(const QString &lhs, const QString &rhs) const override;

    QStringList primaryKeyColumns(const QString &database, const QString &table) override;
    // The row-version trigger runs before the row is written, so RETURNING sees what it set.
    bool returningShowsStoredRow(const QString &, const QString &) override { return true; }
    void clearStatementCaches() override;
    std::unique_ptr<ResultCursor> insertRow(const QString &database, const QString &table,
                                            const QStringList &columns, const QVariantList &values,
                                            const QStringList &returnColumns) override;

    // The schema that holds a database of the suite: its name in lower case.
    static QString schemaOf(const QString &database);
    // The libpq connection parameters of a connection string ("host", "port", "dbname", ...).
    static QList<QPair<QByteArray, QByteArray>> connectParameters(const ConnectionString &text);

    pg_conn *handle() const { return m_conn; }

private:
    struct TableColumn
    {
        QString schema;
        QString table;
        QString name;
        QString type;           // format_type() of the column
        QString sqlServerType;  // the T-SQL declaration its PostgreSQL type cannot carry, if any
        unsigned valueType = 0; // the oid of the type its values have (a domain's base type)
        bool notNull = false;
        bool isKey = false;
        DeclaredType declared; // from type or sqlServerType, worked out once per load
        // The column's name as spelled, worked out again when the spellings change.
        QString spelled;
        quint64 spelledAt = 0; // the m_spellingGeneration of `spelled`; 0: not yet
    };
    friend class PostgresCursor;

    // Runs one statement; the result has succeeded or DbError was thrown.
    PgResultHandle run(const QString &sql, const QVariantList &parameters);
    PgResultHandle runRaw(const QByteArray &sql);
    [[noreturn]] void fail(const pg_result *result, const QString &sql);
    void requireConnection(const QString &sql) const;
    bool inTransaction() const;

    // The columns of a result, and the type oid of each column's values.
    std::shared_ptr<const ResultColumns> describe(const pg_result *result, const QString &sql,
                                                  std::vector<unsigned> &types);
    std::vector<ColumnInfo> describeAnew(const pg_result *result,
                                         const QHash<QString, QString> &written,
                                         std::vector<unsigned> &types);
    void loadTableColumns(const QList<unsigned> &tables);
    // Drops the tables' columns read so far and every result description made from them.
    void forgetCatalog();
    void loadSpellings();
    QString spelling(const QString &table, const QString &column) const;
    QString createTableText(const QString &sql) const;
    static QString quoteIdentifierAnew(const QString &name);
    void recordSpellings(const QString &createTable);

    pg_conn *m_conn = nullptr;
    bool m_readFailed = false; // linkLost() could not read from the server
    QString m_defaultDatabase;
    QString m_account;
    int m_timeoutSeconds = 0;
    int m_savepointDepth = 0;
    // (table oid, column number) -> column; tables of earlier results are looked up once.
    QHash<quint64, TableColumn> m_columns;
    QHash<unsigned, bool> m_knownTables;
    quint64 m_catalogGeneration = 1; // raised whenever m_columns changes
    // Descriptions of results by their columns' tables, numbers, types and names, for results
    // whose names no select list spells: every save reads the same shapes again.
    struct Described
    {
        quint64 catalogGeneration = 0;
        quint64 spellingGeneration = 0;
        std::shared_ptr<const ResultColumns> columns;
        std::vector<unsigned> types;
    };
    QHash<QByteArray, Described> m_described;
    mutable QHash<QString, QString> m_quoted; // name -> as a statement writes it
    // "table.column" and "column" in lower case -> the declared spelling.
    std::optional<QHash<QString, QString>> m_spellings;
    quint64 m_spellingGeneration = 1; // raised whenever m_spellings changes
    bool m_spellingTable = false;     // public.qz_spelling exists in this database
};

} // namespace perikon::db
