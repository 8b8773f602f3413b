#include "perikon/data/clsConn.h"

#include "perikon/session/ClassRegistry.h"

namespace perikon {

PERIKON_REGISTER_CLASS("Perikon.clsConn", clsConn)

clsConn::clsConn(QObject *parent)
    : QObject(parent)
    , m_connection(std::make_unique<db::Connection>())
{}

clsConn::~clsConn()
{
    try {
        if (m_connection->state() != db::Connection::StateClosed)
            m_connection->close();
    } catch (...) {
        // A connection that fails to close is released all the same.
    }
}

bool clsConn::OpenCon(QString &strConnStr)
{
    if (m_connection->state() == db::Connection::StateClosed) {
        m_connection->setConnectionString(strConnStr);
        m_connection->open();
    }
    return m_connection->state() == db::Connection::StateOpen;
}

} // namespace perikon
