// The shell's login dialog: a failed login stays in the dialog with its reason; a good one
// accepts it and hands over the login.

#include "apps/shell/LoginDialog.h"
#include "suite/SuiteServices.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace perikon;

class tst_LoginDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void failureStaysInTheDialog();
    void goodLoginIsAccepted();
    void languageSwitchesTheTexts();

private:
    SuiteFixture m_db;
};

void tst_LoginDialog::initTestCase()
{
    suite::registerServices();
}

void tst_LoginDialog::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void tst_LoginDialog::failureStaysInTheDialog()
{
    shell::LoginDialog dialog(
        {QStringLiteral("nobody"), m_db.connectionString(), QStringLiteral("en-US")});
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblError"))->text(),
             QStringLiteral("There is no operator nobody."));
    QVERIFY(!dialog.takeLogin());
}

void tst_LoginDialog::goodLoginIsAccepted()
{
    shell::LoginDialog dialog({QString(), m_db.connectionString(), QStringLiteral("zh-CN")});
    dialog.show();
    auto *user = dialog.findChild<QLineEdit *>(QStringLiteral("txtUser"));
    QTest::keyClicks(user, QStringLiteral("admin"));
    QTest::keyClick(user, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    std::unique_ptr<QObject> login = dialog.takeLogin();
    QVERIFY(login);
    QCOMPARE(login->property("cUserId").toString(), QStringLiteral("admin"));
    QCOMPARE(login->property("LanguageRegion").toString(), QStringLiteral("zh-CN"));
}

void tst_LoginDialog::languageSwitchesTheTexts()
{
    shell::LoginDialog dialog({QString(), QString(), QStringLiteral("zh-CN")});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("登录 Perikon"));
    auto *language = dialog.findChild<QComboBox *>(QStringLiteral("cboLanguage"));
    language->setCurrentIndex(language->findData(QStringLiteral("en-US")));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Log in to Perikon"));
}

QTEST_MAIN(tst_LoginDialog)
#include "tst_logindialog.moc"
