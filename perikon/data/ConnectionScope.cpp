#include "perikon/data/ConnectionScope.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon::internal {

ConnectionScope::ConnectionScope(IClsCommon &com, const QString &procedure, QString *sMsg)
    : m_com(com)
    , m_sMsg(sMsg)
    , m_outermost(com.m_operationDepth++ == 0)
{
    if (!m_outermost)
        return;
    m_connection = com.connection();
    try {
        m_connection->restoreLostLink();
    } catch (...) {
        // The server is still away: the operation goes on and fails on its first statement.
        logDataError(QStringLiteral("IClsCommon"), procedure, currentError());
    }
    m_openAtEntry = m_connection->state() == db::Connection::StateOpen;
    m_refusalsAtEntry = m_connection->refusals();
}

ConnectionScope::~ConnectionScope()
{
    --m_com.m_operationDepth;
    if (!m_outermost || !m_connection)
        return;
    const bool lostOnTheWay = m_openAtEntry && m_connection->state() != db::Connection::StateOpen;
    if (!lostOnTheWay && m_connection->refusals() == m_refusalsAtEntry)
        return;
    gLastError = connectionFailedMessage();
    if (m_sMsg)
        *m_sMsg = gLastError;
}

} // namespace perikon::internal
