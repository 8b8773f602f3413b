#include "suite/services/FunctionLockHeartbeat.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteSql.h"

#include <algorithm>

namespace perikon::suite {
namespace {

std::chrono::milliseconds secondsSetting(const char *name, std::chrono::milliseconds fallback)
{
    bool ok = false;
    const double seconds = qEnvironmentVariable(name).trimmed().toDouble(&ok);
    if (!ok || seconds <= 0)
        return fallback;
    return std::chrono::milliseconds(qint64(seconds * 1000));
}

} // namespace

const FunctionLockTimes &FunctionLockTimes::current()
{
    static const FunctionLockTimes times = [] {
        FunctionLockTimes read;
        read.timeout = secondsSetting("PERIKON_LOCK_TIMEOUT_SECONDS", read.timeout);
        read.beat = secondsSetting("PERIKON_LOCK_HEARTBEAT_SECONDS", read.beat);
        // A beat slower than the timeout would let a live session's locks lapse.
        read.beat = std::min(read.beat, read.timeout / 3);
        return read;
    }();
    return times;
}

FunctionLockHeartbeat::FunctionLockHeartbeat(QObject *login, const QString &sessionId)
    : QObject(login)
    , m_sessionId(sessionId)
{
    m_timer.setInterval(FunctionLockTimes::current().beat);
    connect(&m_timer, &QTimer::timeout, this, &FunctionLockHeartbeat::beat);
}

FunctionLockHeartbeat *FunctionLockHeartbeat::of(QObject *login, const QString &sessionId)
{
    const auto beats = login->findChildren<FunctionLockHeartbeat *>(Qt::FindDirectChildrenOnly);
    for (FunctionLockHeartbeat *heartbeat : beats) {
        if (heartbeat->m_sessionId == sessionId)
            return heartbeat;
    }
    return new FunctionLockHeartbeat(login, sessionId); // owned by the login
}

void FunctionLockHeartbeat::keepBeating(QObject *dataAccess)
{
    m_dataAccess = dataAccess;
    if (!m_timer.isActive())
        m_timer.start();
}

void FunctionLockHeartbeat::beat()
{
    db::Connection *connection = connectionOf(m_dataAccess);
    // The data-access object is gone: a suite login still has the session's own connection.
    auto *login = qobject_cast<SuiteLogin *>(parent());
    try {
        if (!connection && login)
            connection = &login->accountConnection();
        if (!connection) {
            m_timer.stop();
            return;
        }
        qint64 renewed = 0;
        connection->execute(
            QStringLiteral("update qz_FunctionLock set dBeat=getdate() where cSessionId=%1")
                .arg(db::sqlNQuoted(m_sessionId)),
            &renewed);
        if (renewed == 0)
            m_timer.stop(); // nothing held; the next lock taken starts the beats again
    } catch (const db::DbError &) {
        // A beat the server missed is made up by the next one; the timeout spans several beats.
    }
}

} // namespace perikon::suite
