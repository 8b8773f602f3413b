#pragma once

#include "suite/schema/SchemaResult.h"

#include <QString>

#include <cstdint>

namespace perikon::suite {

// What a demo load wrote.
struct DemoDataSummary
{
    int contacts = 0;
    int customers = 0;
    int departments = 0;
    int persons = 0;
    int opportunities = 0;
};

// Fills a freshly created account database with demo customers, employees and their contacts.
// The same seed and count give the same rows (OIDs included), so tests and benchmarks can rely
// on them. The load is one transaction: it either completes or leaves the database unchanged.
class DemoDataGenerator
{
public:
    explicit DemoDataGenerator(std::uint64_t seed)
        : m_seed(seed)
    {}

    // Refuses a database that already holds customers or contacts.
    SchemaResult<DemoDataSummary> generate(const QString &accountDbPath, int contactCount) const;
    // The same for the account schema of a PostgreSQL connection string, written with COPY.
    SchemaResult<DemoDataSummary> generatePostgres(const QString &connectionString,
                                                   int contactCount) const;

private:
    std::uint64_t m_seed;
};

inline SchemaResult<DemoDataSummary> generateDemoData(const QString &accountDbPath,
                                                      int contactCount, std::uint64_t seed)
{
    return DemoDataGenerator(seed).generate(accountDbPath, contactCount);
}

// Either backend: a "Provider=PostgreSQL;..." connection string, or the path of a SQLite
// account database.
inline SchemaResult<DemoDataSummary> generateDemoDataIn(const QString &target, int contactCount,
                                                        std::uint64_t seed)
{
    if (target.contains(QStringLiteral("provider=postgres"), Qt::CaseInsensitive))
        return DemoDataGenerator(seed).generatePostgres(target, contactCount);
    return DemoDataGenerator(seed).generate(target, contactCount);
}

} // namespace perikon::suite
