// The contact list as a clerk meets it: IContact.Show opens it inside the shell's workspace, the
// grid holds exactly the rows the operator may read, paging re-slices the kept result, and the
// window's close leaves no lock, task or column information behind.

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Driver.h"
#include "perikon/entry/IContact.h"
#include "perikon/host/contract/FilterService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/frmContactList.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/NumericEdit.h"
#include "suite/controls/SpinButtons.h"
#include "suite/portal/SuitePortal.h"
#include "suite/services/HelpViewer.h"
#include "support/FailOnWarnings.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace perikon;

namespace {

constexpr int kContacts = 60;

using Portal = testing::ShellPortal;

} // namespace

class tst_ContactListWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsWhatTheOperatorMayRead_data();
    void showsWhatTheOperatorMayRead();
    void pagingReslicesWithoutQuerying();
    void pageFieldsClampAndSpinnersUndo_data();
    void pageFieldsClampAndSpinnersUndo();
    void showWhileOpenBringsTheSameWindow();
    void showRefusesWithTheSystemsMessage_data();
    void showRefusesWithTheSystemsMessage();
    void customerArchiveShowsThatCustomerModally();
    void failingStatementKeepsTheGrid();
    void statusBarOptionIsKeptPerOperator();
    void closeLeavesNoLockTaskOrColumnInformation();
    void keysAndHelpRunTheirCommands();
    void filterNarrowsTheListUntilTheNextFilter();
    void filterWithOrStaysWithinTheOperatorsRows();
    void pageSizeIsKeptPerOperator();
    void portalCallFunctionOpensTheListModally();
    void loadsWhenShownNeverWhenMade();
    void marksFollowClicksAndSelectAll();
    void rightButtonOffersTheSortOfThePage_data();
    void rightButtonOffersTheSortOfThePage();

private:
    std::unique_ptr<suite::SuiteLogin> login(const QString &user, bool admin);
    frmContactList *show(QObject *login, Portal &portal);
    controls::HostGrid *grid(frmContactList *window);
    template<typename T> T *child(frmContactList *window, const char *name);

    SuiteFixture m_db;
    std::unique_ptr<IContact> m_contact;
};

void tst_ContactListWindow::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_ContactListWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(kContacts);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral(
        "insert into qz_UserFunction (cUser_Id, cFuncId) values (N'clerk', N'CS020202')"));
    m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) values "
                             "(N'clerk', N'person', N'', N'1001')"));
    suite::MessageBoxScript::takeShownMessages();
    m_contact = std::make_unique<IContact>();
}

void tst_ContactListWindow::cleanup()
{
    if (gListForm)
        delete gListForm.data();
    m_contact.reset();
    gFunctionTask.reset();
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
}

std::unique_ptr<suite::SuiteLogin> tst_ContactListWindow::login(const QString &user, bool admin)
{
    return testing::operatorLogin(m_db, user, admin);
}

frmContactList *tst_ContactListWindow::show(QObject *operatorLogin, Portal &portal)
{
    return testing::showContactList(*m_contact, operatorLogin, portal);
}

controls::HostGrid *tst_ContactListWindow::grid(frmContactList *window)
{
    return window->findChild<controls::HostGrid *>(QStringLiteral("Grid"));
}

template<typename T> T *tst_ContactListWindow::child(frmContactList *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}

void tst_ContactListWindow::showsWhatTheOperatorMayRead_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("readable");
    QTest::newRow("administrator: every contact") << "admin" << true << "1=1";
    // A person rule and no customer rule: his own contacts and those without a customer.
    QTest::newRow("clerk: his own contacts")
        << "clerk" << false << "cPrincipal=N'1001' or isnull(cCusCode,N'')=N''";
}

