#include "suite/services/SuiteUiHelper.h"

#include "perikon/data/db/DateTimeFormat.h"
#include "suite/MessageBoxScript.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"

#include <QAbstractButton>
#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>

#include <dlfcn.h>

namespace perikon::suite {
namespace {

const char kFormLanguageKey[] = "FormLanguageKey";

// The buttons of each style, in the order they appear.
QList<int> buttonsOf(int style)
{
    switch (style & 0xF) {
    case MsgBoxStyle::OKCancel:
        return {MsgBoxButton::OK, MsgBoxButton::Cancel};
    case MsgBoxStyle::AbortRetryIgnore:
        return {MsgBoxButton::Abort, MsgBoxButton::Retry, MsgBoxButton::Ignore};
    case MsgBoxStyle::YesNoCancel:
        return {MsgBoxButton::Yes, MsgBoxButton::No, MsgBoxButton::Cancel};
    case MsgBoxStyle::YesNo:
        return {MsgBoxButton::Yes, MsgBoxButton::No};
    case MsgBoxStyle::RetryCancel:
        return {MsgBoxButton::Retry, MsgBoxButton::Cancel};
    default:
        return {MsgBoxButton::OK};
    }
}

QMessageBox::StandardButton standardButton(int code)
{
    switch (code) {
    case MsgBoxButton::Cancel:
        return QMessageBox::Cancel;
    case MsgBoxButton::Abort:
        return QMessageBox::Abort;
    case MsgBoxButton::Retry:
        return QMessageBox::Retry;
    case MsgBoxButton::Ignore:
        return QMessageBox::Ignore;
    case MsgBoxButton::Yes:
        return QMessageBox::Yes;
    case MsgBoxButton::No:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case MsgBoxStyle::Critical:
        return QMessageBox::Critical;
    case MsgBoxStyle::Question:
        return QMessageBox::Question;
    case MsgBoxStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QString suiteLibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&suiteLibraryFolder), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QDir::currentPath();
}

} // namespace

int SuiteUiHelper::defaultButton(int style)
{
    const QList<int> buttons = buttonsOf(style);
    int index = 0;
    if (style & MsgBoxStyle::DefaultButton3)
        index = 2;
    else if (style & MsgBoxStyle::DefaultButton2)
        index = 1;
    return buttons.value(index, buttons.first());
}

QString SuiteUiHelper::GetLanguageId(QObject *login)
{
    if (!login)
        return sessionLanguage();
    return ResourceTexts::languageOfRegion(login->property("LanguageRegion").toString());
}

QString SuiteUiHelper::GetResText(const QString &key, const QString &languageId, bool)
{
    return ResourceTexts::text(languageId, key);
}

QString SuiteUiHelper::GetResFormatText(const QString &key, const QStringList &args,
                                        const QString &languageId)
{
    return ResourceTexts::format(languageId, key, args);
}

int SuiteUiHelper::ShowMsgBox(const QString &text, int style, const QString &title, const QString &,
                              int, int)
{
    const int fallback = defaultButton(style);
    if (!MessageBoxScript::interactive())
        return MessageBoxScript::answer(text, fallback);

    QMessageBox box(iconOf(style), title, text);
    QMessageBox::StandardButtons buttons;
    for (int code : buttonsOf(style))
        buttons |= standardButton(code);
    box.setStandardButtons(buttons);
    box.setDefaultButton(standardButton(fallback));
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (int code : buttonsOf(style)) {
        if (standardButton(code) == pressed)
            return code;
    }
    // Closed with Escape or the window's close box: the cancelling button if there is one.
    const QList<int> all = buttonsOf(style);
    if (all.contains(MsgBoxButton::Cancel))
        return MsgBoxButton::Cancel;
    return all.contains(MsgBoxButton::No) ? MsgBoxButton::No : fallback;
}

void SuiteUiHelper::InitFormLanguage(QWidget *window, const QString &windowKey)
{
    if (!window)
        return;
    window->setProperty(kFormLanguageKey, windowKey);
    const QString language = sessionLanguage();
    const QString caption = ResourceTexts::text(language, windowKey);
    if (!caption.isEmpty())
        window->setWindowTitle(caption);
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->objectName().isEmpty())
            continue;
        const QString text
            = ResourceTexts::text(language, windowKey + QLatin1Char('.') + child->objectName());
        if (text.isEmpty())
            continue;
        if (auto *label = qobject_cast<QLabel *>(child))
            label->setText(text);
        else if (auto *button = qobject_cast<QAbstractButton *>(child))
            button->setText(text);
        else if (auto *group = qobject_cast<QGroupBox *>(child))
            group->setTitle(text);
    }
    // Menu items and the menus themselves (a menu's title is its action's text).
    const QList<QAction *> actions = window->findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->objectName().isEmpty())
            continue;
        const QString text
            = ResourceTexts::text(language, windowKey + QLatin1Char('.') + action->objectName());
        if (!text.isEmpty())
            action->setText(text);
    }
}

void SuiteUiHelper::FormUnload(QWidget *window)
{
    if (!window)
        return;
    const QString key = window->property(kFormLanguageKey).toString();
    window->setProperty(kFormLanguageKey, QVariant());
    WriteTrace(QStringLiteral("FormUnload"), window->objectName() + QLatin1Char('\t') + key, true);
}

void SuiteUiHelper::SetFormCaption(QWidget *window, const QString &caption, bool)
{
    if (window)
        window->setWindowTitle(caption);
}

QString SuiteUiHelper::traceFilePath()
{
    const QString overridden = qEnvironmentVariable("PERIKON_TRACE_FILE");
    if (!overridden.isEmpty())
        return overridden;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/perikon/trace.log");
}

void SuiteUiHelper::WriteTrace(const QString &heading, const QString &detail, bool)
{
    const QString path = traceFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return; // a trace that cannot be written must not disturb the work being traced
    const QString line = QDateTime::currentDateTime().toString(db::kDateTimeMillisFormat)
                         + QLatin1Char('\t') + heading + QLatin1Char('\t') + detail
                         + QLatin1Char('\n');
    file.write(line.toUtf8());
}

QString SuiteUiHelper::XmlEncode(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        case '\'':
            out += QStringLiteral("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString SuiteUiHelper::GetHelpFile()
{
    const QString language = sessionLanguage();
    return QDir(suiteLibraryFolder())
        .absoluteFilePath(QStringLiteral("../share/perikon/help/contacts.%1.html").arg(language));
}

QString SuiteUiHelper::GetSmsConfig()
{
    const QString overridden = qEnvironmentVariable("PERIKON_SMS_CONFIG");
    if (!overridden.isEmpty())
        return overridden;
    // The administrator's file: one key=value per line (or several joined by ";"), # comments.
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
               + QStringLiteral("/perikon/sms.conf"));
    QStringList pairs;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QString pair = line.trimmed();
            if (!pair.isEmpty() && !pair.startsWith(QLatin1Char('#')))
                pairs.append(pair);
        }
    }
    // Nothing configured: the client answers that no gateway is set up, and nothing leaves.
    return pairs.isEmpty() ? QStringLiteral("gateway=none") : pairs.join(QLatin1Char(';'));
}

} // namespace perikon::suite
