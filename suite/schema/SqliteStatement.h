#pragma once

#include "perikon/data/db/SqliteStatementHandle.h"

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace perikon::suite::internal {

// A prepared statement for bulk loads. Bound text is copied, so temporaries are safe to bind.
// Failures throw std::runtime_error with SQLite's text.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, std::string_view sql)
        : m_db(db)
    {
        if (db::prepareSqliteStatement(db, sql.data(), int(sql.size()), m_handle) != SQLITE_OK)
            fail("prepare");
    }
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Empty text binds NULL: the suite stores "no value" as NULL, never as ''.
    void text(int index, std::string_view value)
    {
        const int rc = value.empty() ? sqlite3_bind_null(m_handle.get(), index)
                                     : sqlite3_bind_text(m_handle.get(), index, value.data(),
                                                         int(value.size()), SQLITE_TRANSIENT);
        check(rc, "bind");
    }
    void integer(int index, sqlite3_int64 value)
    {
        check(sqlite3_bind_int64(m_handle.get(), index, value), "bind");
    }
    void real(int index, double value)
    {
        check(sqlite3_bind_double(m_handle.get(), index, value), "bind");
    }
    void null(int index) { check(sqlite3_bind_null(m_handle.get(), index), "bind"); }

    // Runs a statement that returns no rows and makes it ready for the next values.
    void run()
    {
        const int rc = sqlite3_step(m_handle.get());
        sqlite3_reset(m_handle.get());
        if (rc != SQLITE_DONE)
            fail("step");
    }

    // Steps once; true while a row is available.
    bool nextRow()
    {
        const int rc = sqlite3_step(m_handle.get());
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail("step");
        return false;
    }
    sqlite3_int64 columnInteger(int index) const
    {
        return sqlite3_column_int64(m_handle.get(), index);
    }
    std::string columnText(int index) const
    {
        const auto *value = sqlite3_column_text(m_handle.get(), index);
        return value ? std::string(reinterpret_cast<const char *>(value)) : std::string();
    }

private:
    void check(int rc, const char *what)
    {
        if (rc != SQLITE_OK)
            fail(what);
    }
    [[noreturn]] void fail(const char *what)
    {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(m_db));
    }

    sqlite3 *m_db;
    db::SqliteStatementHandle m_handle;
};

} // namespace perikon::suite::internal