void tst_ContactListWindow::showsWhatTheOperatorMayRead()
{
    QFETCH(QString, user);
    QFETCH(bool, admin);
    QFETCH(QString, readable);
    const qint64 expected
        = m_db.count(QStringLiteral("select count(*) from Crm_Contact where ") + readable);
    QVERIFY(expected > 0);
    QVERIFY(admin || expected < kContacts);
    auto operatorLogin = login(user, admin);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    QCOMPARE(portal.workspace.indexOf(window), 0); // a page of the shell, not a window of its own
    QCOMPARE(portal.viewManager.views(), QList<QWidget *>{window});
    child<controls::NumericEdit>(window, "EdtPageSize")->setText(QStringLiteral("10000"));
    QTest::mouseClick(child<QPushButton>(window, "CmdRequest"), Qt::LeftButton);
    QCOMPARE(grid(window)->dataRowCount(), int(expected));
    // Every shown code is one the operator may read.
    const QStringList allowed
        = m_db.column(QStringLiteral("select cContactCode from Crm_Contact where ") + readable);
    const QStringList header = grid(window)->headerTexts();
    const int codeCol = int(header.indexOf(QStringLiteral("Contact Code")));
    QVERIFY2(codeCol > 0, qPrintable(header.join(u'|')));
    for (int row = 1; row < grid(window)->Rows(); ++row)
        QVERIFY(allowed.contains(grid(window)->TextMatrix(row, codeCol)));
    // The list's task is begun and ended around Show.
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 0);
}

void tst_ContactListWindow::pagingReslicesWithoutQuerying()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    auto *pageSize = child<controls::NumericEdit>(window, "EdtPageSize");
    auto *page = child<controls::NumericEdit>(window, "EdtiCurPage");
    pageSize->setText(QStringLiteral("25"));
    int statements = 0;
    db::Driver::setStatementObserver([&statements](const QString &sql, const QVariantList &) {
        if (sql.contains(QLatin1String("v_Crm_Contact"), Qt::CaseInsensitive))
            ++statements;
    });
    QTest::mouseClick(child<QPushButton>(window, "CmdRequest"), Qt::LeftButton);
    QCOMPARE(grid(window)->dataRowCount(), 25);
    QCOMPARE(gPageCount, 3); // 60 contacts
    QCOMPARE(child<controls::SpinButtons>(window, "UpDown2")->max(), 3);
    QCOMPARE(child<QLabel>(window, "LblTotalPage")->text(), QStringLiteral("of 3 pages"));
    const QString firstOfPage1 = grid(window)->TextMatrix(1, 2);

    QTest::mouseClick(child<QWidget>(window, "LblPage_3"), Qt::LeftButton); // last
    QCOMPARE(page->text(), QStringLiteral("3"));
    QCOMPARE(grid(window)->dataRowCount(), 10);
    QVERIFY(!child<QWidget>(window, "LblPage_2")->isEnabled());
    QVERIFY(child<QWidget>(window, "LblPage_1")->isEnabled());
    QTest::mouseClick(child<QWidget>(window, "LblPage_0"), Qt::LeftButton); // first
    QCOMPARE(grid(window)->TextMatrix(1, 2), firstOfPage1);
    QTest::mouseClick(child<QWidget>(window, "LblPage_1"), Qt::LeftButton); // previous on page 1
    QCOMPARE(page->text(), QStringLiteral("1"));
    db::Driver::setStatementObserver({});
    // Paging never asked the database for contacts again.
    QCOMPARE(statements, 0);
}

