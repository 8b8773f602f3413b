#pragma once

#include <QString>

#include <optional>

struct sqlite3;

// A fresh set of suite databases in a folder, connected the way the SQLite driver connects them:
// the account database as main, QZMeta_001, qzsystem and an in-memory tempdb attached, and the
// SQL Server compatibility installed. Built with the raw sqlite3 API from the suite schema files.
class SuiteDatabase
{
public:
    SuiteDatabase() = default;
    SuiteDatabase(const SuiteDatabase &) = delete;
    SuiteDatabase &operator=(const SuiteDatabase &) = delete;
    ~SuiteDatabase();

    // An error text, or nothing on success.
    std::optional<QString> create(const QString &folder);
    sqlite3 *handle() const { return m_db; }

    // Runs one statement to its end. Rows come back as "a,b;c,d" with NULL as "NULL", or the
    // error text prefixed with "ERROR: ".
    QString run(const QString &sql) const;
    std::optional<QString> execScript(const QString &sql) const;

private:
    sqlite3 *m_db = nullptr;
};
