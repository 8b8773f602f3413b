#include "SqliteDriver.h"

#include "ConnectionString.h"
#include "DateTimeFormat.h"
#include "DbError.h"
#include "SqliteCompat.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <utility>

#include <sqlite3.h>

namespace perikon::db {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.Sqlite");

// A busy database is waited for this long before a statement gives up.
constexpr int kBusyTimeoutMs = 10000;

} // namespace

class SqliteCursor final : public ResultCursor
{
public:
    SqliteCursor(SqliteDriver &driver, SqliteDriver::Prepared prepared, QString sql)
        : m_driver(driver)
        , m_prepared(std::move(prepared))
        , m_sql(std::move(sql))
        , m_session(driver.m_session)
    {
        // The first step comes before the columns are read: a statement whose tables changed
        // since it was prepared is prepared again by SQLite on that step, and only then do its
        // columns tell what the tables hold now.
        m_firstStep = sqlite3_step(statement());
        if (m_firstStep != SQLITE_ROW && m_firstStep != SQLITE_DONE)
            m_driver.fail(m_sql);
        const int reprepared = sqlite3_stmt_status(statement(), SQLITE_STMTSTATUS_REPREPARE, 0);
        if (reprepared != m_prepared.reprepared) {
            const int count = sqlite3_column_count(statement());
            std::vector<ColumnInfo> columns;
            columns.reserve(std::size_t(count));
            for (int i = 0; i < count; ++i)
                columns.push_back(describe(i));
            m_prepared.columns = std::make_shared<const ResultColumns>(std::move(columns));
            m_checked.clear();
            m_prepared.reprepared = reprepared;
        }
    }

    ~SqliteCursor() override
    {
        if (!m_failed)
            m_driver.recycle(std::move(m_prepared), m_sql, m_session);
    }

    const std::vector<ColumnInfo> &columns() const override { return m_prepared.columns->list(); }
    std::shared_ptr<const ResultColumns> describedColumns() const override
    {
        return m_prepared.columns;
    }

    bool next() override
    {
        if (m_done)
            return false;
        const int rc = m_firstStep ? std::exchange(m_firstStep, 0) : sqlite3_step(statement());
        if (rc == SQLITE_ROW)
            return true;
        m_done = true;
        if (rc != SQLITE_DONE) {
            m_failed = true;
            m_driver.fail(m_sql);
        }
        return false;
    }

    CellRef cell(int column) const override
    {
        sqlite3_stmt *const s = statement();
        CellRef ref;
        switch (sqlite3_column_type(s, column)) {
        case SQLITE_INTEGER:
            ref.kind = CellKind::Integer;
            ref.integer = sqlite3_column_int64(s, column);
            break;
        case SQLITE_FLOAT:
            ref.kind = CellKind::Real;
            ref.real = sqlite3_column_double(s, column);
            break;
        case SQLITE_TEXT:
            ref.kind = CellKind::Text;
            ref.data = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
            ref.size = sqlite3_column_bytes(s, column);
            break;
        case SQLITE_BLOB:
            ref.kind = CellKind::Blob;
            ref.data = static_cast<const char *>(sqlite3_column_blob(s, column));
            ref.size = sqlite3_column_bytes(s, column);
            break;
        default:
            break;
        }
        return ref;
    }

private:
    sqlite3_stmt *statement() const { return m_prepared.statement.get(); }

    qint64 versionOf(const char *database)
    {
        for (const auto &[name, version] : m_checked) {
            if (name == database)
                return version;
        }
        const qint64 version = m_driver.checkSchema(database);
        m_checked.emplace_back(QByteArray(database), version);
        return version;
    }

    ColumnInfo describe(int i)
    {
        sqlite3_stmt *const s = statement();
        ColumnInfo info;
        const char *database = sqlite3_column_database_name(s, i);
        const char *table = sqlite3_column_table_name(s, i);
        const char *origin = sqlite3_column_origin_name(s, i);
        const char *declaration = sqlite3_column_decltype(s, i);
        DeclaredType declared;
        if (database && table && origin) {
            const SqliteDriver::ColumnOrigin &found
                = m_driver.columnOrigin(database, table, origin, declaration, versionOf(database));
            declared = found.declared;
            info.baseDatabase = found.database;
            info.baseTable = found.table;
            info.baseColumn = found.column;
            // The column under its own name shares the text kept for it.
            const char *name = sqlite3_column_name(s, i);
            info.name = name && strcmp(name, origin) == 0 ? found.column : QString::fromUtf8(name);
            if (found.described) {
                info.isKey = found.isKey;
                info.nullable = found.nullable;
            }
        } else {
            info.name = QString::fromUtf8(sqlite3_column_name(s, i));
            declared = declaredTypeOf(QString::fromUtf8(declaration));
        }
        info.type = declared.type;
        info.definedSize = declared.definedSize;
        info.precision = declared.precision;
        info.scale = declared.scale;
        info.rowVersion = declared.rowVersion;
        return info;
    }

