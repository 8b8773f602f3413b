// The batch modification window as a clerk uses it: the contacts marked in the list reach the
// control, a field and a value are chosen, F8 runs the batch, Escape closes the window and the
// list is refreshed once when something changed.

#include "BatchTestSession.h"

#include "perikon/batch/FrmZMulModify.h"
#include "suite/MessageBoxScript.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteServices.h"
#include "support/FailOnWarnings.h"
#include "support/FakeCardList.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace perikon;
using suite::MessageBoxScript;

namespace {

constexpr int kYes = 6;

QString text(const QString &language, const char *key, const QStringList &args = {})
{
    return suite::ResourceTexts::format(language, QString::fromLatin1(key), args);
}

} // namespace

class tst_BatchWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void markedRowsReachTheControl();
    void f8ModifiesTheMarkedContactsAndEscapeRefreshesOnce();
    void closingWithoutAChangeDoesNotRefresh();
    void failedBatchKeepsTheWindowOpen();
    void unusableCatalogueClosesTheWindow();
    void titleFollowsTheSessionLanguage_data();
    void titleFollowsTheSessionLanguage();

private:
    void startSession(const QString &language = QStringLiteral("zh-CN"));
    // The window over the fake list, shown and initialised.
    std::unique_ptr<FrmZMulModify> openWindow();
    void chooseField(FrmZMulModify &window, const QString &caption);

    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<testing::FakeCardList> m_list;
};

void tst_BatchWindow::initTestCase()
{
    suite::registerServices();
    MessageBoxScript::setInteractive(false);
}

void tst_BatchWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(12);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("update Crm_Contact set bMajor=0"));
    m_list = std::make_unique<testing::FakeCardList>(QStringList());
    controls::HostGrid &grid = *m_list->listGrid();
    const QStringList codes
        = m_db.column(QStringLiteral("select cContactCode from Crm_Contact order by cContactCode"));
    grid.setRows(5);
    // Rows 1 and 3 are marked; row 2's mark lacks its blank, row 4 has none.
    const QStringList marks
        = {QStringLiteral("√ "), QStringLiteral("√"), QStringLiteral("√ "), QString()};
    for (int row = 1; row <= 4; ++row) {
        grid.setTextMatrix(row, 1, marks[row - 1]);
        grid.setTextMatrix(row, 2, codes.value(row - 1));
    }
    MessageBoxScript::takeShownMessages();
}

void tst_BatchWindow::cleanup()
{
    MessageBoxScript::queueAnswers({});
    MessageBoxScript::takeShownMessages();
    testing::endBatchSession(m_login);
    m_list.reset();
}

void tst_BatchWindow::startSession(const QString &language)
{
    QVERIFY(testing::startBatchSession(m_db, m_login, language));
}

std::unique_ptr<FrmZMulModify> tst_BatchWindow::openWindow()
{
    auto window = std::make_unique<FrmZMulModify>(*m_list);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the batch window did not become active");
    // The control is initialised once the window has been shown.
    auto *count = window->findChild<QLabel *>(QStringLiteral("lblCount"));
    if (!QTest::qWaitFor([count] { return count && !count->text().isEmpty(); }, 5000))
        qWarning("the batch control was not initialised");
    return window;
}

void tst_BatchWindow::chooseField(FrmZMulModify &window, const QString &caption)
{
    auto *fields = window.findChild<QComboBox *>(QStringLiteral("cboField"));
    QVERIFY(fields);
    const int index = fields->findText(caption);
    QVERIFY2(index >= 0, qPrintable(caption));
    fields->setCurrentIndex(index);
}

void tst_BatchWindow::markedRowsReachTheControl()
{
    startSession();
    const std::unique_ptr<FrmZMulModify> window = openWindow();
    QCOMPARE(FrmZMulModify::markedContacts(m_list->listGrid()).size(), 2);
    QCOMPARE(FrmZMulModify::markedContacts(m_list->listGrid()).value(1).first, QStringLiteral("3"));
    auto *count = window->findChild<QLabel *>(QStringLiteral("lblCount"));
    QVERIFY(count->text().contains(u'2'));
    auto *modify = window->findChild<QPushButton *>(QStringLiteral("cmdModify"));
    QVERIFY(modify);
    QCOMPARE(modify->text(),
             text(QStringLiteral("zh-CN"), "K2.AA.ARCHIVE.COMMON.modify") + QStringLiteral("(F8)"));
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("lblTitle")));
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("prgBatch")));
}

