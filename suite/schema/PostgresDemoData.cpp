// The PostgreSQL path of DemoDataGenerator: the same rows, written with COPY in one transaction.
#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/DemoLoader.h"

#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/PgResultHandle.h"
#include "perikon/data/db/PostgresDriver.h"

#include <libpq-fe.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace perikon::suite {

namespace {

// Rows are sent once this much COPY text has gathered.
constexpr std::size_t kFlushBytes = 4 << 20;

class PostgresDemoSink;

class CopyRows final : public internal::DemoRows
{
public:
    CopyRows(PostgresDemoSink &sink, std::string table, std::string columns)
        : m_sink(sink)
        , m_table(std::move(table))
        , m_columns(std::move(columns))
    {
        std::size_t count = 1;
        for (char c : m_columns)
            count += c == ',';
        m_values.resize(count);
        m_null.assign(count, true);
    }
    ~CopyRows() override;

    void text(int index, std::string_view value) override
    {
        std::string &field = m_values[std::size_t(index - 1)];
        field.clear();
        m_null[std::size_t(index - 1)] = value.empty();
        // COPY's text format: backslash escapes for the separators and the escape itself.
        for (char c : value) {
            switch (c) {
            case '\\':
                field += "\\\\";
                break;
            case '\t':
                field += "\\t";
                break;
            case '\n':
                field += "\\n";
                break;
            case '\r':
                field += "\\r";
                break;
            default:
                field += c;
            }
        }
    }
    void integer(int index, long long value) override
    {
        m_values[std::size_t(index - 1)] = std::to_string(value);
        m_null[std::size_t(index - 1)] = false;
    }
    void real(int index, double value) override
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
        m_values[std::size_t(index - 1)] = buffer;
        m_null[std::size_t(index - 1)] = false;
    }
    void null(int index) override { m_null[std::size_t(index - 1)] = true; }

    void run() override
    {
        for (std::size_t i = 0; i < m_values.size(); ++i) {
            if (i > 0)
                m_buffer += '\t';
            m_buffer += m_null[i] ? std::string_view("\\N") : std::string_view(m_values[i]);
            m_null[i] = true;
        }
        m_buffer += '\n';
        if (m_buffer.size() >= kFlushBytes)
            flush();
    }

    void flush();

private:
    PostgresDemoSink &m_sink;
    std::string m_table;
    std::string m_columns;
    std::vector<std::string> m_values;
    std::vector<bool> m_null;
    std::string m_buffer;
};

class PostgresDemoSink final : public internal::DemoRowSink
{
public:
    explicit PostgresDemoSink(db::PostgresDriver &driver)
        : m_driver(driver)
    {}

    std::unique_ptr<internal::DemoRows> rows(std::string_view table,
                                             std::string_view columns) override
    {
        auto rows = std::make_unique<CopyRows>(*this, std::string(table), std::string(columns));
        m_open.push_back(rows.get());
        return rows;
    }

    void exec(const std::string &sql) override
    {
        flushAll();
        m_driver.execute(QString::fromStdString(sql));
    }

    void flushAll()
    {
        for (CopyRows *rows : m_open)
            rows->flush();
        for (const Pending &pending : m_pending)
            copy(pending.table, pending.columns, pending.data);
        m_pending.clear();
    }

    // Rows whose writer is gone are kept for the next flush.
    void forget(CopyRows *rows, std::string table, std::string columns, std::string data)
    {
        std::erase(m_open, rows);
        if (!data.empty())
            m_pending.push_back({std::move(table), std::move(columns), std::move(data)});
    }

    void copy(const std::string &table, const std::string &columns, const std::string &data)
    {
        PGconn *conn = m_driver.handle();
        const std::string command = "COPY " + table + " (" + columns + ") FROM STDIN";
        const db::PgResultHandle start(PQexec(conn, command.c_str()));
        if (PQresultStatus(start.get()) != PGRES_COPY_IN)
            throw std::runtime_error(PQerrorMessage(conn));
        if (PQputCopyData(conn, data.data(), int(data.size())) != 1
            || PQputCopyEnd(conn, nullptr) != 1)
            throw std::runtime_error(PQerrorMessage(conn));
        std::string failure;
        while (const db::PgResultHandle result{PQgetResult(conn)}) {
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK && failure.empty())
                failure = PQresultErrorMessage(result.get());
        }
        if (!failure.empty())
            throw std::runtime_error(table + ": " + failure);
    }

private:
    struct Pending
    {
        std::string table, columns, data;
    };
    db::PostgresDriver &m_driver;
    std::vector<CopyRows *> m_open;
    std::vector<Pending> m_pending;
};

CopyRows::~CopyRows()
{
    m_sink.forget(this, m_table, m_columns, std::move(m_buffer));
}

void CopyRows::flush()
{
    if (m_buffer.empty())
        return;
    std::string data;
    data.swap(m_buffer);
    m_sink.copy(m_table, m_columns, data);
}

} // namespace

SchemaResult<DemoDataSummary> DemoDataGenerator::generatePostgres(const QString &connectionString,
                                                                  int contactCount) const
{
    using Result = SchemaResult<DemoDataSummary>;
    if (contactCount < 0)
        return Result::failure(QStringLiteral("The number of demo contacts cannot be negative."));
    const db::ConnectionString target(connectionString);
    db::PostgresDriver driver;
    try {
        driver.open(target);
        driver.setStatementTimeout(0);
        auto existing = driver.query(QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM Crm_Contact) + (SELECT COUNT(*) FROM Customer)"));
        if (existing->next() && existing->cell(0).integer > 0)
            return Result::failure(
                QStringLiteral("%1 already holds customers or contacts; demo data "
                               "goes into a new database only.")
                    .arg(target.catalog()));
        existing.reset();
        driver.beginTransaction();
        PostgresDemoSink sink(driver);
        long long lastVersion = 0;
        // The row-version trigger numbers the contacts as they arrive, in the loader's order.
        const DemoDataSummary summary
            = internal::loadDemoRows(sink, m_seed, contactCount, 0, lastVersion);
        sink.flushAll();
        driver.execute(QStringLiteral("ANALYZE Crm_Contact; ANALYZE Customer"));
        driver.commit();
        return summary;
    } catch (const db::DbError &error) {
        return Result::failure(QStringLiteral("Demo data for %1 failed: %2")
                                   .arg(target.catalog(), error.description()));
    } catch (const std::exception &error) {
        return Result::failure(QStringLiteral("Demo data for %1 failed: %2")
                                   .arg(target.catalog(), QString::fromUtf8(error.what())));
    }
}

} // namespace perikon::suite
