// The general work of a contact: the window that lists the opportunities naming it, opened by the
// host object "CrmGenerals" on its own or as a page of the shell.

#include "perikon/host/contract/HostRegistry.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/portal/SuitePortal.h"
#include "suite/services/SuiteCrmGenerals.h"
#include "support/FailOnWarnings.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace perikon;

namespace {

QWidget *openWindowNamed(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// The first column's texts of every data row: the opportunity codes shown.
QStringList shownCodes(const controls::HostGrid &grid)
{
    QStringList codes;
    for (int row = 1; row < grid.Rows(); ++row)
        codes.append(grid.TextMatrix(row, 1));
    return codes;
}

} // namespace

class tst_CrmGenerals : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { suite::registerServices(); }
    void init();
    void cleanup();
    void listsTheContactsOwnOpportunities_data();
    void listsTheContactsOwnOpportunities();
    void textsFollowTheLoginsLanguage_data();
    void textsFollowTheLoginsLanguage();
    void secondCallShowsTheNextContact();
    void refusedCallsShowNothing_data();
    void refusedCallsShowNothing();
    void becomesAPageOfTheShell();

private:
    bool open(suite::SuiteCrmGenerals &generals, const QString &code, const QString &name,
              QObject *formManager = nullptr, QObject *viewManager = nullptr);

    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_CrmGenerals::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), false);
    const QString insert = QStringLiteral(
        "insert into Crm_Opportunity (cOppCode, cOppName, cCusCode, cContactCode, dExpectDate, "
        "mExpectAmount, iStage, cPrincipal) values ");
    m_db.exec(insert
              + QStringLiteral("(N'OPP-2', N'Second deal', N'CUS1', N'C001', '2026-05-20', "
                               "800, 3, N'wang')"));
    m_db.exec(insert
              + QStringLiteral("(N'OPP-1', N'Boiler upgrade', N'CUS1', N'C001', '2026-03-01', "
                               "12345.5, 2, N'li')"));
    m_db.exec(insert
              + QStringLiteral("(N'OPP-3', N'Other contact''s deal', N'CUS2', N'C002', "
                               "'2026-04-01', 99, 1, N'li')"));
    m_db.exec(insert
              + QStringLiteral("(N'OPP-4', N'Quoted', N'CUS3', N'O''Neil', null, null, 1, "
                               "null)"));
}

void tst_CrmGenerals::cleanup()
{
    m_login.reset();
    // Windows a failed test left open must not be found by the next one.
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmCrmGenerals"))
            delete widget;
    }
}

bool tst_CrmGenerals::open(suite::SuiteCrmGenerals &generals, const QString &code,
                           const QString &name, QObject *formManager, QObject *viewManager)
{
    return generals.IiniGenerals(m_login.get(), nullptr, formManager,
                                 suite::SuiteCrmGenerals::kContact, code, name, QVariant(),
                                 viewManager, nullptr);
}

void tst_CrmGenerals::listsTheContactsOwnOpportunities_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("count");
    QTest::newRow("two, by expected date")
        << "C001" << QStringList{QStringLiteral("OPP-1"), QStringLiteral("OPP-2")}
        << "2 opportunities";
    QTest::newRow("a code with a quote")
        << "O'Neil" << QStringList{QStringLiteral("OPP-4")} << "1 opportunity";
    QTest::newRow("none") << "C404" << QStringList() << "0 opportunities";
    QTest::newRow("a code that would end the literal")
        << "C001' or '1'='1" << QStringList() << "0 opportunities";
}

void tst_CrmGenerals::listsTheContactsOwnOpportunities()
{
    QFETCH(QString, code);
    QFETCH(QStringList, codes);
    QFETCH(QString, count);
    suite::SuiteCrmGenerals generals;
    QVERIFY(open(generals, code, QStringLiteral("Zhang San")));
    QWidget *window = generals.window();
    QVERIFY(window);
    QCOMPARE(window->objectName(), QStringLiteral("frmCrmGenerals"));
    QVERIFY(window->isVisible());
    QVERIFY(window->windowTitle().contains(code));
    QVERIFY(window->windowTitle().contains(QStringLiteral("Zhang San")));
    auto *grid = window->findChild<controls::HostGrid *>(QStringLiteral("GridOpportunities"));
    QVERIFY(grid);
    QVERIFY(grid->isVisible());
    QCOMPARE(shownCodes(*grid), codes);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblCount"))->text(), count);
    auto *empty = window->findChild<QLabel *>(QStringLiteral("lblNoOpportunities"));
    QVERIFY(empty);
    QCOMPARE(empty->isVisible(), codes.isEmpty());
}

void tst_CrmGenerals::textsFollowTheLoginsLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("amountCaption");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("close");
    QTest::newRow("Chinese") << "zh-CN"
                             << "预计金额"
                             << "共 2 个商机"
                             << "关闭";
    QTest::newRow("English") << "en-US"
                             << "Expected amount"
                             << "2 opportunities"
                             << "Close";
}

