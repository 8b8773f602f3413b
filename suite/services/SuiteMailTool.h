#pragma once

#include "perikon/host/contract/MailTool.h"

#include <QString>
#include <QUrl>

namespace perikon::suite {

// The suite's mail tool ("MailTool"): a mailto: link with the addresses, opened by the desktop
// when there is one, else handed to xdg-open, which starts the mail program the desktop
// environment is set up with.
class SuiteMailTool : public MailTool
{
    Q_OBJECT
public:
    // Launchers pass the link on as one command-line argument; beyond this a launch may fail
    // without telling anyone, so a longer link is refused instead.
    static constexpr qsizetype kMaxUrlBytes = 100 * 1024;

    Q_INVOKABLE explicit SuiteMailTool(QObject *parent = nullptr);

    // False when the link is too long or neither the desktop nor xdg-open can be started.
    bool OpenMail(const QString &addresses) override;

    // The link for an address line: the addresses split at ";", trimmed, empty ones dropped,
    // joined by ",".
    static QUrl mailtoUrl(const QString &addresses);

private:
    static bool hasDesktop();
};

} // namespace perikon::suite
