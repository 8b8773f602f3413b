#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace perikon::hostlogin {

// The component reads the host login by member name, so any QObject with the properties
// cUserId, cUserName, qzDBName, cEmployeeId, IsAdmin, LanguageRegion, CurDate and ShareString and
// an invokable TaskExec serves as a login.

// The text of a member; empty when the login is missing or lacks the member.
inline QString text(const QObject *login, const char *member)
{
    if (!login)
        return {};
    const QVariant value = login->property(member);
    return value.isValid() && !value.isNull() ? value.toString() : QString();
}

inline bool flag(const QObject *login, const char *member)
{
    return login && login->property(member).toBool();
}

// Calls the login's TaskExec(function id, task state by reference). Returns false when the login
// has no such member or refuses; `state` receives what the login left in it.
inline bool taskExec(QObject *login, const QString &functionId, bool &state)
{
    // Looked up first: a login without the member is a plain refusal, not a run-time warning.
    if (!login || login->metaObject()->indexOfMethod("TaskExec(QString,bool&)") < 0)
        return false;
    bool answer = false;
    const bool invoked = QMetaObject::invokeMethod(
        login, "TaskExec", Qt::DirectConnection, Q_RETURN_ARG(bool, answer),
        Q_ARG(QString, functionId), Q_ARG(bool &, state));
    return invoked && answer;
}

} // namespace perikon::hostlogin
