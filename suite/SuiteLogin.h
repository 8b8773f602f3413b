#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// The suite's login object ("Suite.Login"): who works, in which account database and language.
// The component reads it by member name.
class SuiteLogin : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString cUserId MEMBER cUserId)
    Q_PROPERTY(QString cUserName MEMBER cUserName)
    Q_PROPERTY(QString qzDBName MEMBER qzDBName)
    Q_PROPERTY(QString cEmployeeId MEMBER cEmployeeId)
    Q_PROPERTY(bool IsAdmin MEMBER IsAdmin)
    Q_PROPERTY(QString LanguageRegion READ languageRegion WRITE setLanguageRegion)
    Q_PROPERTY(QString CurDate MEMBER CurDate)
    Q_PROPERTY(QString ShareString MEMBER ShareString)
    // Function ids the operator may run; administrators may run everything.
    Q_PROPERTY(QStringList GrantedFunctions MEMBER GrantedFunctions)
    // Names this login's session in the host tables (tasks, locks); unique per login object.
    Q_PROPERTY(QString SessionId READ sessionId CONSTANT)
public:
    Q_INVOKABLE explicit SuiteLogin(QObject *parent = nullptr);
    ~SuiteLogin() override;

    // True when the operator may run the function: administrators, functions in
    // GrantedFunctions, and rights in the account database's qz_UserFunction (read through
    // qzDBName, opened on first need). On a refusal ShareString says why.
    Q_INVOKABLE bool TaskExec(const QString &functionId, bool &taskState);

    QString languageRegion() const { return m_languageRegion; }
    QString sessionId() const { return m_sessionId; }
    // The account database (qzDBName), opened on first need and again when qzDBName changed or
    // the connection was lost. Throws DbError when it cannot be opened.
    db::Connection &accountConnection();
    // Also makes this the session language of the suite's resource service on this thread.
    void setLanguageRegion(const QString &region);

    QString cUserId;
    QString cUserName;
    QString qzDBName;
    QString cEmployeeId;
    bool IsAdmin = false;
    QString CurDate;
    QString ShareString;
    QStringList GrantedFunctions;

private:
    bool holdsRight(const QString &functionId);

    QString m_languageRegion;
    QString m_sessionId;
    std::unique_ptr<db::Connection> m_accountConnection;
    QString m_accountConnectionString; // what m_accountConnection was opened with
};

// The login of this thread's session: the one whose language was set last. Host services that
// are handed no login ask it who works.
SuiteLogin *currentLogin();

// The language the suite's resource service answers in on this thread: that of the login whose
// language was set last ("zh-CN" before any).
QString sessionLanguage();
void setSessionLanguage(const QString &languageId);

} // namespace perikon::suite
