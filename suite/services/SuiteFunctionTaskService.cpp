#include "suite/services/SuiteFunctionTaskService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/SuiteUiHelper.h"

namespace perikon::suite {
namespace {

// The function id as stored: upper case, so "cs020201" and "CS020201" are one task.
QString functionKey(const QString &functionId)
{
    return functionId.trimmed().toUpper();
}

} // namespace

bool SuiteFunctionTaskService::Begin(QObject *login, const QString &functionId, bool &ok)
{
    ok = false;
    auto *suiteLogin = qobject_cast<SuiteLogin *>(login);
    if (!suiteLogin || functionKey(functionId).isEmpty())
        return false;
    bool taskState = false;
    if (!hostlogin::taskExec(login, functionId, taskState)) {
        const QString refusal = hostlogin::text(login, "ShareString");
        SuiteUiHelper().ShowMsgBox(refusal.isEmpty() ? functionId : refusal,
                                   MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, {}, {}, 0, 0);
        return false;
    }
    try {
        db::Connection &connection = suiteLogin->accountConnection();
        const QString session = db::sqlNQuoted(suiteLogin->sessionId());
        const QString function = db::sqlNQuoted(functionKey(functionId));
        // One statement, so two beginnings of one session never record the task twice.
        connection.execute(
            QStringLiteral("insert into qz_FunctionTask (cSessionId, cUser_Id, cFuncId, dBegin) "
                           "select %1, %2, %3, getdate() where not exists (select 1 from "
                           "qz_FunctionTask where cSessionId=%1 and cFuncId=%3)")
                .arg(session, db::sqlNQuoted(suiteLogin->cUserId.trimmed()), function));
    } catch (const db::DbError &error) {
        SuiteUiHelper().ShowMsgBox(error.description(), MsgBoxStyle::OKOnly | MsgBoxStyle::Critical,
                                   {}, {}, 0, 0);
        return false;
    }
    ok = true;
    return true;
}

void SuiteFunctionTaskService::End(QObject *login, const QString &functionId)
{
    auto *suiteLogin = qobject_cast<SuiteLogin *>(login);
    if (!suiteLogin || functionKey(functionId).isEmpty())
        return;
    try {
        suiteLogin->accountConnection().execute(
            QStringLiteral("delete from qz_FunctionTask where cSessionId=%1 and cFuncId=%2")
                .arg(db::sqlNQuoted(suiteLogin->sessionId()),
                     db::sqlNQuoted(functionKey(functionId))));
    } catch (const db::DbError &) {
        // Nothing recorded can be ended on a database that does not answer.
    }
}

QStringList SuiteFunctionTaskService::RunningTasks(QObject *login)
{
    auto *suiteLogin = qobject_cast<SuiteLogin *>(login);
    if (!suiteLogin)
        return {};
    QStringList tasks;
    try {
        const QList<QStringList> rows = queryRows(
            suiteLogin->accountConnection(),
            QStringLiteral("select cFuncId from qz_FunctionTask where cSessionId=%1 order by "
                           "cFuncId")
                .arg(db::sqlNQuoted(suiteLogin->sessionId())));
        for (const QStringList &row : rows)
            tasks.append(row.value(0));
    } catch (const db::DbError &) {
    }
    return tasks;
}

} // namespace perikon::suite
