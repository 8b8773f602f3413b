#include "PgResultHandle.h"

#include <libpq-fe.h>

namespace perikon::db {

void PgResultClearer::operator()(pg_result *result) const noexcept
{
    PQclear(result);
}

} // namespace perikon::db
