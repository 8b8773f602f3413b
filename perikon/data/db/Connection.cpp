#include "Connection.h"

#include "ConnectionString.h"
#include "DbError.h"
#include "Driver.h"
#include "PostgresDriver.h"
#include "ProcedureRegistry.h"
#include "SqliteDriver.h"

#include <utility>

namespace perikon::db {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.Connection");

std::unique_ptr<Driver> createDriver(const QString &provider)
{
    const QString name = provider.trimmed().toLower();
    if (name == u"sqlite" || name == u"sqlite3")
        return std::make_unique<SqliteDriver>();
    if (name == u"postgresql" || name == u"postgres" || name == u"pgsql")
        return std::make_unique<PostgresDriver>();
    throw DbError(DbError::ProviderError,
                  QStringLiteral("Provider '%1' is not available.").arg(provider), kSource);
}

// Whether a translated text changes the schema: what was kept about tables and statements is
// then dropped. A quoted "; drop" only costs a needless drop of the caches.
bool changesSchema(const QString &sql)
{
    static const QLatin1StringView words[]
        = {QLatin1StringView("create"),   QLatin1StringView("alter"),  QLatin1StringView("drop"),
           QLatin1StringView("truncate"), QLatin1StringView("attach"), QLatin1StringView("detach")};
    qsizetype i = 0;
    while (i < sql.size()) {
        while (i < sql.size() && (sql.at(i).isSpace() || sql.at(i) == u';'))
            ++i;
        for (const QLatin1StringView word : words) {
            const qsizetype end = i + word.size();
            if (QStringView(sql).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0
                && (end >= sql.size() || !sql.at(end).isLetterOrNumber()))
                return true;
        }
        i = sql.indexOf(u';', i);
        if (i < 0)
            break;
    }
    return false;
}

} // namespace

Connection::Connection(QObject *parent)
    : QObject(parent)
    , m_procedures(ProcedureRegistry::standard())
{}

Connection::~Connection()
{
    close();
}

void Connection::setConnectionString(const QString &connectionString)
{
    if (state() == StateOpen)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("The connection string cannot change while the connection "
                                     "is open."),
                      kSource);
    m_connectionString = connectionString;
}

void Connection::setCommandTimeout(int seconds)
{
    m_commandTimeout = qMax(0, seconds);
    // A new link takes it when made.
    if (state() == StateOpen)
        m_driver->setStatementTimeout(m_commandTimeout);
}

void Connection::open(const QString &connectionString)
{
    if (state() == StateOpen)
        throw DbError(DbError::InvalidState, QStringLiteral("The connection is already open."),
                      kSource);
    if (!connectionString.isEmpty())
        m_connectionString = connectionString;
    adopt(connect());
}

std::unique_ptr<Driver> Connection::connect() const
{
    const ConnectionString parsed(m_connectionString);
    auto driver = createDriver(parsed.provider());
    driver->open(parsed);
    driver->setStatementTimeout(m_commandTimeout);
    return driver;
}

// Replaces a lost link too: the transaction it carried went with it.
void Connection::adopt(std::unique_ptr<Driver> driver)
{
    m_driver = std::move(driver);
    m_inTransaction = false;
    ++m_generation;
}

bool Connection::linkLost()
{
    return m_driver && m_driver->linkLost();
}

bool Connection::restoreLostLink()
{
    if (m_inTransaction || !linkLost())
        return false;
    const QString database = m_driver->defaultDatabase();
    auto driver = connect();
    // A database switched to since the link was made stays the one unqualified names mean.
    if (!database.isEmpty()
        && database.compare(driver->defaultDatabase(), Qt::CaseInsensitive) != 0)
        driver->setDefaultDatabase(database);
    adopt(std::move(driver));
    return true;
}

void Connection::close()
{
    if (!m_driver)
        return;
    if (m_inTransaction) {
        try {
            m_driver->rollback();
        } catch (const DbError &) {
            // Closing discards the transaction either way.
        }
        m_inTransaction = false;
    }
    m_driver->close();
    m_driver.reset();
}

int Connection::state() const
{
    return m_driver && m_driver->isOpen() ? StateOpen : StateClosed;
}