void tst_ContactListWindow::pageFieldsClampAndSpinnersUndo_data()
{
    QTest::addColumn<QString>("pageSizeTyped");
    QTest::addColumn<QString>("pageTyped");
    QTest::addColumn<QString>("spinner");
    QTest::addColumn<QString>("pageSizeShown");
    QTest::addColumn<QString>("pageShown");
    QTest::newRow("page size below 5 becomes 5 on request") << "3"
                                                            << "1"
                                                            << ""
                                                            << "5"
                                                            << "1";
    QTest::newRow("page size above the most becomes 10000") << "20000"
                                                            << "1"
                                                            << ""
                                                            << "10000"
                                                            << "1";
    QTest::newRow("page beyond the pages becomes the last") << "25"
                                                            << "999"
                                                            << ""
                                                            << "25"
                                                            << "3";
    QTest::newRow("page 0 becomes 1") << "25"
                                      << "0"
                                      << ""
                                      << "25"
                                      << "1";
    QTest::newRow("page spinner up at the last page is undone") << "25"
                                                                << "3"
                                                                << "UpDown2/Up"
                                                                << "25"
                                                                << "3";
    QTest::newRow("page spinner down at page 1 is undone") << "25"
                                                           << "1"
                                                           << "UpDown2/Down"
                                                           << "25"
                                                           << "1";
    QTest::newRow("page size spinner adds a step") << "25"
                                                   << "1"
                                                   << "UpDown1/Up"
                                                   << "30"
                                                   << "1";
    QTest::newRow("page size spinner down at 5 is undone") << "5"
                                                           << "1"
                                                           << "UpDown1/Down"
                                                           << "5"
                                                           << "1";
}

void tst_ContactListWindow::pageFieldsClampAndSpinnersUndo()
{
    QFETCH(QString, pageSizeTyped);
    QFETCH(QString, pageTyped);
    QFETCH(QString, spinner);
    QFETCH(QString, pageSizeShown);
    QFETCH(QString, pageShown);
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    auto *pageSize = child<controls::NumericEdit>(window, "EdtPageSize");
    auto *page = child<controls::NumericEdit>(window, "EdtiCurPage");
    // Three pages of 25 first, so the page field has a count to keep within.
    pageSize->setText(QStringLiteral("25"));
    QTest::mouseClick(child<QPushButton>(window, "CmdRequest"), Qt::LeftButton);
    pageSize->clear();
    QTest::keyClicks(pageSize, pageSizeTyped);
    page->clear();
    QTest::keyClicks(page, pageTyped);
    if (!spinner.isEmpty()) {
        auto *spin = child<controls::SpinButtons>(window, qPrintable(spinner.section(u'/', 0, 0)));
        QWidget *half = spin->findChild<QWidget *>(spinner.section(u'/', 1));
        QVERIFY(half);
        QTest::mouseClick(half, Qt::LeftButton);
    } else {
        QTest::mouseClick(child<QPushButton>(window, "CmdRequest"), Qt::LeftButton);
    }
    QCOMPARE(pageSize->text(), pageSizeShown);
    QCOMPARE(page->text(), pageShown);
}

void tst_ContactListWindow::showWhileOpenBringsTheSameWindow()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    gMaxPageSize = 5;
    m_contact->Show(operatorLogin.get(), true, &portal.product, &portal.formManager,
                    &portal.viewManager, nullptr);
    QCOMPARE(gListForm.data(), window);
    QCOMPARE(portal.workspace.count(), 1);
    QCOMPARE(gMaxPageSize, 10000);
}

void tst_ContactListWindow::showRefusesWithTheSystemsMessage_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("noLogin");
    QTest::addColumn<bool>("badDatabase");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("no login") << "admin" << true << false
                              << QStringList{
                                     QStringLiteral("You are not logged in. Please log in again.")};
    // The function task is recorded in the account database, so its service is the first to
    // find that the database will not open.
    QTest::newRow("a database that will not open")
        << "admin" << false << true
        << QStringList{QStringLiteral("Cannot open database \"/nonexistent/x.db\": the file does "
                                      "not exist or cannot be read.")};
    QTest::newRow("no right to the list")
        << "nobody" << false << false
        << QStringList{QStringLiteral("User nobody has no right to function CS020202.")};
}

void tst_ContactListWindow::showRefusesWithTheSystemsMessage()
{
    QFETCH(QString, user);
    QFETCH(bool, noLogin);
    QFETCH(bool, badDatabase);
    QFETCH(QStringList, shown);
    auto operatorLogin = login(user, user == QLatin1String("admin"));
    if (badDatabase)
        operatorLogin->qzDBName = QStringLiteral("Provider=SQLite;Data Source=/nonexistent/x.db");
    Portal portal;
    m_contact->Show(noLogin ? nullptr : operatorLogin.get(), true, &portal.product,
                    &portal.formManager, &portal.viewManager, nullptr);
    QCOMPARE(portal.workspace.count(), 0);
    QVERIFY(!gListForm || !qobject_cast<frmContactList *>(gListForm)->isOpen());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), shown);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 0);
}

