#include "suite/controls/printer/HostTexts.h"

#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace perikon::suite::printer {

HostTexts::HostTexts()
    : m_helper(HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper")))
{
    if (m_helper)
        m_language = m_helper->GetLanguageId(nullptr);
}

HostTexts::~HostTexts() = default;

QString HostTexts::text(const char *key) const
{
    const QString name = QString::fromLatin1(key);
    const QString found = m_helper ? m_helper->GetResText(name, m_language, false) : QString();
    return found.isEmpty() ? name : found;
}

QString HostTexts::format(const char *key, const QStringList &args) const
{
    const QString name = QString::fromLatin1(key);
    const QString found = m_helper ? m_helper->GetResFormatText(name, args, m_language) : QString();
    return found.isEmpty() ? name + QLatin1Char(' ') + args.join(QLatin1Char(' ')) : found;
}

int HostTexts::ask(const QString &message, int style) const
{
    if (!m_helper)
        return MsgBoxButton::No;
    return m_helper->ShowMsgBox(message, style, text("K2.Suite.Print.Title"), m_language, 0, 0);
}

QDialogButtonBox *okCancelButtons(QDialog &dialog, const HostTexts &texts, QPushButton *&ok)
{
    auto *buttons = new QDialogButtonBox(&dialog);
    ok = buttons->addButton(texts.text("K2.Suite.Print.OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addButton(texts.text("K2.Suite.Print.Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

} // namespace perikon::suite::printer
