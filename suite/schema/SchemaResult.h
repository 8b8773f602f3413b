#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace perikon::suite {

// The outcome of a schema or demo-data operation: a value, or the reason it failed.
template<typename T> class SchemaResult
{
public:
    SchemaResult(T value)
        : m_value(std::move(value))
    {}

    static SchemaResult failure(QString error)
    {
        SchemaResult result;
        result.m_error = std::move(error);
        return result;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T &value() const { return *m_value; }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }

    // Empty when the operation succeeded.
    const QString &error() const { return m_error; }

private:
    SchemaResult() = default;

    std::optional<T> m_value;
    QString m_error;
};

} // namespace perikon::suite