void tst_ContactListWindow::customerArchiveShowsThatCustomerModally()
{
    const QString customer
        = m_db.column(QStringLiteral("select top 1 cCusCode from Crm_Contact where cCusCode is "
                                     "not null group by cCusCode order by count(*) desc"))
              .value(0);
    QVERIFY(!customer.isEmpty());
    const qint64 expected = m_db.count(
        QStringLiteral("select count(*) from Crm_Contact where cCusCode=N'%1'").arg(customer));
    auto operatorLogin = login(QStringLiteral("admin"), true);
    int shownRows = -1;
    QString archiveWhileOpen;
    bool modal = false;
    // The modal list returns only when closed: look at it from inside its own loop.
    QTimer inspector;
    inspector.setInterval(20);
    connect(&inspector, &QTimer::timeout, this, [&] {
        auto *window = qobject_cast<frmContactList *>(gListForm);
        if (!window || !window->isVisible())
            return;
        QApplication::setActiveWindow(window);
        if (!window->isReady())
            return;
        modal = window->isModal();
        shownRows = grid(window)->dataRowCount();
        archiveWhileOpen = gArchiveCusCode;
        window->close();
    });
    inspector.start();
    QString code = customer;
    QString name = QStringLiteral("any");
    m_contact->showCalledByCusomterArchive(operatorLogin.get(), code, name);
    inspector.stop();
    QVERIFY(modal);
    QCOMPARE(shownRows, int(expected));
    QCOMPARE(archiveWhileOpen, customer);
    QCOMPARE(gArchiveCusCode, QString());
    QCOMPARE(gArchiveCusName, QString());
}

void tst_ContactListWindow::failingStatementKeepsTheGrid()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    const int rows = grid(window)->Rows();
    const QString kept = grid(window)->TextMatrix(1, 2);
    suite::MessageBoxScript::takeShownMessages();
    gListSelectCols = QStringLiteral("no_such_column");
    window->DataRefresh(QString());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
             QStringList{QStringLiteral("The contacts could not be read.")});
    QCOMPARE(grid(window)->Rows(), rows);
    QCOMPARE(grid(window)->TextMatrix(1, 2), kept);
    QVERIFY(window->isReady());
}

void tst_ContactListWindow::statusBarOptionIsKeptPerOperator()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    {
        Portal portal;
        frmContactList *window = show(operatorLogin.get(), portal);
        QVERIFY(window);
        QVERIFY(child<QWidget>(window, "Stb")->isVisible());
        window->Operating(QStringLiteral("mStb"));
        QVERIFY(!child<QWidget>(window, "Stb")->isVisible());
        window->close();
    }
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    QVERIFY(!child<QWidget>(window, "Stb")->isVisible());
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("mStb"))->isChecked());
}

void tst_ContactListWindow::closeLeavesNoLockTaskOrColumnInformation()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock where iLock=1")), 1);
    QVERIFY(!gListColInfoXml.isEmpty());
    // A lock a command kept (mail with every row selected and no result) goes with the list.
    QObject *com = gClsCommon.get();
    QVERIFY(!gPubService->IsLockFun(com, operatorLogin.get(), QStringLiteral("Crm_Contact"), 3));
    window->Operating(QStringLiteral("Exit"));
    QTRY_VERIFY(!gListForm);
    QCOMPARE(portal.workspace.count(), 0);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock")), 0);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 0);
    QVERIFY(gListColInfoXml.isEmpty());
}

