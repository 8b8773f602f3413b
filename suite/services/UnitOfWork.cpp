#include "suite/services/UnitOfWork.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"

namespace perikon::suite {

UnitOfWork::UnitOfWork(db::Connection &connection, const QString &savepointName)
    : m_connection(connection)
{
    if (!connection.inTransaction()) {
        connection.beginTrans();
        return;
    }
    // The dialect knows no savepoints; both backends take this text as it is.
    m_savepoint = savepointName;
    connection.driver().execute(QStringLiteral("SAVEPOINT ") + m_savepoint);
}

UnitOfWork::~UnitOfWork()
{
    if (m_open)
        rollback();
}

void UnitOfWork::commit()
{
    if (!m_open)
        return;
    try {
        if (m_savepoint.isEmpty())
            m_connection.commitTrans();
        else
            m_connection.driver().execute(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
        m_open = false;
    } catch (const db::DbError &) {
        rollback();
        throw;
    }
}

void UnitOfWork::rollback() noexcept
{
    m_open = false;
    try {
        if (m_savepoint.isEmpty()) {
            if (m_connection.inTransaction())
                m_connection.rollbackTrans();
        } else {
            db::Driver &driver = m_connection.driver();
            driver.execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
            driver.execute(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
        }
    } catch (const db::DbError &) {
        // Nothing more can be undone; the caller already reports the failure that led here.
    }
}

} // namespace perikon::suite
