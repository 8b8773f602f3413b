#pragma once

// Logging an operator in to the shell: the account database must open and know the operator.

#include <QObject>
#include <QString>

#include <memory>

namespace perikon::shell {

struct LoginRequest
{
    QString userId;
    QString connectionString; // a QZDATA_*.db file or a full connection string
    QString language;         // "zh-CN" or "en-US"
};

struct LoginResult
{
    std::unique_ptr<QObject> login; // the suite's login object; empty on failure
    QString error;                  // what went wrong, in the requested language
};

// A bare database file becomes a SQLite connection string; anything else is taken as written.
QString connectionStringFor(const QString &databaseOrConnection);

// Opens the account database, reads the operator from the users table and makes the login.
LoginResult logIn(const LoginRequest &request);

} // namespace perikon::shell
