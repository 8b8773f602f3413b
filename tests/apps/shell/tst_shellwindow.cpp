// The shell as a host: it loads the component by name, shows the contact list as a page of its
// workspace, and closing the shell closes the list first, so nothing stays locked.

#include "apps/shell/ShellSession.h"
#include "apps/shell/ShellWindow.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

using namespace perikon;

class tst_ShellWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void listOpensAsAPageAndClosesWithTheShell();

private:
    SuiteFixture m_db;
};

void tst_ShellWindow::initTestCase()
{
    suite::registerServices();
}

void tst_ShellWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(30);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void tst_ShellWindow::listOpensAsAPageAndClosesWithTheShell()
{
    shell::LoginResult login
        = shell::logIn({QStringLiteral("admin"), m_db.connectionString(), QStringLiteral("en-US")});
    QVERIFY2(login.login, qPrintable(login.error));
    shell::ShellWindow window(std::move(login.login));
    QString error;
    QVERIFY2(window.loadComponent(&error), qPrintable(error));
    window.show();
    QApplication::setActiveWindow(&window);
    window.openContactList();
    QCOMPARE(window.workspace()->count(), 1);
    QCOMPARE(window.workspace()->tabText(0), QStringLiteral("Contact Management"));
    auto *grid = window.findChild<controls::HostGrid *>(QStringLiteral("Grid"));
    QVERIFY(grid);
    QTRY_COMPARE_WITH_TIMEOUT(grid->Rows(), 31, 10000);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock")), 1);
    // Opening it again brings the same page forward.
    window.openContactList();
    QCOMPARE(window.workspace()->count(), 1);
    QVERIFY(window.close());
    QTRY_COMPARE(window.workspace()->count(), 0); // the page goes once its deletion runs
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock")), 0);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 0);
}

QTEST_MAIN(tst_ShellWindow)
#include "tst_shellwindow.moc"
