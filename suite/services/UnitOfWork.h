#pragma once

#include <QString>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// Makes a service's writes all-or-nothing on a connection it shares with its caller: a
// transaction of its own when none is open, otherwise a savepoint inside the caller's, so the
// caller's transaction is neither committed nor lost. Rolls back unless commit() was called.
class UnitOfWork
{
public:
    // Throws DbError when the transaction or savepoint cannot be started.
    UnitOfWork(db::Connection &connection, const QString &savepointName);
    ~UnitOfWork();

    UnitOfWork(const UnitOfWork &) = delete;
    UnitOfWork &operator=(const UnitOfWork &) = delete;

    // Throws DbError; the work is then rolled back.
    void commit();

private:
    void rollback() noexcept;

    db::Connection &m_connection;
    QString m_savepoint; // empty when the unit owns the transaction
    bool m_open = true;
};

} // namespace perikon::suite
