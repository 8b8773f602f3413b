#pragma once

#include "ListReadRuns.h"

// The PostgreSQL side of the list-read benchmark: the same runs as `sqlite` describes, with raw
// libpq as the raw reader, on a database of its own on the server PERIKON_TEST_PG names.
// Returns the process exit code.
int runPostgresListRead(const ListReadSetup &sqlite, const char *listSql, const char *schemaSql,
                        int customers);
