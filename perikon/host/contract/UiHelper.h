#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace perikon {

// The host's UI helper: resource texts in the session language, message boxes, window texts and
// traces. Registered in the host registry as "UiHelper"; the component keeps one per thread.
class UiHelper : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The session language of a login, e.g. "zh-CN" or "en-US".
    Q_INVOKABLE virtual QString GetLanguageId(QObject *login) = 0;
    Q_INVOKABLE virtual QString GetResText(const QString &key, const QString &languageId, bool flag)
        = 0;
    Q_INVOKABLE virtual QString GetResFormatText(const QString &key, const QStringList &args,
                                                 const QString &languageId)
        = 0;
    // Returns the code of the pressed button (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7
    // No).
    Q_INVOKABLE virtual int ShowMsgBox(const QString &text, int style, const QString &title,
                                       const QString &languageId, int reserved1, int reserved2)
        = 0;
    virtual void InitFormLanguage(QWidget *window, const QString &windowKey) = 0;
    virtual void SetFormCaption(QWidget *window, const QString &caption, bool flag) = 0;
    Q_INVOKABLE virtual void WriteTrace(const QString &heading, const QString &detail, bool flag)
        = 0;
    Q_INVOKABLE virtual QString XmlEncode(const QString &text) = 0;
    Q_INVOKABLE virtual QString GetHelpFile() = 0;
    Q_INVOKABLE virtual QString GetSmsConfig() = 0;
    // 1 when the host runs the component in its web portal, 0 on the desktop. The desktop host
    // need not answer.
    Q_INVOKABLE virtual int RunMode() { return 0; }
    // A window of the component is going and its closing was not cancelled: the helper lets go of
    // what it set up for it in InitFormLanguage. A host that keeps nothing per window need not
    // answer.
    virtual void FormUnload(QWidget *window) { Q_UNUSED(window) }
    // The portal's address in web mode; empty on the desktop.
    Q_INVOKABLE virtual QString WebUrl() { return {}; }
};

// Message-box button codes and styles the component passes and reads back.
namespace MsgBoxButton {
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBoxButton

namespace MsgBoxStyle {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;
constexpr int DefaultButton3 = 512;
} // namespace MsgBoxStyle

} // namespace perikon
