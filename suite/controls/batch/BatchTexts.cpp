#include "suite/controls/batch/BatchTexts.h"

#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"

namespace perikon::suite::batch {

BatchTexts::BatchTexts()
    : m_helper(HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper")))
{
    if (m_helper)
        m_language = m_helper->GetLanguageId(nullptr);
}

BatchTexts::~BatchTexts() = default;

QString BatchTexts::text(const char *key) const
{
    const QString name = QString::fromLatin1(key);
    const QString found = m_helper ? m_helper->GetResText(name, m_language, false) : QString();
    return found.isEmpty() ? name : found;
}

QString BatchTexts::format(const char *key, const QStringList &args) const
{
    const QString name = QString::fromLatin1(key);
    const QString found = m_helper ? m_helper->GetResFormatText(name, args, m_language) : QString();
    return found.isEmpty() ? name + QLatin1Char(' ') + args.join(QLatin1Char(' ')) : found;
}

void BatchTexts::tell(const QString &message) const
{
    // Without the host's helper there is no one to tell; the refusal itself still stands.
    if (m_helper)
        m_helper->ShowMsgBox(message, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation,
                             text("K2.Suite.Batch.Title"), m_language, 0, 0);
}

} // namespace perikon::suite::batch
