#pragma once

#include "perikon/PerikonExport.h"
#include "perikon/data/db/Connection.h"

#include <QObject>

#include <memory>

namespace perikon {

// A small public wrapper around one database connection, created with the object.
class PERIKON_EXPORT clsConn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(perikon::db::Connection *Conn READ Conn)
public:
    Q_INVOKABLE explicit clsConn(QObject *parent = nullptr);
    ~clsConn() override;

    // Opens the held connection when it is closed. Database errors reach the caller as DbError.
    // True when the connection is open afterwards.
    Q_INVOKABLE bool OpenCon(QString &strConnStr);
    db::Connection *Conn() const { return m_connection.get(); }

private:
    std::unique_ptr<db::Connection> m_connection;
};

} // namespace perikon