    SqliteDriver &m_driver;
    SqliteDriver::Prepared m_prepared;
    QString m_sql;
    quint64 m_session;
    int m_firstStep = 0; // the result of the first step until next() takes it
    // Databases whose schema version was read while describing, with that version.
    std::vector<std::pair<QByteArray, qint64>> m_checked;
    bool m_done = false;
    bool m_failed = false;
};

SqliteDriver::~SqliteDriver()
{
    close();
}

void SqliteDriver::open(const ConnectionString &connectionString)
{
    close();
    const OpeningScope opening;
    const QString path = connectionString.dataSource();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isReadable())
        throw DbError(DbError::ProviderError,
                      QStringLiteral("Cannot open database \"%1\": the file does not exist or "
                                     "cannot be read.")
                          .arg(path),
                      kSource);

    // Without SQLITE_OPEN_CREATE: a wrong path must fail, not yield a fresh empty database.
    const int rc = sqlite3_open_v2(QFile::encodeName(file.absoluteFilePath()).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                     : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(DbError::ProviderError,
                      QStringLiteral("Cannot open database \"%1\": %2").arg(path, message),
                      kSource);
    }

    try {
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        // Reading the journal mode touches the file, so a file that is no database fails here.
        execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        execute(QStringLiteral("PRAGMA foreign_keys=ON"));

        m_folder = file.absolutePath();
        QString catalog = connectionString.catalog();
        if (catalog.isEmpty())
            catalog = file.completeBaseName();
        m_schemas.insert(catalog.toLower(), QStringLiteral("main"));
        m_schemas.insert(QStringLiteral("main"), QStringLiteral("main"));

        const QDir folder(m_folder);
        const QString system = folder.filePath(QStringLiteral("qzsystem.db"));
        if (QFileInfo(system).isFile() && QFileInfo(system) != file)
            attach(system, QStringLiteral("qzsystem"));
        const QString metaName = connectionString.metaDatabase();
        if (!metaName.isEmpty()) {
            const QString meta = folder.filePath(metaName + QStringLiteral(".db"));
            if (QFileInfo(meta).isFile() && QFileInfo(meta) != file)
                attach(meta, metaName);
        }
        attach(QStringLiteral(":memory:"), QStringLiteral("tempdb"));
        m_defaultDatabase = catalog;

        installSqlServerCompat(m_db);
    } catch (...) {
        close();
        throw;
    }
    ++m_session;
    countOpened();
}

qint64 SqliteDriver::checkSchema(const char *database)
{
    // A table changed by any connection, this one included, raises its database's schema version;
    // what was described under another version may name columns that are gone or typed otherwise.
    const QString schema = QString::fromUtf8(database);
    const qint64 version = schemaVersion(database);
    const auto known = m_originVersions.constFind(schema);
    if (known != m_originVersions.cend() && *known == version)
        return version;
    if (known != m_originVersions.cend())
        forgetColumnOrigins();
    m_originVersions.insert(schema, version);
    return version;
}

const SqliteDriver::ColumnOrigin &SqliteDriver::columnOrigin(const char *database,
                                                             const char *table, const char *column,
                                                             const char *declaredType,
                                                             qint64 version)
{
    // Enough for the widest tables of several databases; past it all are described again.
    constexpr qsizetype kMaxOrigins = 4096;
    QByteArray key;
    key.reserve(qsizetype(strlen(database) + strlen(table) + strlen(column) + 2));
    key.append(database).append('\n').append(table).append('\n').append(column);
    const auto found = m_columnOrigins.constFind(key);
    if (found != m_columnOrigins.cend() && version >= 0 && found->version == version)
        return *found;
    if (m_columnOrigins.size() >= kMaxOrigins)
        m_columnOrigins.clear();
    ColumnOrigin origin;
    origin.database = QString::fromUtf8(database);
    origin.table = QString::fromUtf8(table);
    origin.column = QString::fromUtf8(column);
    origin.declared = declaredTypeOf(QString::fromUtf8(declaredType));
    origin.version = version;
    int notNull = 0, primaryKey = 0, autoIncrement = 0;
    if (sqlite3_table_column_metadata(m_db, database, table, column, nullptr, nullptr, &notNull,
                                      &primaryKey, &autoIncrement)
        == SQLITE_OK) {
        origin.described = true;
        origin.isKey = primaryKey != 0;
        origin.nullable = notNull == 0;
    }
    return *m_columnOrigins.insert(key, std::move(origin));
}

