#include "suite/SuiteLogin.h"

#include "suite/ResourceTexts.h"

#include <QDate>

namespace perikon::suite {
namespace {
thread_local QString tSessionLanguage = QStringLiteral("zh-CN");
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
{}

void SuiteLogin::setLanguageRegion(const QString &region)
{
    m_languageRegion = region;
    setSessionLanguage(ResourceTexts::languageOfRegion(region));
}

bool SuiteLogin::TaskExec(const QString &functionId, bool &taskState)
{
    if (IsAdmin || GrantedFunctions.contains(functionId, Qt::CaseInsensitive)) {
        ShareString.clear();
        return true;
    }
    ShareString = ResourceTexts::languageOfRegion(m_languageRegion) == QLatin1String("en-US")
                      ? QStringLiteral("User %1 has no right to function %2.").arg(cUserId, functionId)
                      : QStringLiteral("用户%1没有功能%2的权限。").arg(cUserId, functionId);
    return false;
}

} // namespace perikon::suite
