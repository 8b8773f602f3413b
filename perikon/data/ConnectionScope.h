#pragma once

#include <QPointer>
#include <QString>

namespace perikon {
class IClsCommon;
namespace db {
class Connection;
}
} // namespace perikon

namespace perikon::internal {

// Brackets one public operation of IClsCommon on its connection; when operations call each
// other, only the outermost one counts.
//
// On entry, a link the server dropped since the last operation (a restart, an administrator
// ending the session) is made anew, unless a transaction is open on it. On exit, when the
// operation lost the link or found none, the operation's message becomes the system's
// connection message: what its steps concluded from reads that failed ("deleted by another
// user", a missing definition, nothing at all) would mislead the clerk. The database's own words
// are in the data-access log.
class ConnectionScope
{
public:
    // sMsg: the operation's message argument, when it has one.
    ConnectionScope(IClsCommon &com, const QString &procedure, QString *sMsg = nullptr);
    ~ConnectionScope();

    ConnectionScope(const ConnectionScope &) = delete;
    ConnectionScope &operator=(const ConnectionScope &) = delete;

private:
    IClsCommon &m_com;
    QString *m_sMsg;
    bool m_outermost;
    QPointer<db::Connection> m_connection;
    bool m_openAtEntry = false;
    quint64 m_refusalsAtEntry = 0;
};

} // namespace perikon::internal