qint64 SqliteDriver::schemaVersion(const char *database)
{
    // Read with a statement of its own, never through query(): it is no statement of the caller's.
    const QString schema = QString::fromUtf8(database);
    auto probe = m_versionProbes.find(schema);
    if (probe == m_versionProbes.end()) {
        const QByteArray text = "PRAGMA " + quoteIdentifier(schema).toUtf8() + ".schema_version";
        SqliteStatementHandle statement;
        if (prepareSqliteStatement(m_db, text.constData(), int(text.size()), statement, nullptr)
                != SQLITE_OK
            || !statement)
            return -1;
        probe = m_versionProbes.emplace(schema, std::move(statement)).first;
    }
    sqlite3_stmt *const statement = probe->second.get();
    const qint64 version
        = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_reset(statement);
    return version;
}

void SqliteDriver::forgetColumnOrigins()
{
    m_columnOrigins.clear();
    m_originVersions.clear();
}

void SqliteDriver::attach(const QString &path, const QString &name)
{
    execute(QStringLiteral("ATTACH DATABASE ? AS %1").arg(quoteIdentifier(name)), {path});
    m_schemas.insert(name.toLower(), name);
    // Translations name databases by their schemas, which just changed.
    translations().clear();
    // Another file may now answer to a name described before.
    forgetColumnOrigins();
    m_versionProbes.clear();
}

void SqliteDriver::close()
{
    if (!m_db)
        return;
    ++m_session;
    // Statements still kept hold the database open; they go first.
    m_statements.clear();
    m_versionProbes.clear();
    forgetColumnOrigins();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_schemas.clear();
    m_defaultDatabase.clear();
    m_folder.clear();
}

void SqliteDriver::setStatementTimeout(int seconds)
{
    m_timeoutSeconds = qMax(0, seconds);
    if (m_db)
        sqlite3_progress_handler(m_db, m_timeoutSeconds > 0 ? 10000 : 0,
                                 m_timeoutSeconds > 0 ? &SqliteDriver::progress : nullptr, this);
}

int SqliteDriver::progress(void *self)
{
    auto *driver = static_cast<SqliteDriver *>(self);
    return driver->m_clock.isValid()
           && driver->m_clock.elapsed() > qint64(driver->m_timeoutSeconds) * 1000;
}

void SqliteDriver::startClock()
{
    if (m_timeoutSeconds > 0)
        m_clock.start();
}

void SqliteDriver::fail(const QString &sql, QString message) const
{
    if (message.isEmpty())
        message = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (sqlite3_errcode(m_db) == SQLITE_INTERRUPT && m_timeoutSeconds > 0)
        message = QStringLiteral("Query timeout expired");
    throw DbError(DbError::ProviderError, message + u'\n' + sql, kSource);
}

SqliteStatementHandle SqliteDriver::prepare(const QString &sql, const char *text, int length,
                                            const char **tail)
{
    if (!m_db)
        throw DbError(DbError::InvalidState, QStringLiteral("The connection is closed.\n") + sql,
                      kSource);
    SqliteStatementHandle statement;
    if (prepareSqliteStatement(m_db, text, length, statement, tail) != SQLITE_OK)
        fail(sql);
    return statement;
}

