#pragma once

// The PostgreSQL side of the list-read benchmark: the same list read with raw libpq and through a
// client-side recordset on a database of its own on the server PERIKON_TEST_PG names.
// Returns the process exit code.
int runPostgresListRead(const char *listSql, const char *schemaSql, int customers, int rows,
                        int repeats);
