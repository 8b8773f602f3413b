#include "suite/services/SuiteResourceService.h"

#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"

namespace perikon::suite {

std::unique_ptr<ResourceLocal> SuiteResourceFactory::GetLocalService()
{
    return std::make_unique<SuiteResourceLocal>();
}

std::unique_ptr<ResourceStrings> SuiteResourceFactory::GetResourceService()
{
    return std::make_unique<SuiteResourceStrings>();
}

std::unique_ptr<ResourceFormatter> SuiteResourceFactory::CreateFormatter()
{
    return std::make_unique<SuiteResourceFormatter>();
}

QString SuiteResourceLocal::LanguageId()
{
    return sessionLanguage();
}

QString SuiteResourceStrings::GetString(const QString &key)
{
    return ResourceTexts::text(sessionLanguage(), key);
}

QString SuiteResourceFormatter::GetString(const QString &key, const QStringList &args)
{
    return ResourceTexts::format(sessionLanguage(), key, args);
}

QString SuiteMessageTitle::GetTitle(const QString &languageId)
{
    return languageId == QLatin1String("en-US") ? QStringLiteral("CRM - Contacts")
                                                : QStringLiteral("客户关系管理 - 联系人");
}

} // namespace perikon::suite