void tst_ContactListWindow::keysAndHelpRunTheirCommands()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    int listQueries = 0;
    db::Driver::setStatementObserver([&listQueries](const QString &sql, const QVariantList &) {
        if (sql.contains(QLatin1String("v_Crm_Contact"), Qt::CaseInsensitive))
            ++listQueries;
    });
    grid(window)->setFocus();
    QTest::keyClick(grid(window), Qt::Key_F9);
    db::Driver::setStatementObserver({});
    QCOMPARE(listQueries, 1);
    // Help opens the suite's help at the list's section, without a second F1 going round.
    QTest::keyClick(grid(window), Qt::Key_F1);
    auto *help = window->findChild<QDialog *>(QStringLiteral("frmHelp"));
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(qobject_cast<suite::HelpViewer *>(help)->topic(), QStringLiteral("list"));
    QCOMPARE(window->helpContextId(), 90100189); // the portal's provider names it
    help->close();
    // F3 opens the filter; cancelled, the list stays as it was and every task ends.
    const int rows = grid(window)->dataRowCount();
    QString opened;
    QTimer::singleShot(0, qApp, [&opened] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            opened = dialog->objectName();
            dialog->reject();
        }
    });
    QTest::keyClick(grid(window), Qt::Key_F3);
    QCOMPARE(opened, QStringLiteral("FilterDialog"));
    QCOMPARE(grid(window)->dataRowCount(), rows);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionTask")), 0);
}

// The grid column of the contact codes, in either language.
static int codeColumnOf(frmContactList *window)
{
    const QStringList headers
        = window->findChild<controls::HostGrid *>(QStringLiteral("Grid"))->headerTexts();
    for (int col = 0; col < headers.size(); ++col) {
        const QString header = headers.at(col).trimmed();
        if (header == QStringLiteral("联系人编码")
            || header.compare(QLatin1String("Contact Code"), Qt::CaseInsensitive) == 0)
            return col;
    }
    return -1;
}

void tst_ContactListWindow::filterNarrowsTheListUntilTheNextFilter()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    const int all = grid(window)->dataRowCount();
    QVERIFY(all > 3);
    const QString code = grid(window)->TextMatrix(3, codeColumnOf(window));
    // The operator's answer: the contact code equals `value`, or (empty) no condition at all.
    const auto answerFilter = [](const QString &value) {
        QTimer::singleShot(0, qApp, [value] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (value.isEmpty()) {
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdClear")),
                                  Qt::LeftButton);
            } else {
                auto *field = dialog->findChild<QComboBox *>(QStringLiteral("cboField_0"));
                field->setCurrentIndex(field->findData(QStringLiteral("cContactCode"), Qt::UserRole,
                                                       Qt::MatchFixedString));
                auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("txtValue_0"));
                edit->setText(value);
            }
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
    };
    answerFilter(code);
    window->Operating(QStringLiteral("Filter"));
    QCOMPARE(grid(window)->dataRowCount(), 1);
    QCOMPARE(grid(window)->TextMatrix(1, codeColumnOf(window)), code);
    // A refresh keeps the filter.
    window->Operating(QStringLiteral("Refresh"));
    QCOMPARE(grid(window)->dataRowCount(), 1);
    // A blank filter shows the whole list again.
    answerFilter(QString());
    window->Operating(QStringLiteral("Find"));
    QCOMPARE(grid(window)->dataRowCount(), all);
    window->Operating(QStringLiteral("Refresh"));
    QCOMPARE(grid(window)->dataRowCount(), all);
}

// A host filter whose condition ORs something always true, unparenthesized.
class WideningFilter : public FilterService
{
public:
    bool OpenFilter(QObject *, const QString &, const QString &, const QString &,
                    QString &) override
    {
        return true;
    }
    QString GetSQLWhere() const override
    {
        return QStringLiteral("Crm_Contact.cContactCode = N'00000001' OR 1=1");
    }
};

