#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace perikon::db {

class Connection;

// The suite's procedures, by name (compared without regard to case). An EXECUTE statement of the
// component is dispatched here on databases that have no stored procedures of their own.
class ProcedureRegistry
{
public:
    using Procedure = std::function<void(Connection &connection, const QStringList &arguments)>;

    void add(const QString &name, Procedure procedure);
    bool contains(const QString &name) const;
    // Throws DbError when no procedure has that name; whatever the procedure throws passes on.
    void call(const QString &name, Connection &connection, const QStringList &arguments) const;

    // The registry new connections use. The suite fills it once at start-up, before any connection
    // runs a procedure.
    static std::shared_ptr<ProcedureRegistry> standard();

private:
    QHash<QString, Procedure> m_procedures; // lower-case name -> procedure
};

} // namespace perikon::db