void SqliteDriver::bind(sqlite3_stmt *statement, const QString &sql, const QVariantList &parameters)
{
    for (int i = 0; i < parameters.size(); ++i) {
        const QVariant &value = parameters.at(i);
        const int index = i + 1;
        int rc = SQLITE_OK;
        if (value.isNull()) {
            rc = sqlite3_bind_null(statement, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Char:
            case QMetaType::UChar:
                rc = sqlite3_bind_int64(statement, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(statement, index, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                rc = sqlite3_bind_blob64(statement, index, bytes.constData(), bytes.size(),
                                         SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDateTime:
                rc = sqlite3_bind_text(statement, index,
                                       value.toDateTime().toString(db::kDateTimeFormat).toUtf8(),
                                       -1, SQLITE_TRANSIENT);
                break;
            default: {
                const QByteArray text = value.toString().toUtf8();
                rc = sqlite3_bind_text64(statement, index, text.constData(), text.size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(sql, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
}

qint64 SqliteDriver::run(sqlite3_stmt *statement, const QString &sql,
                         const QVariantList &parameters)
{
    bind(statement, sql, parameters);
    const sqlite3_int64 before = sqlite3_total_changes64(m_db);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(sql, QString::fromUtf8(sqlite3_errmsg(m_db)));
    // sqlite3_changes() keeps the count of the last INSERT/UPDATE/DELETE through other
    // statements, so count only when this one changed rows; trigger rows are not counted.
    return sqlite3_total_changes64(m_db) != before ? sqlite3_changes64(m_db) : 0;
}

void SqliteDriver::recycle(Prepared prepared, const QString &sql, quint64 session)
{
    if (!prepared.statement || session != m_session || !m_db)
        return; // finalized as it goes
    // A statement left unreset would keep its read transaction, and with it an old snapshot.
    sqlite3_reset(prepared.statement.get());
    sqlite3_clear_bindings(prepared.statement.get());
    m_statements.insert(sql, std::move(prepared));
}

qint64 SqliteDriver::execute(const QString &sql, const QVariantList &parameters)
{
    startClock();
    if (std::optional<Prepared> kept = m_statements.take(sql)) {
        observe(sql, parameters);
        const qint64 affected = run(kept->statement.get(), sql, parameters);
        recycle(std::move(*kept), sql, m_session);
        return affected;
    }
    const QByteArray utf8 = sql.toUtf8();
    const char *next = utf8.constData();
    const char *const end = utf8.constData() + utf8.size();
    qint64 affected = 0;
    while (next < end) {
        const char *const start = next;
        Prepared prepared{prepare(sql, next, int(end - next), &next), {}, -1};
        if (!prepared.statement)
            break; // only blanks or a comment were left
        const bool whole = start == utf8.constData() && std::all_of(next, end, [](char c) {
                               return c == ';' || QChar::isSpace(uchar(c));
                           });
        if (observed())
            observe(QString::fromUtf8(start, next - start), parameters);
        affected += run(prepared.statement.get(), sql, parameters);
        // Only a text that is one statement is kept under it.
        if (whole)
            recycle(std::move(prepared), sql, m_session);
    }
    return affected;
}

std::unique_ptr<ResultCursor> SqliteDriver::query(const QString &sql,
                                                  const QVariantList &parameters)
{
    startClock();
    Prepared prepared;
    if (std::optional<Prepared> kept = m_statements.take(sql)) {
        prepared = std::move(*kept);
    } else {
        const QByteArray utf8 = sql.toUtf8();
        prepared.statement = prepare(sql, utf8.constData(), int(utf8.size()), nullptr);
        if (!prepared.statement)
            throw DbError(DbError::InvalidState, QStringLiteral("No statement to run.\n") + sql,
                          kSource);
    }
    observe(sql, parameters);
    bind(prepared.statement.get(), sql, parameters);
    return std::make_unique<SqliteCursor>(*this, std::move(prepared), sql);
}

void SqliteDriver::beginTransaction()
{
    // The write lock is taken at the start: a deferred transaction that reads first and writes
    // later can meet another writer half way and fail with its work half done, whereas waiting
    // for the lock at BEGIN is covered by the busy timeout.
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteDriver::commit()
{
    execute(QStringLiteral("COMMIT"));
}

void SqliteDriver::rollback()
{
    execute(QStringLiteral("ROLLBACK"));
}

QString SqliteDriver::schemaOf(const QString &database) const
{
    return m_schemas.value(database.trimmed().toLower());
}

void SqliteDriver::setDefaultDatabase(const QString &name)
{
    QString database = name.trimmed();
    if (database.size() >= 2 && database.startsWith(u'[') && database.endsWith(u']'))
        database = database.mid(1, database.size() - 2);
    if (!m_db)
        throw DbError(DbError::InvalidState, QStringLiteral("The connection is closed."), kSource);
    if (schemaOf(database).isEmpty()) {
        // Another database of the suite (another year of the account) lies beside this one.
        const QString path = QDir(m_folder).filePath(database + QStringLiteral(".db"));
        if (database.isEmpty() || !QFileInfo(path).isFile())
            throw DbError(DbError::ProviderError,
                          QStringLiteral("Database '%1' does not exist.").arg(database), kSource);
        attach(path, database);
        installSqlServerCompat(m_db);
    }
    m_defaultDatabase = database;
}

QString SqliteDriver::quoteIdentifier(const QString &name) const
{
    // Every statement a recordset writes quotes each of its columns: one allocation each.
    QString quoted;
    quoted.reserve(name.size() + 2);
    quoted += u'"';
    if (name.contains(u'"'))
        quoted += QString(name).replace(u'"', QStringLiteral("\"\""));
    else
        quoted += name;
    quoted += u'"';
    return quoted;
}

QString SqliteDriver::qualifiedTable(const QString &database, const QString &table) const
{
    if (database.isEmpty())
        return quoteIdentifier(table);
    return quoteIdentifier(database) + u'.' + quoteIdentifier(table);
}

QString SqliteDriver::placeholder(int) const
{
    return QStringLiteral("?");
}

QString SqliteDriver::nullSafeEquals(const QString &lhs, const QString &rhs) const
{
    return lhs + QStringLiteral(" IS ") + rhs;
}

QStringList SqliteDriver::primaryKeyColumns(const QString &database, const QString &table)
{
    const QString schema = database.isEmpty() ? QStringLiteral("main") : database;
    auto cursor = query(QStringLiteral("PRAGMA %1.table_info(%2)")
                            .arg(quoteIdentifier(schema), quoteIdentifier(table)));
    QMap<qint64, QString> keys; // position in the key -> column
    while (cursor->next()) {
        const qint64 position = cursor->cell(5).integer;
        if (position > 0)
            keys.insert(position, cursor->value(1).toString());
    }
    return keys.values();
}

bool SqliteDriver::returningShowsStoredRow(const QString &database, const QString &table)
{
    // RETURNING reports a row before AFTER triggers ran; the row-version triggers are such.
    const QString schema = database.isEmpty() ? QStringLiteral("main") : database;
    const QString key = schema.toLower() + u'.' + table.toLower();
    if (const bool *known = m_afterTriggers.find(key))
        return !*known;
    auto cursor = query(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type = "
                                       "'trigger' AND lower(tbl_name) = lower(?) AND (sql LIKE "
                                       "'%AFTER INSERT%' OR sql LIKE '%AFTER UPDATE%')")
                            .arg(quoteIdentifier(schema)),
                        {table});
    const bool triggers = cursor->next() && cursor->cell(0).integer > 0;
    cursor.reset();
    m_afterTriggers.insert(key, triggers);
    return !triggers;
}

void SqliteDriver::clearStatementCaches()
{
    Driver::clearStatementCaches();
    m_statements.clear();
    m_afterTriggers.clear();
    forgetColumnOrigins();
    m_versionProbes.clear();
}

std::unique_ptr<ResultCursor> SqliteDriver::insertRow(const QString &database, const QString &table,
                                                      const QStringList &columns,
                                                      const QVariantList &values,
                                                      const QStringList &returnColumns)
{
    const QString target = qualifiedTable(database, table);
    QString sql = QStringLiteral("INSERT INTO ") + target;
    if (columns.isEmpty()) {
        sql += QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList names, marks;
        for (const QString &column : columns) {
            names << quoteIdentifier(column);
            marks << QStringLiteral("?");
        }
        sql += QStringLiteral(" (%1) VALUES (%2)").arg(names.join(u','), marks.join(u','));
    }
    QStringList select;
    for (const QString &column : returnColumns)
        select << quoteIdentifier(column);
    if (!select.isEmpty() && returningShowsStoredRow(database, table))
        return query(sql + QStringLiteral(" RETURNING ") + select.join(u','), values);
    execute(sql, values);
    const qint64 rowid = sqlite3_last_insert_rowid(m_db);

    // Read back by rowid: what AFTER INSERT triggers set is only visible this way.
    return query(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(select.join(u','), target),
                 {rowid});
}

} // namespace perikon::db
