#pragma once

#include "perikon/host/contract/FunctionTaskService.h"

namespace perikon::suite {

// "FunctionTaskService" over the host table qz_FunctionTask(cSessionId, cUser_Id, cFuncId,
// dBegin) of the login's account database. Beginning asks the login's TaskExec for the right and
// shows its refusal (ShareString); the task is then recorded for the login's session.
class SuiteFunctionTaskService : public FunctionTaskService
{
    Q_OBJECT
public:
    using FunctionTaskService::FunctionTaskService;

    bool Begin(QObject *login, const QString &functionId, bool &ok) override;
    void End(QObject *login, const QString &functionId) override;

    // The functions the session of `login` runs as tasks, in id order (for scripts and tests).
    Q_INVOKABLE QStringList RunningTasks(QObject *login);
};

} // namespace perikon::suite
