#pragma once

#include <QString>
#include <QVariantList>

#include <span>

namespace perikon::db {
class Driver;
}

namespace perikon::bench {

// One statement as a driver sent it to its backend.
struct CapturedStatement
{
    QString sql;
    QVariantList parameters;
};

// What replaying took and how much of it failed.
struct ReplayResult
{
    qint64 nanoseconds = 0;
    int failures = 0;
    QString firstFailure;
};

// Runs the statements through the backend's own C API on the open connection of `driver`, the
// way a minimal client would: prepare, bind, step through every row reading each value, finalize
// (sqlite3); PQexecParams with the same parameters, or PQexec for a batch of statements (libpq).
ReplayResult replayRaw(db::Driver &driver, std::span<const CapturedStatement> statements);

} // namespace perikon::bench
