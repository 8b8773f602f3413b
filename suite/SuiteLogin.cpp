#include "suite/SuiteLogin.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/ResourceTexts.h"
#include "suite/services/SuiteSql.h"

#include <QDate>
#include <QPointer>
#include <QUuid>

namespace perikon::suite {
namespace {
thread_local QString tSessionLanguage = QStringLiteral("zh-CN");
thread_local QPointer<SuiteLogin> tCurrentLogin;
} // namespace

SuiteLogin *currentLogin()
{
    return tCurrentLogin.data();
}

QString sessionLanguage()
{
    return tSessionLanguage;
}

void setSessionLanguage(const QString &languageId)
{
    tSessionLanguage = languageId;
}

SuiteLogin::SuiteLogin(QObject *parent)
    : QObject(parent)
    , CurDate(QDate::currentDate().toString(Qt::ISODate))
    , m_languageRegion(QStringLiteral("zh-CN"))
    , m_sessionId(QUuid::createUuid().toString(QUuid::WithoutBraces))
{}

SuiteLogin::~SuiteLogin() = default;

void SuiteLogin::setLanguageRegion(const QString &region)
{
    m_languageRegion = region;
    setSessionLanguage(ResourceTexts::languageOfRegion(region));
    tCurrentLogin = this;
}

bool SuiteLogin::TaskExec(const QString &functionId, bool &taskState)
{
    Q_UNUSED(taskState) // the suite keeps no task state per function
    if (IsAdmin || GrantedFunctions.contains(functionId, Qt::CaseInsensitive)
        || holdsRight(functionId)) {
        ShareString.clear();
        return true;
    }
    ShareString
        = ResourceTexts::languageOfRegion(m_languageRegion) == QLatin1String("en-US")
              ? QStringLiteral("User %1 has no right to function %2.").arg(cUserId, functionId)
              : QStringLiteral("用户%1没有功能%2的权限。").arg(cUserId, functionId);
    return false;
}

bool SuiteLogin::holdsRight(const QString &functionId)
{
    const QString connectionString = qzDBName.trimmed();
    if (connectionString.isEmpty() || functionId.trimmed().isEmpty())
        return false;
    try {
        const QList<QStringList> rows = queryRows(
            accountConnection(),
            QStringLiteral("select count(*) from qz_UserFunction where cUser_Id=N'")
                + db::sqlEscaped(cUserId.trimmed()) + QStringLiteral("' and lower(cFuncId)=N'")
                + db::sqlEscaped(functionId.trimmed().toLower()) + u'\'');
        return !rows.isEmpty() && rows.first().first().toLongLong() > 0;
    } catch (const db::DbError &) {
        // An unreadable rights table grants nothing; the refusal text follows.
        m_accountConnection.reset();
        return false;
    }
}

db::Connection &SuiteLogin::accountConnection()
{
    const QString connectionString = qzDBName.trimmed();
    if (!m_accountConnection || m_accountConnectionString != connectionString
        || m_accountConnection->state() != db::Connection::StateOpen) {
        m_accountConnection.reset();
        auto connection = std::make_unique<db::Connection>();
        connection->open(connectionString);
        m_accountConnection = std::move(connection);
        m_accountConnectionString = connectionString;
    }
    return *m_accountConnection;
}

} // namespace perikon::suite
