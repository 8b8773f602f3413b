#pragma once

#include <memory>

struct pg_result;

namespace perikon::db {

// Owns a libpq result (PGresult): cleared when the handle goes, on every path out, so a failed
// statement or an exception never leaks the rows libpq holds.
struct PgResultClearer
{
    void operator()(pg_result *result) const noexcept;
};
using PgResultHandle = std::unique_ptr<pg_result, PgResultClearer>;

} // namespace perikon::db