void Connection::requireOpen() const
{
    if (state() == StateOpen)
        return;
    ++m_refusals;
    if (m_driver)
        throw DbError(DbError::ProviderError,
                      QStringLiteral("The connection to the database server was lost."), kSource);
    throw DbError(DbError::InvalidState,
                  QStringLiteral("Operation is not allowed when the object is closed."), kSource);
}

Driver &Connection::driver() const
{
    requireOpen();
    return *m_driver;
}

SqlTarget Connection::target() const
{
    return driver().target();
}

SqlDialect Connection::dialect() const
{
    SqlDialect dialect(driver().target());
    dialect.setDatabaseSchemas(driver().databaseSchemas());
    return dialect;
}

std::vector<TranslatedStatement> Connection::translated(const QString &sqlServerText)
{
    return m_driver->translations().steps(
        sqlServerText, [this](const QString &text) { return dialect().translate(text); });
}

qint64 Connection::runStep(const TranslatedStatement &step)
{
    switch (step.kind) {
    case TranslatedStatement::Kind::Sql: {
        m_driver->forgetReadsWrittenBy(step.sql);
        const qint64 affected = m_driver->execute(step.sql);
        if (changesSchema(step.sql))
            m_driver->clearStatementCaches();
        return affected;
    }
    case TranslatedStatement::Kind::UseDatabase:
        m_driver->setDefaultDatabase(step.database);
        break;
    case TranslatedStatement::Kind::IfExists:
        if (m_driver->query(step.probe)->next()) {
            m_driver->forgetReadsWrittenBy(step.sql);
            const qint64 affected = m_driver->execute(step.sql);
            if (changesSchema(step.sql))
                m_driver->clearStatementCaches();
            return affected;
        }
        break;
    case TranslatedStatement::Kind::Procedure:
        m_procedures->call(step.procedure, *this, step.arguments);
        break;
    }
    return 0;
}

void Connection::execute(const QString &sqlServerText, qint64 *recordsAffected)
{
    requireOpen();
    qint64 affected = 0;
    for (const TranslatedStatement &step : translated(sqlServerText))
        affected += runStep(step);
    if (recordsAffected)
        *recordsAffected = affected;
}

qint64 Connection::executeText(const QString &sqlServerText)
{
    qint64 affected = 0;
    execute(sqlServerText, &affected);
    return affected;
}

std::unique_ptr<ResultCursor> Connection::openCursor(const QString &sqlServerText)
{
    requireOpen();
    const std::vector<TranslatedStatement> steps = translated(sqlServerText);
    if (steps.empty())
        return nullptr;
    // Steps before the last one run for their effect; the last one gives the rows.
    for (std::size_t i = 0; i + 1 < steps.size(); ++i)
        runStep(steps[i]);
    const TranslatedStatement &last = steps.back();
    if (last.kind == TranslatedStatement::Kind::Sql)
        return m_driver->query(last.sql);
    if (last.kind == TranslatedStatement::Kind::IfExists)
        return m_driver->query(last.probe)->next() ? m_driver->query(last.sql) : nullptr;
    runStep(last);
    return nullptr;
}

int Connection::beginTrans()
{
    requireOpen();
    if (m_inTransaction)
        throw DbError(DbError::InvalidState,
                      QStringLiteral("A transaction is already in progress."), kSource);
    m_driver->beginTransaction();
    m_inTransaction = true;
    return 1;
}

void Connection::commitTrans()
{
    requireOpen();
    if (!m_inTransaction)
        throw DbError(DbError::InvalidState, QStringLiteral("No transaction is active."), kSource);
    m_driver->commit();
    m_inTransaction = false;
}

void Connection::rollbackTrans()
{
    // A lost link took the transaction with it: it is over either way.
    const bool active = std::exchange(m_inTransaction, false);
    requireOpen();
    if (!active)
        throw DbError(DbError::InvalidState, QStringLiteral("No transaction is active."), kSource);
    m_driver->rollback();
}

QString Connection::defaultDatabase() const
{
    return m_driver ? m_driver->defaultDatabase() : QString();
}

void Connection::setDefaultDatabase(const QString &database)
{
    driver().setDefaultDatabase(database);
}

void Connection::setProcedureRegistry(std::shared_ptr<const ProcedureRegistry> registry)
{
    m_procedures = registry ? std::move(registry) : ProcedureRegistry::standard();
}

} // namespace perikon::db