void tst_ContactListWindow::filterWithOrStaysWithinTheOperatorsRows()
{
    auto clerk = login(QStringLiteral("clerk"), false);
    Portal portal;
    frmContactList *window = show(clerk.get(), portal);
    QVERIFY(window);
    const int mine = grid(window)->dataRowCount();
    QVERIFY(mine > 0 && mine < kContacts);
    HostRegistry::registerFactory(QStringLiteral("FilterService"),
                                  [] { return std::make_unique<WideningFilter>(); });
    window->Operating(QStringLiteral("Filter"));
    window->Operating(QStringLiteral("Refresh"));
    suite::registerServices(); // the suite's own filter again
    QCOMPARE(grid(window)->dataRowCount(), mine);
}

void tst_ContactListWindow::pageSizeIsKeptPerOperator()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    {
        Portal portal;
        frmContactList *window = show(operatorLogin.get(), portal);
        QVERIFY(window);
        QCOMPARE(child<controls::NumericEdit>(window, "EdtPageSize")->text(),
                 QStringLiteral("500"));
        child<controls::NumericEdit>(window, "EdtPageSize")->setText(QStringLiteral("35"));
        QTest::mouseClick(child<QPushButton>(window, "CmdRequest"), Qt::LeftButton);
        window->close();
    }
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    QCOMPARE(child<controls::NumericEdit>(window, "EdtPageSize")->text(), QStringLiteral("35"));
    QCOMPARE(grid(window)->dataRowCount(), 35);
}

void tst_ContactListWindow::portalCallFunctionOpensTheListModally()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    gLogin = operatorLogin.get();
    bool modal = false;
    int mode = -1;
    QTimer inspector;
    inspector.setInterval(20);
    connect(&inspector, &QTimer::timeout, this, [&] {
        auto *window = qobject_cast<frmContactList *>(gListForm);
        if (!window || !window->isVisible())
            return;
        QApplication::setActiveWindow(window);
        if (!window->isReady())
            return;
        modal = window->isModal();
        int cancel = -1;
        window->ExitForm(cancel, mode);
    });
    inspector.start();
    QCOMPARE(m_contact->ILoginable_CallFunction(), nullptr);
    inspector.stop();
    QVERIFY(modal);
    QCOMPARE(mode, 1); // closed by the program, not by the title bar
}

void tst_ContactListWindow::loadsWhenShownNeverWhenMade()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *first = show(operatorLogin.get(), portal);
    QVERIFY(first); // the session is set up
    int listQueries = 0;
    db::Driver::setStatementObserver([&listQueries](const QString &sql, const QVariantList &) {
        if (sql.contains(QLatin1String("v_Crm_Contact"), Qt::CaseInsensitive))
            ++listQueries;
    });
    auto *made = new frmContactList(m_contact.get());
    QCOMPARE(listQueries, 0);
    QCOMPARE(child<controls::NumericEdit>(made, "EdtPageSize")->text(), QString());
    QVERIFY(!made->isReady());
    // Paging before the first refresh does nothing.
    QTest::mouseClick(child<QPushButton>(made, "CmdRequest"), Qt::LeftButton);
    QCOMPARE(listQueries, 0);
    portal.formManager.AddForm(made);
    QVERIFY(QTest::qWaitFor([made] { return made->isReady(); }, 10000));
    db::Driver::setStatementObserver({});
    QCOMPARE(listQueries, 1);
    QCOMPARE(child<controls::NumericEdit>(made, "EdtPageSize")->text(), QStringLiteral("500"));
    QVERIFY(!grid(made)->TextMatrix(0, 2).isEmpty());
}

