#include "suite/services/SuiteMailTool.h"

#include "suite/services/SuiteUiHelper.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace perikon::suite {

namespace {

const QString kTraceHeading = QStringLiteral("MailTool");

void trace(const QString &detail)
{
    SuiteUiHelper().WriteTrace(kTraceHeading, detail, false);
}

} // namespace

SuiteMailTool::SuiteMailTool(QObject *parent)
    : MailTool(parent)
{}

QUrl SuiteMailTool::mailtoUrl(const QString &addresses)
{
    QStringList kept;
    for (const QString &address : addresses.split(u';')) {
        const QString trimmed = address.trimmed();
        if (!trimmed.isEmpty())
            kept.append(trimmed);
    }
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(kept.join(u','));
    return url;
}

bool SuiteMailTool::hasDesktop()
{
    // The offscreen and minimal platforms draw nowhere: nobody would see a mail program open.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool SuiteMailTool::OpenMail(const QString &addresses)
{
    trace(addresses);
    const QUrl url = mailtoUrl(addresses);
    const QByteArray encoded = url.toEncoded();
    if (encoded.size() > kMaxUrlBytes) {
        trace(QStringLiteral("mailto link of %1 bytes is longer than a launcher takes (%2 bytes)")
                  .arg(encoded.size())
                  .arg(kMaxUrlBytes));
        return false;
    }
    if (hasDesktop())
        return QDesktopServices::openUrl(url);
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty())
        return false;
    return QProcess::startDetached(launcher, {QString::fromLatin1(encoded)});
}

} // namespace perikon::suite
