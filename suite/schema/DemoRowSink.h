#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace perikon::suite::internal {

// One table's rows as the demo loader writes them: set the values of a row by 1-based position,
// then run() hands the row over and clears it for the next. Empty text is NULL: the suite stores
// "no value" as NULL, never as ''. Failures throw std::runtime_error.
class DemoRows
{
public:
    virtual ~DemoRows() = default;
    virtual void text(int index, std::string_view value) = 0;
    virtual void integer(int index, long long value) = 0;
    virtual void real(int index, double value) = 0;
    virtual void null(int index) = 0;
    virtual void run() = 0;
};

// Where a demo load goes: one backend's account database, inside the load's transaction.
class DemoRowSink
{
public:
    virtual ~DemoRowSink() = default;
    // Rows for `table` with the comma-separated `columns`, in that order.
    virtual std::unique_ptr<DemoRows> rows(std::string_view table, std::string_view columns) = 0;
    // Runs statements written in the text both backends accept; rows handed over earlier are
    // written first.
    virtual void exec(const std::string &sql) = 0;
};

} // namespace perikon::suite::internal