void tst_ContactListWindow::marksFollowClicksAndSelectAll()
{
    auto operatorLogin = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    controls::HostGrid *list = grid(window);
    const auto marked = [list] {
        int count = 0;
        for (int row = 1; row < list->Rows(); ++row)
            count += list->TextMatrix(row, 1) == QStringLiteral("√ ") ? 1 : 0;
        return count;
    };
    const auto clickRow = [list](int row) {
        const QModelIndex cell = list->model()->index(row - 1, 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
    };
    auto *selectAll = child<QCheckBox>(window, "chkSelectAll");
    selectAll->click();
    QCOMPARE(marked(), list->Rows() - 1);
    clickRow(2); // every row stays marked while chkSelectAll is ticked
    QCOMPARE(marked(), list->Rows() - 1);
    selectAll->click();
    QCOMPARE(marked(), 0);
    clickRow(2);
    QCOMPARE(list->TextMatrix(2, 1), QStringLiteral("√ "));
    QCOMPARE(marked(), 1);
    clickRow(2);
    QCOMPARE(marked(), 0);
    // A refresh writes the selection column from the data again.
    clickRow(3);
    window->DataRefresh(QString());
    QCOMPARE(marked(), 0);
}

void tst_ContactListWindow::rightButtonOffersTheSortOfThePage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::newRow("descending in Chinese") << "zh-CN"
                                           << "mDesc" << QStringLiteral("降序");
    QTest::newRow("ascending in Chinese") << "zh-CN"
                                          << "mAsc" << QStringLiteral("升序");
    QTest::newRow("descending in English") << "en-US"
                                           << "mDesc"
                                           << "Descending";
}

void tst_ContactListWindow::rightButtonOffersTheSortOfThePage()
{
    QFETCH(QString, language);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    auto operatorLogin = login(QStringLiteral("admin"), true);
    operatorLogin->setLanguageRegion(language);
    Portal portal;
    frmContactList *window = show(operatorLogin.get(), portal);
    QVERIFY(window);
    controls::HostGrid *list = grid(window);
    QVERIFY(list->Rows() > 3);
    auto *order = child<QMenu>(window, "mOrder");
    QVERIFY(order);
    QVERIFY(!order->isVisible());
    const auto rightClick = [list](int row, int col) {
        const QModelIndex cell = list->model()->index(row - 1, col - 1);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualRect(cell).center());
    };

    // The code column: the contact codes of the page, whatever order the list gave them.
    int codeColumn = 0;
    for (int col = 1; col < list->Cols() && codeColumn == 0; ++col) {
        if (list->ColKey(col).compare(QLatin1String("cContactCode"), Qt::CaseInsensitive) == 0)
            codeColumn = col;
    }
    QVERIFY(codeColumn > 0);
    list->setCol(0);
    rightClick(2, codeColumn);
    QVERIFY(!order->isVisible()); // the fixed column orders nothing

    // Out of the list's own order first, so neither direction finds the page already sorted.
    const int dataRows = list->Rows() - 1;
    std::vector<int> rotated;
    for (int row = 1; row <= dataRows; ++row)
        rotated.push_back(row % dataRows + 1);
    list->permuteRows(rotated);
    list->setRow(2);
    list->setCol(codeColumn);
    const QString current = list->TextMatrix(2, codeColumn);
    QStringList codes;
    for (int row = 1; row < list->Rows(); ++row)
        codes << list->TextMatrix(row, codeColumn);
    rightClick(3, codeColumn);
    QTRY_VERIFY(order->isVisible());
    QCOMPARE(list->Row(), 2); // the right button leaves the current row where it is
    auto *ascending = child<QAction>(window, "mAsc");
    auto *descending = child<QAction>(window, "mDesc");
    QVERIFY(ascending && descending);
    QCOMPARE(ascending->isVisible() && descending->isVisible(), true);
    QAction *chosen = item == QLatin1String("mAsc") ? ascending : descending;
    QCOMPARE(chosen->text(), caption);
    QTest::mouseClick(order, Qt::LeftButton, {}, order->actionGeometry(chosen).center());
    QTRY_VERIFY(!order->isVisible());

    // The codes are numbered alike, so their text order is the collation's.
    std::sort(codes.begin(), codes.end());
    if (item == QLatin1String("mDesc"))
        std::reverse(codes.begin(), codes.end());
    QStringList shown;
    for (int row = 1; row < list->Rows(); ++row)
        shown << list->TextMatrix(row, codeColumn);
    QCOMPARE(shown, codes);
    QCOMPARE(list->TextMatrix(list->Row(), codeColumn), current);
}

QTEST_MAIN(tst_ContactListWindow)
#include "tst_contactlistwindow.moc"
