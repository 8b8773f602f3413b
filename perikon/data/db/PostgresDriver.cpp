#include "PostgresDriver.h"

#include "ConnectionString.h"
#include "DateTimeFormat.h"
#include "DbError.h"
#include "PostgresCursor.h"
#include "SqlKeywords.h"

#include <QDateTime>
#include <QRegularExpression>

#include <libpq-fe.h>

#include <algorithm>
#include <iterator>

namespace perikon::db {

using namespace Qt::StringLiterals;

namespace {

const QString kSource = u"Perikon.Db.Postgres"_s;

// A caller's own savepoint commands run unguarded: releasing the statement guard would release
// every savepoint made after it, the caller's among them.
bool isSavepointCommand(const QString &sql)
{
    static const QRegularExpression command(u"^\\s*(savepoint|release|rollback\\s+to)\\b"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return command.match(sql).hasMatch();
}

// Parameters in libpq's form; the byte arrays own the values the pointers point into.
struct BoundParameters
{
    explicit BoundParameters(const QVariantList &values)
    {
        for (const QVariant &value : values) {
            if (value.isNull()) {
                storage.push_back({});
                types.push_back(0);
                formats.push_back(0);
                continue;
            }
            switch (value.typeId()) {
            case QMetaType::Bool:
                storage.push_back(value.toBool() ? "1" : "0");
                types.push_back(0);
                formats.push_back(0);
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                storage.push_back(QByteArray::number(value.toDouble(), 'g', 17));
                types.push_back(0);
                formats.push_back(0);
                break;
            case QMetaType::QByteArray:
                storage.push_back(value.toByteArray());
                types.push_back(PostgresType::Bytea);
                formats.push_back(1);
                break;
            case QMetaType::QDateTime:
                storage.push_back(value.toDateTime().toString(db::kDateTimeMillisFormat).toUtf8());
                types.push_back(0);
                formats.push_back(0);
                break;
            default:
                storage.push_back(value.toString().toUtf8());
                types.push_back(0);
                formats.push_back(0);
                break;
            }
        }
        for (std::size_t i = 0; i < storage.size(); ++i) {
            const bool null = values.at(qsizetype(i)).isNull();
            pointers.push_back(null ? nullptr : storage[i].constData());
            lengths.push_back(int(storage[i].size()));
        }
    }

    std::vector<QByteArray> storage;
    std::vector<const char *> pointers;
    std::vector<int> lengths;
    std::vector<Oid> types;
    std::vector<int> formats;
};

// The suite's type words in a CREATE TABLE, in PostgreSQL's terms.
const std::array<std::pair<QRegularExpression, QString>, 7> &createTableTypes()
{
    static const std::array<std::pair<QRegularExpression, QString>, 7> types = {{
        {QRegularExpression(u"\\bnvarchar\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"varchar"_s},
        {QRegularExpression(u"\\bnchar\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"char"_s},
        {QRegularExpression(u"\\bntext\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"text"_s},
        {QRegularExpression(u"\\bdatetime\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"timestamp(3)"_s},
        {QRegularExpression(u"\\bbit\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"public.flag"_s},
        {QRegularExpression(u"\\bimage\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"bytea"_s},
        {QRegularExpression(u"\\bmoney\\b"_s, QRegularExpression::CaseInsensitiveOption),
         u"numeric(19,4)"_s},
    }};
    return types;
}

} // namespace

PostgresDriver::~PostgresDriver()
{
    close();
}

QList<QPair<QByteArray, QByteArray>> PostgresDriver::connectParameters(const ConnectionString &text)
{
    QList<QPair<QByteArray, QByteArray>> parameters;
    auto add = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            parameters.append({key, value.toUtf8()});
    };
    add("host", text.host());
    if (text.port() > 0)
        add("port", QString::number(text.port()));
    add("dbname", text.database());
    add("user", text.user());
    add("password", text.password());
    add("connect_timeout", u"10"_s);
    add("client_encoding", u"UTF8"_s);
    add("application_name", u"perikon"_s);
    return parameters;
}

void PostgresDriver::open(const ConnectionString &connectionString)
{
    close();
    const OpeningScope opening;
    const auto parameters = connectParameters(connectionString);
    std::vector<const char *> keys, values;
    for (const auto &[key, value] : parameters) {
        keys.push_back(key.constData());
        values.push_back(value.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn *conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        const QString message
            = conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed() : u"out of memory"_s;
        PQfinish(conn);
        throw DbError(DbError::ProviderError,
                      u"Cannot connect to database \"%1\" on %2: %3"_s.arg(
                          connectionString.database(), connectionString.host(), message),
                      kSource);
    }
    m_conn = conn;
    try {
        // Quiet notices ("table does not exist, skipping") and dates in the ISO form the
        // component parses.
        PQsetNoticeProcessor(
            m_conn, [](void *, const char *) {}, nullptr);
        execute(u"SET DateStyle = ISO, YMD; SET client_min_messages = warning"_s);
        m_account = connectionString.accountNumber();
        QString catalog = connectionString.catalog();
        if (catalog.isEmpty())
            catalog = u"public"_s;
        setDefaultDatabase(catalog);
        setStatementTimeout(m_timeoutSeconds);
    } catch (...) {
        close();
        throw;
    }
    countOpened();
}

void PostgresDriver::close()
{
    if (!m_conn)
        return;
    PQfinish(m_conn);
    m_conn = nullptr;
    m_readFailed = false;
    m_defaultDatabase.clear();
    m_savepointDepth = 0;
    forgetCatalog();
    m_spellings.reset();
    m_spellingTable = false;
}

bool PostgresDriver::isOpen() const
{
    return m_conn && !m_readFailed && PQstatus(m_conn) == CONNECTION_OK;
}

bool PostgresDriver::linkLost()
{
    if (!m_conn)
        return false;
    // A server that ends a session sends its reason and closes the socket. Reading what is
    // pending takes the reason first; the next read meets the closed socket, which marks the
    // link bad. Neither read waits: an idle link has nothing to read. A read that fails for
    // another reason (a reset, a timeout) leaves the status alone but the link is as dead.
    for (int read = 0; read < 2 && isOpen(); ++read)
        m_readFailed = !PQconsumeInput(m_conn);
    return !isOpen();
}

void PostgresDriver::clearStatementCaches()
{
    Driver::clearStatementCaches();
    // A column may have changed its type.
    forgetCatalog();
}

void PostgresDriver::forgetCatalog()
{
    m_columns.clear();
    m_knownTables.clear();
    m_described.clear();
    ++m_catalogGeneration;
}

void PostgresDriver::setStatementTimeout(int seconds)
{
    m_timeoutSeconds = qMax(0, seconds);
    if (m_conn)
        execute(u"SET statement_timeout = %1"_s.arg(qint64(m_timeoutSeconds) * 1000));
}

void PostgresDriver::requireConnection(const QString &sql) const
{
    if (!m_conn)
        throw DbError(DbError::InvalidState, u"The connection is closed.\n"_s + sql, kSource);
    if (!isOpen())
        throw DbError(DbError::ProviderError,
                      u"The connection to the database server was lost.\n"_s + sql, kSource);
}

bool PostgresDriver::inTransaction() const
{
    return m_conn && PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

void PostgresDriver::fail(const PGresult *result, const QString &sql)
{
    QString message;
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (state && qstrcmp(state, "57014") == 0 && m_timeoutSeconds > 0)
        message = u"Query timeout expired"_s;
    else if (result && PQresultErrorMessage(result)[0])
        message = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    else
        message = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    if (PQstatus(m_conn) == CONNECTION_BAD)
        message = u"The connection to the database server was lost: "_s + message;
    throw DbError(DbError::ProviderError, message + u'\n' + sql, kSource);
}

PgResultHandle PostgresDriver::runRaw(const QByteArray &sql)
{
    if (observed())
        observe(QString::fromUtf8(sql), {});
    PgResultHandle result(PQexec(m_conn, sql.constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result.get(), QString::fromUtf8(sql));
    return result;
}

PgResultHandle PostgresDriver::run(const QString &sql, const QVariantList &parameters)
{
    requireConnection(sql);
    // Inside a transaction a failed statement is undone alone, as the component expects,
    // instead of dooming the whole transaction.
    const bool guarded = m_savepointDepth > 0 && !isSavepointCommand(sql);
    if (guarded)
        runRaw("SAVEPOINT perikon_statement");
    observe(sql, parameters);
    const QByteArray text = sql.toUtf8();
    const BoundParameters bound(parameters);
    PgResultHandle result(PQexecParams(m_conn, text.constData(), int(bound.pointers.size()),
                                       bound.types.data(), bound.pointers.data(),
                                       bound.lengths.data(), bound.formats.data(), 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        // The undo's own outcome does not matter: the statement's failure is what is reported.
        if (guarded && PQstatus(m_conn) == CONNECTION_OK)
            PgResultHandle undo(PQexec(m_conn, "ROLLBACK TO SAVEPOINT perikon_statement; "
                                               "RELEASE SAVEPOINT perikon_statement"));
        fail(result.get(), sql);
    }
    if (guarded)
        runRaw("RELEASE SAVEPOINT perikon_statement");
    return result;
}

qint64 PostgresDriver::execute(const QString &sql, const QVariantList &parameters)
{
    if (!parameters.isEmpty() || !sql.contains(u';')) {
        const QString text = createTableText(sql);
        const PgResultHandle result = run(text, parameters);
        recordSpellings(sql);
        return QByteArray(PQcmdTuples(result.get())).toLongLong();
    }
    // Several statements: the simple protocol runs them as one unit and reports each.
    requireConnection(sql);
    if (m_savepointDepth > 0)
        runRaw("SAVEPOINT perikon_statement");
    const QString text = createTableText(sql);
    observe(text, {});
    if (!PQsendQuery(m_conn, text.toUtf8().constData()))
        fail(nullptr, sql);
    qint64 affected = 0;
    PgResultHandle failed;
    while (PgResultHandle result{PQgetResult(m_conn)}) {
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && !failed) {
            failed = std::move(result);
            continue;
        }
        affected += QByteArray(PQcmdTuples(result.get())).toLongLong();
    }
    if (failed) {
        // As in run(): the undo's own outcome does not matter.
        if (m_savepointDepth > 0 && PQstatus(m_conn) == CONNECTION_OK)
            PgResultHandle undo(PQexec(m_conn, "ROLLBACK TO SAVEPOINT perikon_statement; "
                                               "RELEASE SAVEPOINT perikon_statement"));
        fail(failed.get(), sql);
    }
    if (m_savepointDepth > 0)
        runRaw("RELEASE SAVEPOINT perikon_statement");
    return affected;
}

// The suite writes scratch tables in its own type words (nvarchar, datetime, bit ...); the
// server knows them by other names.
QString PostgresDriver::createTableText(const QString &sql) const
{
    static const QRegularExpression createTable(u"^\\s*create\\s+table\\b"_s,
                                                QRegularExpression::CaseInsensitiveOption);
    // Every statement passes here: only one that starts with the word is matched in full.
    const QStringView start = QStringView(sql).trimmed();
    if (!start.startsWith(QLatin1StringView("create"), Qt::CaseInsensitive)
        || !createTable.match(sql).hasMatch())
        return sql;
    // Only outside quotes: a default such as 'image' or a quoted name keeps its text.
    static const QRegularExpression quoted(u"'(?:[^']|'')*'|\"(?:[^\"]|\"\")*\""_s);
    QString text;
    qsizetype done = 0;
    auto translate = [&](qsizetype end) {
        QString part = sql.mid(done, end - done);
        for (const auto &[word, type] : createTableTypes())
            part.replace(word, type);
        text += part;
    };
    for (auto it = quoted.globalMatch(sql); it.hasNext();) {
        const auto match = it.next();
        translate(match.capturedStart());
        text += match.captured();
        done = match.capturedEnd();
    }
    translate(sql.size());
    return text;
}

std::unique_ptr<ResultCursor> PostgresDriver::query(const QString &sql,
                                                    const QVariantList &parameters)
{
    PgResultHandle handle = run(sql, parameters);
    const PGresult *result = handle.get();
    std::vector<unsigned> types;
    std::shared_ptr<const ResultColumns> columns = describe(result, sql, types);
    return std::make_unique<PostgresCursor>(std::move(handle), std::move(columns), types);
}

void PostgresDriver::beginTransaction()
{
    execute(u"BEGIN"_s);
    m_savepointDepth = 1;
}

void PostgresDriver::commit()
{
    m_savepointDepth = 0;
    execute(u"COMMIT"_s);
}

void PostgresDriver::rollback()
{
    m_savepointDepth = 0;
    execute(u"ROLLBACK"_s);
}

QString PostgresDriver::schemaOf(const QString &database)
{
    QString name = database.trimmed();
    if (name.size() >= 2 && name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    return name.toLower();
}

void PostgresDriver::setDefaultDatabase(const QString &name)
{
    QString database = name.trimmed();
    if (database.size() >= 2 && database.startsWith(u'[') && database.endsWith(u']'))
        database = database.mid(1, database.size() - 2);
    if (!m_conn)
        throw DbError(DbError::InvalidState, u"The connection is closed."_s, kSource);
    const QString schema = schemaOf(database);
    const PgResultHandle found = run(u"SELECT 1 FROM pg_namespace WHERE nspname = $1"_s, {schema});
    if (schema.isEmpty() || PQntuples(found.get()) == 0)
        throw DbError(DbError::ProviderError, u"Database '%1' does not exist."_s.arg(database),
                      kSource);
    // Unqualified names resolve as on the embedded backend: the database itself, then the
    // system and meta databases, then the scratch database.
    QStringList path{quoteIdentifier(schema)};
    for (const QString &other :
         {u"qzsystem"_s, ConnectionString::metaDatabaseOf(m_account).toLower(), u"public"_s,
          u"tempdb"_s}) {
        if (!other.isEmpty() && other != schema)
            path << quoteIdentifier(other);
    }
    execute(u"SET search_path TO "_s + path.join(u", "_s));
    m_defaultDatabase = database;
}

QString PostgresDriver::quoteIdentifier(const QString &name) const
{
    // Every statement a recordset writes names each of its columns: the answer is kept by name.
    if (const auto known = m_quoted.constFind(name); known != m_quoted.cend())
        return *known;
    constexpr qsizetype kMaxQuoted = 4096;
    if (m_quoted.size() >= kMaxQuoted)
        m_quoted.clear();
    return *m_quoted.insert(name, quoteIdentifierAnew(name));
}

QString PostgresDriver::quoteIdentifierAnew(const QString &name)
{
    // Objects are created unquoted, so the catalog spells them in lower case. A plain name stays
    // unquoted: the server folds it the same way, and the statement keeps the caller's spelling,
    // which a CREATE TABLE records for result names.
    static constexpr QLatin1StringView reserved[]
        = {"user"_L1,  "order"_L1,  "group"_L1,  "table"_L1,
           "limit"_L1, "offset"_L1, "window"_L1, "do"_L1};
    const auto plain = [](const QString &text) {
        const auto letter = [](QChar c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        };
        if (text.isEmpty() || !letter(text.front()))
            return false;
        return std::all_of(text.cbegin(), text.cend(),
                           [&](QChar c) { return letter(c) || (c >= u'0' && c <= u'9'); });
    };
    if (plain(name) && !internal::isReservedWord(name)
        && std::none_of(std::begin(reserved), std::end(reserved), [&](QLatin1StringView word) {
               return name.compare(word, Qt::CaseInsensitive) == 0;
           }))
        return name;
    QString quoted = name.toLower();
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString PostgresDriver::qualifiedTable(const QString &database, const QString &table) const
{
    if (database.isEmpty())
        return quoteIdentifier(table);
    return quoteIdentifier(schemaOf(database)) + u'.' + quoteIdentifier(table);
}

QString PostgresDriver::placeholder(int index) const
{
    // Written for every value of every statement a recordset writes: the common ones are made once.
    static const QStringList made = [] {
        QStringList marks;
        for (int i = 1; i <= 64; ++i)
            marks << u'$' + QString::number(i);
        return marks;
    }();
    return index >= 0 && index < made.size() ? made.at(index) : u'$' + QString::number(index + 1);
}

QString PostgresDriver::nullSafeEquals(const QString &lhs, const QString &rhs) const
{
    return lhs + u" IS NOT DISTINCT FROM "_s + rhs;
}

QStringList PostgresDriver::primaryKeyColumns(const QString &database, const QString &table)
{
    const PgResultHandle result(
        run(u"SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid"
            " AND a.attnum = ANY (i.indkey) WHERE i.indrelid = to_regclass($1) AND i.indisprimary"
            " ORDER BY array_position(i.indkey::int2[], a.attnum)"_s,
            {qualifiedTable(database, table)}));
    QStringList keys;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        keys << spelling(table.toLower(), QString::fromUtf8(PQgetvalue(result.get(), row, 0)));
    return keys;
}

std::unique_ptr<ResultCursor>
PostgresDriver::insertRow(const QString &database, const QString &table, const QStringList &columns,
                          const QVariantList &values, const QStringList &returnColumns)
{
    QString sql = u"INSERT INTO "_s + qualifiedTable(database, table);
    if (columns.isEmpty()) {
        sql += u" DEFAULT VALUES"_s;
    } else {
        QStringList names, marks;
        for (int i = 0; i < columns.size(); ++i) {
            names << quoteIdentifier(columns.at(i));
            marks << placeholder(i);
        }
        sql += u" (%1) VALUES (%2)"_s.arg(names.join(u','), marks.join(u','));
    }
    // RETURNING gives the row as stored: defaults and what the row-version trigger set.
    QStringList select;
    for (const QString &column : returnColumns)
        select << quoteIdentifier(column);
    if (!select.isEmpty())
        sql += u" RETURNING "_s + select.join(u',');
    return query(sql, values);
}

} // namespace perikon::db
