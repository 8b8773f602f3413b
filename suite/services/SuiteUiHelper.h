#pragma once

#include "perikon/host/contract/UiHelper.h"

namespace perikon::suite {

// The suite's UI helper: texts from the suite's resource files, real message boxes at the screen
// and scripted ones elsewhere, window texts, and the trace log.
class SuiteUiHelper : public UiHelper
{
    Q_OBJECT
public:
    using UiHelper::UiHelper;

    QString GetLanguageId(QObject *login) override;
    QString GetResText(const QString &key, const QString &languageId, bool flag) override;
    QString GetResFormatText(const QString &key, const QStringList &args,
                             const QString &languageId) override;
    int ShowMsgBox(const QString &text, int style, const QString &title, const QString &languageId,
                   int reserved1, int reserved2) override;
    // Remembers the window key on the window (property "FormLanguageKey") until FormUnload.
    void InitFormLanguage(QWidget *window, const QString &windowKey) override;
    // Forgets the window key and writes a "FormUnload" trace line naming the window.
    void FormUnload(QWidget *window) override;
    void SetFormCaption(QWidget *window, const QString &caption, bool flag) override;
    void WriteTrace(const QString &heading, const QString &detail, bool flag) override;
    QString XmlEncode(const QString &text) override;
    QString GetHelpFile() override;
    // PERIKON_SMS_CONFIG, else ~/.config/perikon/sms.conf, else "gateway=none".
    QString GetSmsConfig() override;

    // Where WriteTrace appends: PERIKON_TRACE_FILE, or trace.log in the suite's data folder.
    static QString traceFilePath();
    // The button a box of this style answers with when nobody presses one.
    static int defaultButton(int style);
};

} // namespace perikon::suite
