#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace perikon {
class UiHelper;
}

namespace perikon::suite::printer {

// The print control's words and questions, through the host's UI helper: resource texts in the
// session language and the host's message box (which scripts answer when nobody is at the
// screen). Without a UI helper in the host registry a text reads as its key.
class HostTexts
{
public:
    HostTexts();
    ~HostTexts();

    QString text(const char *key) const;
    QString format(const char *key, const QStringList &args) const;
    // The host message box; returns the button pressed (MsgBoxButton codes).
    int ask(const QString &message, int style) const;

private:
    std::unique_ptr<UiHelper> m_helper;
    QString m_language;
};

// The OK (default, "cmdOK") and Cancel ("cmdCancel") buttons of a print dialog, wired to accept
// and reject it; `ok` receives the OK button.
QDialogButtonBox *okCancelButtons(QDialog &dialog, const HostTexts &texts, QPushButton *&ok);

} // namespace perikon::suite::printer
