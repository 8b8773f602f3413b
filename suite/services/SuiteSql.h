#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QObject;

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// How the suite's services put names into the SQL Server text they run (values go through
// db::sqlEscaped).

// Table and column names read from tables go into statements unquoted; only plain names
// (letters, digits, underscores, not starting with a digit) are let through.
bool isPlainName(const QString &name);

// The open connection of a data-access object (its "m_cnn" property), or nullptr.
db::Connection *connectionOf(QObject *dataAccess);

// A connection opened on `connectionString`, or nullptr when it will not open.
std::unique_ptr<db::Connection> openConnection(const QString &connectionString);

// Every row of a query, each column as text (NULL as empty text). Throws DbError.
QList<QStringList> queryRows(db::Connection &connection, const QString &sqlServerText);

} // namespace perikon::suite
