#pragma once

#include <QObject>
#include <QString>

namespace perikon {

// The host's function-task service ("FunctionTaskService"): a function (e.g. "CS020201", modify a
// contact) runs as a task of the operator's session while a command uses it. Tasks live in the
// account database, so every operator's host sees them.
class FunctionTaskService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Begins the function for the login's session: false when the operator may not run it (the
    // service has told him why). `ok` receives the same answer. Beginning a task the session
    // already runs answers true again.
    Q_INVOKABLE virtual bool Begin(QObject *login, const QString &functionId, bool &ok) = 0;
    // Ends the function's task of the login's session; harmless when it is not running.
    Q_INVOKABLE virtual void End(QObject *login, const QString &functionId) = 0;
};

} // namespace perikon
