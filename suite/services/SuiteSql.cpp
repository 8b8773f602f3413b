#include "suite/services/SuiteSql.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"

#include <QObject>
#include <QVariant>

namespace perikon::suite {

bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.front().isDigit())
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

std::unique_ptr<db::Connection> openConnection(const QString &connectionString)
{
    auto connection = std::make_unique<db::Connection>();
    try {
        connection->open(connectionString);
    } catch (const db::DbError &) {
        return nullptr;
    }
    return connection;
}

db::Connection *connectionOf(QObject *dataAccess)
{
    if (!dataAccess)
        return nullptr;
    auto *connection = dataAccess->property("m_cnn").value<db::Connection *>();
    if (!connection || connection->state() != db::Connection::StateOpen)
        return nullptr;
    return connection;
}

QList<QStringList> queryRows(db::Connection &connection, const QString &sqlServerText)
{
    QList<QStringList> rows;
    const std::unique_ptr<db::ResultCursor> cursor = connection.openCursor(sqlServerText);
    if (!cursor)
        return rows;
    const int columnCount = int(cursor->columns().size());
    while (cursor->next()) {
        QStringList row;
        row.reserve(columnCount);
        for (int i = 0; i < columnCount; ++i)
            row.append(cursor->value(i).toString());
        rows.append(row);
    }
    return rows;
}

} // namespace perikon::suite