void tst_BatchWindow::f8ModifiesTheMarkedContactsAndEscapeRefreshesOnce()
{
    startSession();
    const std::unique_ptr<FrmZMulModify> window = openWindow();
    chooseField(*window, QStringLiteral("备注"));
    auto *value = window->findChild<QLineEdit *>(QStringLiteral("EdtValue"));
    QVERIFY(value && value->isVisible());
    value->setText(QStringLiteral("批量 O'Neil"));
    MessageBoxScript::queueAnswers({kYes});
    QTest::keyClick(value, Qt::Key_F8);
    QCOMPARE(MessageBoxScript::takeShownMessages(),
             (QStringList{text(QStringLiteral("zh-CN"), "K2.AA.CUSTOMER.FRMMULMODIFY.410_1",
                               {QStringLiteral("2")}),
                          text(QStringLiteral("zh-CN"), "K2.AA.ARCHIVE.COMMON.modifysuccess")}));
    QCOMPARE(
        m_db.count(QStringLiteral("select count(*) from Crm_Contact where cMemo=N'批量 O''Neil'")),
        2);
    // The window stays for another batch; the list is refreshed once, when it goes.
    QVERIFY(window->isVisible());
    QCOMPARE(m_list->refreshes, 0);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(m_list->refreshes, 1);
    QVERIFY(!gListDirty);
}

void tst_BatchWindow::closingWithoutAChangeDoesNotRefresh()
{
    startSession();
    gListDirty = true; // left over from an earlier window
    const std::unique_ptr<FrmZMulModify> window = openWindow();
    auto *close = window->findChild<QPushButton *>(QStringLiteral("cmdClose"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QCOMPARE(m_list->refreshes, 0);
}

void tst_BatchWindow::failedBatchKeepsTheWindowOpen()
{
    startSession();
    const std::unique_ptr<FrmZMulModify> window = openWindow();
    chooseField(*window, QStringLiteral("关键联系人"));
    auto *choices = window->findChild<QComboBox *>(QStringLiteral("cboValue"));
    QVERIFY(choices && choices->isVisible());
    // Cleared: the flag column holds no NULL, so the batch fails and is rolled back.
    choices->setCurrentIndex(-1);
    MessageBoxScript::queueAnswers({kYes});
    QTest::keyClick(window.get(), Qt::Key_F8);
    const QStringList shown = MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.value(1), text(QStringLiteral("zh-CN"), "K2.AA.CUSTOMER.FRMMULMODIFY.436_1"));
    QVERIFY(window->isVisible());
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock")), 0);
    // Another try with a value goes through.
    choices->setCurrentIndex(
        choices->findText(text(QStringLiteral("zh-CN"), "K2.AA.ARCHIVE.COMMON.yes")));
    MessageBoxScript::queueAnswers({kYes});
    QTest::keyClick(window.get(), Qt::Key_F8);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact where bMajor=1")), 2);
    window->close();
    QCOMPARE(m_list->refreshes, 1);
}

void tst_BatchWindow::unusableCatalogueClosesTheWindow()
{
    startSession();
    gBatchCatalogXml = QStringLiteral("<Crm_contact><broken");
    auto window = std::make_unique<FrmZMulModify>(*m_list);
    window->show();
    QVERIFY(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000));
    const QStringList shown = MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QVERIFY(!shown.first().isEmpty());
}

void tst_BatchWindow::titleFollowsTheSessionLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::newRow("zh-CN") << "zh-CN"
                           << "客户联系人批量修改";
    QTest::newRow("en-US") << "en-US"
                           << "Batch Modify Contacts";
}

void tst_BatchWindow::titleFollowsTheSessionLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, title);
    startSession(language);
    const std::unique_ptr<FrmZMulModify> window = openWindow();
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), title);
    if (qEnvironmentVariableIsSet("PERIKON_GRAB_DIR")) {
        window->resize(window->sizeHint().expandedTo(QSize(460, 0)));
        window->grab().save(qEnvironmentVariable("PERIKON_GRAB_DIR") + QStringLiteral("/batch-")
                            + language + QStringLiteral(".png"));
    }
}

QTEST_MAIN(tst_BatchWindow)
#include "tst_batchwindow.moc"
