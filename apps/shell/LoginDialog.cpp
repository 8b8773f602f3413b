#include "apps/shell/LoginDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace perikon::shell {

LoginDialog::LoginDialog(const LoginRequest &defaults, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_user = new QLineEdit(defaults.userId, this);
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_database = new QLineEdit(defaults.connectionString, this);
    m_database->setObjectName(QStringLiteral("txtDatabase"));
    m_database->setMinimumWidth(360);
    auto *browse = new QPushButton(QStringLiteral("…"), this);
    browse->setObjectName(QStringLiteral("cmdBrowse"));
    browse->setFixedWidth(32);
    auto *databaseRow = new QHBoxLayout;
    databaseRow->addWidget(m_database, 1);
    databaseRow->addWidget(browse);
    m_language = new QComboBox(this);
    m_language->setObjectName(QStringLiteral("cboLanguage"));
    m_language->addItem(QStringLiteral("中文 (zh-CN)"), QStringLiteral("zh-CN"));
    m_language->addItem(QStringLiteral("English (en-US)"), QStringLiteral("en-US"));
    m_language->setCurrentIndex(defaults.language == QLatin1String("en-US") ? 1 : 0);
    form->addRow(QStringLiteral("-"), m_user);
    form->addRow(QStringLiteral("-"), databaseRow);
    form->addRow(QStringLiteral("-"), m_language);
    layout->addLayout(form);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("lblError"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(m_error);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::tryLogin);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &LoginDialog::chooseFile);
    connect(m_language, &QComboBox::currentIndexChanged, this, &LoginDialog::applyLanguage);
    applyLanguage();
}

void LoginDialog::applyLanguage()
{
    const bool english = m_language->currentData().toString() == QLatin1String("en-US");
    auto *form = findChild<QFormLayout *>();
    const QStringList labels
        = english ? QStringList{QStringLiteral("Operator"), QStringLiteral("Account database"),
                                QStringLiteral("Language")}
                  : QStringList{QStringLiteral("操作员"), QStringLiteral("账套数据库"),
                                QStringLiteral("语言")};
    for (int row = 0; form && row < labels.size(); ++row) {
        if (auto *label
            = qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget()))
            label->setText(labels.at(row));
    }
    setWindowTitle(english ? QStringLiteral("Log in to Perikon") : QStringLiteral("登录 Perikon"));
    if (auto *ok = findChild<QPushButton *>(QStringLiteral("cmdOK")))
        ok->setText(english ? QStringLiteral("Log in") : QStringLiteral("登录"));
    if (auto *cancel = findChild<QPushButton *>(QStringLiteral("cmdCancel")))
        cancel->setText(english ? QStringLiteral("Cancel") : QStringLiteral("取消"));
    m_database->setPlaceholderText(english
                                       ? QStringLiteral("QZDATA_001_2026.db or a connection string")
                                       : QStringLiteral("QZDATA_001_2026.db 或连接字符串"));
}

void LoginDialog::chooseFile()
{
    const QString file = QFileDialog::getOpenFileName(this, windowTitle(), m_database->text(),
                                                      QStringLiteral("QZDATA_*.db (QZDATA_*.db)"));
    if (!file.isEmpty())
        m_database->setText(file);
}

void LoginDialog::tryLogin()
{
    LoginResult result
        = logIn({m_user->text(), m_database->text(), m_language->currentData().toString()});
    if (!result.login) {
        m_error->setText(result.error);
        return;
    }
    m_login = std::move(result.login);
    accept();
}

} // namespace perikon::shell
