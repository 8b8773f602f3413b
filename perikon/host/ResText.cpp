#include "perikon/host/ResText.h"

#include "perikon/host/HostSession.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {
namespace {

QString sessionLanguage(const QString &languageId)
{
    if (!languageId.isEmpty())
        return languageId;
    return internal::uiHelper().GetLanguageId(gLogin.data());
}

const QString &messageTitle()
{
    if (!gMsgTitle) {
        QString title;
        if (auto provider
            = HostRegistry::createAs<MessageTitleProvider>(QStringLiteral("MessageTitleProvider")))
            title = provider->GetTitle(sessionLanguage({}));
        gMsgTitle = title;
    }
    return *gMsgTitle;
}

} // namespace

QString GetResText(const QString &key, const QString &languageId)
{
    const QString language = sessionLanguage(languageId);
    return internal::uiHelper().GetResText(key, language, true);
}

QString GetResFormat(const QString &key, const QStringList &args, const QString &languageId)
{
    const QString language = sessionLanguage(languageId);
    return internal::uiHelper().GetResFormatText(key, args, language);
}

QString GetResServiceText(const QString &key)
{
    return internal::resourceStrings().GetString(key);
}

QString GetResArgs(const QString &key, const QStringList &args)
{
    try {
        std::unique_ptr<ResourceFormatter> formatter
            = internal::resourceFactory().CreateFormatter();
        return formatter ? formatter->GetString(key, args) : QString();
    } catch (...) {
        return {};
    }
}

void ShowMessage(const QString &text)
{
    const QString language = sessionLanguage({});
    internal::uiHelper().ShowMsgBox(text, MsgBoxStyle::Information, messageTitle(), language, 0, 0);
}

int MsgBox(const QString &text, int style, const QString &title)
{
    const QString language = sessionLanguage({});
    return internal::uiHelper().ShowMsgBox(text, style, title.isEmpty() ? messageTitle() : title,
                                           language, 0, 0);
}

} // namespace perikon
