#pragma once

#include "apps/shell/ShellSession.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace perikon::shell {

// The shell's login: operator, account database (a QZDATA_*.db file or a connection string) and
// language. Accepted only once the login succeeded; a failure is shown in the dialog.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoginDialog(const LoginRequest &defaults, QWidget *parent = nullptr);

    // The login made by an accepted dialog.
    std::unique_ptr<QObject> takeLogin() { return std::move(m_login); }

private:
    void tryLogin();
    void chooseFile();
    void applyLanguage();

    QLineEdit *m_user = nullptr;
    QLineEdit *m_database = nullptr;
    QComboBox *m_language = nullptr;
    QLabel *m_error = nullptr;
    std::unique_ptr<QObject> m_login;
};

} // namespace perikon::shell