void tst_CrmGenerals::textsFollowTheLoginsLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, amountCaption);
    QFETCH(QString, count);
    QFETCH(QString, close);
    m_login->setLanguageRegion(language);
    suite::SuiteCrmGenerals generals;
    QVERIFY(open(generals, QStringLiteral("C001"), QStringLiteral("张三")));
    QWidget *window = generals.window();
    auto *grid = window->findChild<controls::HostGrid *>(QStringLiteral("GridOpportunities"));
    const QStringList header = grid->headerTexts();
    const int amount = int(header.indexOf(amountCaption));
    QVERIFY2(amount > 0, qPrintable(header.join(u'|')));
    QCOMPARE(grid->TextMatrix(1, amount), QStringLiteral("12,345.50"));
    QCOMPARE(grid->TextMatrix(2, amount), QStringLiteral("800.00"));
    QVERIFY(grid->rowTexts(1).contains(QStringLiteral("2026-03-01")));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblCount"))->text(), count);
    QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("cmdClose"))->text(), close);
    // No caption is cut off.
    const QFontMetrics metrics(grid->font());
    for (int col = 1; col < grid->Cols(); ++col)
        QVERIFY2(grid->ColWidth(col) > metrics.horizontalAdvance(header.at(col)),
                 qPrintable(header.at(col)));
}

void tst_CrmGenerals::secondCallShowsTheNextContact()
{
    suite::SuiteCrmGenerals generals;
    QVERIFY(open(generals, QStringLiteral("C001"), QStringLiteral("Zhang San")));
    QPointer<QWidget> first = generals.window();
    QVERIFY(open(generals, QStringLiteral("O'Neil"), QStringLiteral("Pat O'Neil")));
    QCOMPARE(generals.window(), first.data());
    QVERIFY(first->windowTitle().contains(QStringLiteral("Pat O'Neil")));
    QVERIFY(!first->windowTitle().contains(QStringLiteral("C001")));
    auto *grid = first->findChild<controls::HostGrid *>(QStringLiteral("GridOpportunities"));
    QCOMPARE(shownCodes(*grid), QStringList{QStringLiteral("OPP-4")});
    // Closed by the operator, the next call opens it again.
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("cmdClose")), Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(!generals.window());
    QVERIFY(open(generals, QStringLiteral("C002"), QString()));
    QVERIFY(openWindowNamed(QStringLiteral("frmCrmGenerals")));
}

void tst_CrmGenerals::refusedCallsShowNothing_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("database");
    QTest::newRow("empty code") << "" << 2 << true;
    QTest::newRow("blank code") << "  " << 2 << true;
    QTest::newRow("not a contact") << "C001" << 1 << true;
    QTest::newRow("login without a database") << "C001" << 2 << false;
}

void tst_CrmGenerals::refusedCallsShowNothing()
{
    QFETCH(QString, code);
    QFETCH(int, kind);
    QFETCH(bool, database);
    if (!database)
        m_login->qzDBName.clear();
    // As a caller gets it: by name from the host.
    std::unique_ptr<CrmGenerals> generals
        = HostRegistry::createAs<CrmGenerals>(QStringLiteral("CrmGenerals"));
    QVERIFY(generals);
    QVERIFY(!generals->IiniGenerals(m_login.get(), nullptr, nullptr, kind, code,
                                    QStringLiteral("Zhang San"), QVariant(), nullptr, nullptr));
    QVERIFY(!openWindowNamed(QStringLiteral("frmCrmGenerals")));
}

void tst_CrmGenerals::becomesAPageOfTheShell()
{
    QTabWidget workspace;
    workspace.show();
    suite::SuiteFormManager forms;
    forms.setWorkspace(&workspace);
    suite::SuiteViewManager views;
    suite::SuiteCrmGenerals generals;
    QVERIFY(open(generals, QStringLiteral("C001"), QStringLiteral("Zhang San"), &forms, &views));
    QCOMPARE(workspace.count(), 1);
    QCOMPARE(workspace.widget(0), generals.window());
    QVERIFY(workspace.tabText(0).contains(QStringLiteral("C001")));
    QCOMPARE(views.views(), QList<QWidget *>{generals.window()});
    QVERIFY(!openWindowNamed(QStringLiteral("frmCrmGenerals")));

    QVERIFY(open(generals, QStringLiteral("C002"), QStringLiteral("Li Si"), &forms, &views));
    QCOMPARE(workspace.count(), 1);
    QVERIFY(workspace.tabText(0).contains(QStringLiteral("C002")));
    QCOMPARE(views.views().size(), 1);

    QTest::mouseClick(generals.window()->findChild<QPushButton *>(QStringLiteral("cmdClose")),
                      Qt::LeftButton);
    QTRY_COMPARE(workspace.count(), 0);
}

QTEST_MAIN(tst_CrmGenerals)
#include "tst_crmgenerals.moc"
