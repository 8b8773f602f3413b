#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace perikon::db {

// An error of the data-access layer: a number in the classic numbering the component's error
// handling tests for, a description for logs and messages, and the source that raised it.
class DbError : public std::exception
{
public:
    // The row an update or delete addressed is gone (0x80040E38).
    static constexpr qint64 RowNotLocated = -2147217864;
    // Generic provider error (0x80004005).
    static constexpr qint64 ProviderError = -2147467259;
    // A statement the SQL dialect cannot translate.
    static constexpr qint64 UnsupportedStatement = -2147217900;
    // The operation is not allowed in the object's current state (closed, BOF/EOF, read-only).
    static constexpr qint64 InvalidState = -2147217887;
    // A column name or index that the recordset does not have.
    static constexpr qint64 ItemNotFound = -2146825023;

    DbError(qint64 number, QString description, QString source = QStringLiteral("Perikon.Db"))
        : m_number(number)
        , m_description(std::move(description))
        , m_source(std::move(source))
        , m_what(m_description.toUtf8())
    {}

    qint64 number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    qint64 m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

} // namespace perikon::db
