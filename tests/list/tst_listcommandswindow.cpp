// The list's commands as a clerk runs them: the common frame and its guards, Add and Modify
// around a card, the delete run over marked contacts, the frames of the other commands and the
// key hook's scope. The card and the windows of later commands are test doubles registered by
// name, as the component's own windows will be.

#include "perikon/entry/IContact.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListWindows.h"
#include "perikon/list/frmContactList.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/NumericEdit.h"
#include "suite/portal/SuitePortal.h"
#include "support/FailOnWarnings.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace perikon;

namespace {

constexpr int kContacts = 30;

using Portal = testing::ShellPortal;

// What the test card saw, and what it does while it is open.
struct CardLog
{
    int mode = 0;
    int codeColumn = -1;
    int row = -1;
    QString presetName;
    QString presetCode;
    std::function<void(QDialog &, list::ListAccess &)> whileOpen;
};

class TestCard : public list::ContactCard
{
public:
    TestCard(CardLog &log, list::ListAccess &list, QWidget *parent)
        : m_log(log)
        , m_list(list)
        , m_dialog(parent)
    {
        m_dialog.setObjectName(QStringLiteral("frmContactEdit"));
        new QLabel(QStringLiteral("Customer"), &m_dialog);
        m_dialog.findChild<QLabel *>()->setObjectName(QStringLiteral("lblcCusCode"));
        (new QLineEdit(&m_dialog))->setObjectName(QStringLiteral("Edt_1"));
        (new QPushButton(&m_dialog))->setObjectName(QStringLiteral("Cmd_0"));
        QTimer::singleShot(0, &m_dialog, [this] {
            if (m_log.whileOpen)
                m_log.whileOpen(m_dialog, m_list);
            m_dialog.accept();
        });
    }
    QDialog *dialog() override { return &m_dialog; }
    void presetCustomer(const QString &name, const QString &code) override
    {
        m_log.presetName = name;
        m_log.presetCode = code;
    }
    void InitData(int mode, int codeColumn, int row) override
    {
        m_log.mode = mode;
        m_log.codeColumn = codeColumn;
        m_log.row = row;
    }

private:
    CardLog &m_log;
    list::ListAccess &m_list;
    QDialog m_dialog;
};

} // namespace

class tst_ListCommandsWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commonFinishAndEndAtOnce_data();
    void commonFinishAndEndAtOnce();
    void guardsShowTheirMessages_data();
    void guardsShowTheirMessages();
    void deleteRunKeepsWhatItsRulesProtect();
    void deleteRunAnsweredCancelDeletesNothing();
    void deleteRunEndsAtADatabaseFault();
    void lockHeldByAnotherOperatorStopsTheCommand_data();
    void lockHeldByAnotherOperatorStopsTheCommand();
    void modifyOpensTheCardAndComesBackToTheSavedContact();
    void addPresetsTheArchiveCustomerAndHoldsItsLock();
    void commandsWithoutTheirWindowAreNotOffered();
    void mailAndSmsHandOnCodesAndMobile();
    void batchModifyOnlyTestsItsLock();
    void keysInAModalWindowStartNoListCommand();
    void generalWorkShowsTheCurrentContact();

private:
    std::unique_ptr<suite::SuiteLogin> login(const QString &user, bool admin);
    frmContactList *show(QObject *login, Portal &portal);
    QString codeAt(frmContactList *window, int row);
    int codeColumn(frmContactList *window);
    void markCodes(frmContactList *window, const QStringList &codes);
    QStringList runningTasks();
    qint64 locks(int number);
    // Another operator's session on the same account takes (positive) or releases (negative) a
    // lock on the contacts; the IsLockFun answer. The list's operator is the current one after.
    bool otherOperatorLock(int number);

    SuiteFixture m_db;
    std::unique_ptr<IContact> m_contact;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<suite::SuiteLogin> m_other;
    CardLog m_card;
};

void tst_ListCommandsWindow::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_ListCommandsWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(kContacts);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Known relations: nobody is a superior or a default contact unless a test says so.
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=NULL"));
    m_db.exec(QStringLiteral("update Customer set ccuscontactcode=NULL"));
    m_db.exec(QStringLiteral("delete from Crm_Opportunity"));
    suite::MessageBoxScript::takeShownMessages();
    m_contact = std::make_unique<IContact>();
    m_card = CardLog();
    list::registerContactCard(list::kCardWindow, [this](list::ListAccess &list, QWidget *parent) {
        return std::make_unique<TestCard>(m_card, list, parent);
    });
}

void tst_ListCommandsWindow::cleanup()
{
    if (gListForm)
        delete gListForm.data();
    m_contact.reset();
    m_login.reset();
    m_other.reset();
    gFunctionTask.reset();
    gArchiveCusCode.clear();
    gArchiveCusName.clear();
    for (const QString &name : {list::kCardWindow, list::kSmsWindow, list::kBatchWindow})
        list::registerContactCard(name, nullptr), list::registerListDialog(name, nullptr);
    list::registerListAction(list::kMailAction, nullptr);
    suite::MessageBoxScript::takeShownMessages();
}

std::unique_ptr<suite::SuiteLogin> tst_ListCommandsWindow::login(const QString &user, bool admin)
{
    return testing::operatorLogin(m_db, user, admin);
}

frmContactList *tst_ListCommandsWindow::show(QObject *operatorLogin, Portal &portal)
{
    frmContactList *window = testing::showContactList(*m_contact, operatorLogin, portal);
    suite::MessageBoxScript::takeShownMessages();
    return window;
}

int tst_ListCommandsWindow::codeColumn(frmContactList *window)
{
    return int(window->grid()->headerTexts().indexOf(QStringLiteral("Contact Code")));
}

QString tst_ListCommandsWindow::codeAt(frmContactList *window, int row)
{
    return window->grid()->TextMatrix(row, codeColumn(window));
}

void tst_ListCommandsWindow::markCodes(frmContactList *window, const QStringList &codes)
{
    controls::HostGrid *grid = window->grid();
    for (int row = 1; row < grid->Rows(); ++row) {
        if (codes.contains(codeAt(window, row)))
            grid->setTextMatrix(row, 1, QStringLiteral("√ "));
    }
}

QStringList tst_ListCommandsWindow::runningTasks()
{
    return m_db.column(QStringLiteral("select cFuncId from qz_FunctionTask order by cFuncId"));
}

qint64 tst_ListCommandsWindow::locks(int number)
{
    return m_db.count(
        QStringLiteral("select count(*) from qz_FunctionLock where iLock=%1").arg(number));
}

bool tst_ListCommandsWindow::otherOperatorLock(int number)
{
    if (!m_other)
        m_other = login(QStringLiteral("other"), true);
    DataAccessStub otherAccess(&m_db.connection());
    QObject *com = &otherAccess;
    const bool answer
        = gPubService->IsLockFun(com, m_other.get(), QStringLiteral("crm_contact"), number);
    m_login->setLanguageRegion(QStringLiteral("en-US")); // the list's operator works on
    return answer;
}

// A dialog that runs `whileOpen` once it is shown, then closes itself.
static std::unique_ptr<QDialog> selfClosingDialog(QWidget *parent,
                                                  std::function<void(QDialog &)> whileOpen)
{
    auto dialog = std::make_unique<QDialog>(parent);
    QDialog *raw = dialog.get();
    QTimer::singleShot(0, raw, [raw, whileOpen] {
        whileOpen(*raw);
        raw->accept();
    });
    return dialog;
}

void tst_ListCommandsWindow::commonFinishAndEndAtOnce_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("hideCodeColumn");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("tasksLeft");
    QTest::newRow("refresh finishes") << "REFRESH" << false << -1 << QStringList();
    QTest::newRow("unknown key only finishes") << "About" << false << -1 << QStringList();
    QTest::newRow("modify finishes after the card") << "Modify" << false << -1 << QStringList();
    // Ending at once skips the finish: the task begun stays until the next command's finish.
    QTest::newRow("add without a code column ends at once")
        << "add" << true << -1 << QStringList{"CS020204"};
    QTest::newRow("modify on an empty list ends at once")
        << "Modify" << false << 1 << QStringList{"CS020201"};
    QTest::newRow("delete that deletes nothing ends at once")
        << "Del" << false << -1 << QStringList{"CS020205"};
}

void tst_ListCommandsWindow::commonFinishAndEndAtOnce()
{
    QFETCH(QString, key);
    QFETCH(bool, hideCodeColumn);
    QFETCH(int, rows);
    QFETCH(QStringList, tasksLeft);
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    if (hideCodeColumn)
        window->grid()->setTextMatrix(0, codeColumn(window), QStringLiteral("Code"));
    if (rows > 0)
        window->grid()->setRows(rows);
    markCodes(window, {codeAt(window, 1)});
    window->grid()->setRow(1);
    // The delete run is answered OK, then the contact turns out to be another's superior.
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=N'%1' where cContactCode=N'%2'")
                  .arg(codeAt(window, 1), codeAt(window, 2)));
    suite::MessageBoxScript::queueAnswers({1});
    window->Operating(key);
    QCOMPARE(window->property("HelpCommand").toString(), key); // the host heard of it first
    QCOMPARE(runningTasks(), tasksLeft);
    QCOMPARE(locks(11) + locks(2) + locks(8), 0);
}

void tst_ListCommandsWindow::guardsShowTheirMessages_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    const QString pick = QStringLiteral("Please select a contact first.");
    // Modify marks the current row first, which makes the first row current: it always has one.
    QTest::newRow("SMS without a current row") << "SendMsg"
                                               << "no row" << pick;
    QTest::newRow("report without a current row") << "Report"
                                                  << "no row" << pick;
    QTest::newRow("delete with nothing marked") << "Del"
                                                << "" << pick;
    QTest::newRow("add without the code column")
        << "Add"
        << "no code column"
        << "The list has no contact code column. Show it in the column settings.";
    QTest::newRow("delete without the code column")
        << "Del"
        << "mark, no code column"
        << "The list has no contact code column, so no contact can be deleted.";
    QTest::newRow("modify of a contact deleted meanwhile")
        << "Modify"
        << "deleted"
        << "Contact \"%1\" does not exist or has been deleted.也可能没有权限。";
}

void tst_ListCommandsWindow::guardsShowTheirMessages()
{
    QFETCH(QString, key);
    QFETCH(QString, setup);
    QFETCH(QString, message);
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    const QString code = codeAt(window, 3);
    window->grid()->setRow(setup == QLatin1String("no row") ? 0 : 3);
    if (setup.startsWith(QLatin1String("mark")))
        markCodes(window, {code});
    if (setup.endsWith(QLatin1String("no code column")))
        window->grid()->setTextMatrix(0, codeColumn(window), QStringLiteral("Code"));
    if (setup == QLatin1String("deleted"))
        m_db.exec(QStringLiteral("delete from Crm_Contact where cContactCode=N'%1'").arg(code));
    const qint64 before = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    window->Operating(key);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
             QStringList{message.contains(QLatin1String("%1")) ? message.arg(code) : message});
    QCOMPARE(m_card.mode, 0); // no card opened
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), before);
    QCOMPARE(locks(2) + locks(8) + locks(11), 0);
}

void tst_ListCommandsWindow::deleteRunKeepsWhatItsRulesProtect()
{
    // A code with a quote goes through every statement of the run.
    m_db.exec(QStringLiteral(
        "update Crm_Contact set cContactCode=N'O''Neil' where cContactCode=N'00000009'"));
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    const QStringList codes{codeAt(window, 2),       codeAt(window, 3), codeAt(window, 4),
                            codeAt(window, 5),       codeAt(window, 6), codeAt(window, 7),
                            QStringLiteral("O'Neil")};
    // 2: default contact, kept on No; 3: default contact deleted on Yes; 4: superior of 11;
    // 5: deleted by someone else meanwhile; 6: named by an opportunity; 7 and O'Neil: deleted.
    const auto makeDefault = [this](const QString &code, const QString &customer) {
        m_db.exec(QStringLiteral("update Customer set ccuscontactcode=(select OID from Crm_Contact "
                                 "where cContactCode=N'%1') where cCusCode=N'%2'")
                      .arg(code, customer));
    };
    const QStringList customers = m_db.column(QStringLiteral("select cCusCode from Customer"));
    QVERIFY(customers.size() >= 2);
    makeDefault(codes[0], customers[0]);
    makeDefault(codes[1], customers[1]);
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=N'%1' where cContactCode=N'%2'")
                  .arg(codes[2], codeAt(window, 11)));
    m_db.exec(QStringLiteral("delete from Crm_Contact where cContactCode=N'%1'").arg(codes[3]));
    m_db.exec(QStringLiteral("insert into Crm_Opportunity (cOppCode, cOppName, cContactCode) "
                             "values (N'OPP1', N'Pumps', N'%1')")
                  .arg(codes[4]));
    QVERIFY2(window->grid()->headerTexts().contains(QStringLiteral("Contact Code")), "header");
    markCodes(window, codes);
    window->grid()->setTopRow(3);
    window->grid()->setRow(5);
    const int topRow = window->grid()->TopRow();

    // OK to the confirmation, No for the first default contact, Yes for the second.
    suite::MessageBoxScript::queueAnswers({1, 7, 6});
    window->Operating(QStringLiteral("Del"));

    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 4); // confirmation, two questions, the result list
    for (const QString &code : codes)
        QVERIFY2(shown[0].contains(code), qPrintable(shown[0]));
    QVERIFY(shown[1].startsWith(QStringLiteral("Delete this contact ,This contact is the "
                                               "customer's default contact?")));
    const QString rights = QStringLiteral("The current operator has no rights to this record.");
    const QStringList lines = shown[3].split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Information"));
    QCOMPARE(lines.size(), 1 + codes.size());
    // One line per marked contact, in grid order, with its outcome.
    QStringList outcomes;
    for (const QString &line : lines.mid(1))
        outcomes << line.section(QLatin1Char('\t'), 1);
    QCOMPARE(lines.mid(1).join(QLatin1Char('|')).count(QLatin1Char('\t')), codes.size());
    const QHash<QString, QString> expected{
        {codes[0], QStringLiteral("This contact is the customer's default contact")},
        {codes[1], QStringLiteral("Deleted")},
        {codes[2], QStringLiteral("This contact is the superior of other contacts and cannot be "
                                  "deleted.")},
        {codes[3], rights},
        {codes[5], QStringLiteral("Deleted")},
        {codes[6], QStringLiteral("Deleted")},
    };
    for (const QString &line : lines.mid(1)) {
        const QString code = line.section(QLatin1Char('\t'), 0, 0);
        const QString outcome = line.section(QLatin1Char('\t'), 1);
        if (code == codes[4])
            QVERIFY2(!outcome.isEmpty() && outcome != QStringLiteral("Deleted"), qPrintable(line));
        else
            QCOMPARE(outcome, expected.value(code));
    }
    const QStringList left = m_db.column(QStringLiteral("select cContactCode from Crm_Contact"));
    for (const QString &kept : {codes[0], codes[2], codes[4]})
        QVERIFY2(left.contains(kept), qPrintable(kept));
    for (const QString &gone : {codes[1], codes[5], codes[6]})
        QVERIFY2(!left.contains(gone), qPrintable(gone));
    // The list is read again and the cursor is where it was.
    QCOMPARE(window->grid()->Row(), 5);
    QCOMPARE(window->grid()->TopRow(), topRow);
    QVERIFY(codeAt(window, 1) != codes[1] && !window->grid()->rowTexts(2).contains(codes[1]));
    QCOMPARE(locks(8), 0);
    QVERIFY(runningTasks().isEmpty());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void tst_ListCommandsWindow::deleteRunAnsweredCancelDeletesNothing()
{
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    markCodes(window, {codeAt(window, 1), codeAt(window, 2)});
    suite::MessageBoxScript::queueAnswers({2}); // Cancel
    window->Operating(QStringLiteral("Del"));
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), 1);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), kContacts);
    QCOMPARE(locks(8), 0);
}

void tst_ListCommandsWindow::deleteRunEndsAtADatabaseFault()
{
    QTemporaryDir logs;
    qputenv("PERIKON_LOG_DIR", logs.path().toUtf8());
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    markCodes(window, {codeAt(window, 1), codeAt(window, 2)});
    // The default-contact check cannot be read: the run ends before any contact is touched.
    m_db.exec(QStringLiteral("drop table Customer"));
    suite::MessageBoxScript::queueAnswers({1});
    window->Operating(QStringLiteral("Del"));
    qunsetenv("PERIKON_LOG_DIR");
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), kContacts);
    QFile log(logs.filePath(QStringLiteral("error.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("frmContactList.Operating()"));
    // Nobody waits on the dead run, and the list is still there to work with.
    QCOMPARE(locks(8), 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(window->grid()->dataRowCount(), kContacts);
    QVERIFY(window->isEnabled());
}

void tst_ListCommandsWindow::lockHeldByAnotherOperatorStopsTheCommand_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("heldLock");
    QTest::newRow("delete while another deletes") << "Del" << 8;
    QTest::newRow("delete while another modifies") << "Del" << 2;
    QTest::newRow("modify while another deletes") << "Modify" << 8;
    QTest::newRow("add during a batch modification") << "Add" << 7;
}

void tst_ListCommandsWindow::lockHeldByAnotherOperatorStopsTheCommand()
{
    QFETCH(QString, key);
    QFETCH(int, heldLock);
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    QVERIFY(!otherOperatorLock(heldLock));
    markCodes(window, {codeAt(window, 1)});
    window->grid()->setRow(1);
    suite::MessageBoxScript::queueAnswers({1});
    window->Operating(key);
    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains(QStringLiteral("other")), qPrintable(shown[0]));
    QCOMPARE(m_card.mode, 0);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), kContacts);
    // Once the holder lets go, the command runs.
    QVERIFY(otherOperatorLock(-heldLock));
    suite::MessageBoxScript::queueAnswers({1});
    window->Operating(key);
    if (key == QLatin1String("Del"))
        QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), kContacts - 1);
    else
        QVERIFY(m_card.mode > 0);
}

void tst_ListCommandsWindow::modifyOpensTheCardAndComesBackToTheSavedContact()
{
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    const QString saved = codeAt(window, 9);
    const QString renamed = QStringLiteral("Renamed in the card");
    qint64 lockDuringCard = -1;
    bool customerReadOnly = false;
    bool lookupHidden = false;
    m_card.whileOpen = [&](QDialog &card, list::ListAccess &list) {
        lockDuringCard = locks(2);
        customerReadOnly = card.findChild<QLineEdit *>(QStringLiteral("Edt_1"))->isReadOnly();
        lookupHidden = card.findChild<QPushButton *>(QStringLiteral("Cmd_0"))->isHidden();
        m_db.exec(QStringLiteral("update Crm_Contact set cContactName=N'%1' where "
                                 "cContactCode=N'%2'")
                      .arg(renamed, saved));
        list.setLastSavedCode(saved);
        gListDirty = true;
    };
    window->grid()->setRow(4);
    markCodes(window, {codeAt(window, 2)});
    window->Operating(QStringLiteral("modify"));
    QCOMPARE(m_card.mode, 2);
    QCOMPARE(m_card.codeColumn, codeColumn(window));
    QCOMPARE(m_card.row, 4);
    QCOMPARE(lockDuringCard, 1);
    QVERIFY(customerReadOnly);
    QVERIFY(lookupHidden);
    // Refreshed, and the cursor is on the saved contact though the list is in English.
    QCOMPARE(window->grid()->Row(), 9);
    QVERIFY(window->grid()->rowTexts(9).contains(renamed));
    QCOMPARE(locks(2), 0);
    QVERIFY(runningTasks().isEmpty());
    // Only the modified row was marked, and the refresh wrote the marks afresh.
    QCOMPARE(window->grid()->TextMatrix(2, 1), QString());
}

void tst_ListCommandsWindow::addPresetsTheArchiveCustomerAndHoldsItsLock()
{
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    gArchiveCusName = QStringLiteral("Acme O'Brien");
    gArchiveCusCode = QStringLiteral("C001");
    markCodes(window, {codeAt(window, 2), codeAt(window, 3)});
    qint64 lockDuringCard = -1;
    int marksDuringCard = -1;
    m_card.whileOpen = [&](QDialog &, list::ListAccess &list) {
        lockDuringCard = locks(11);
        marksDuringCard = 0;
        for (int row = 1; row < list.listGrid()->Rows(); ++row)
            marksDuringCard += list.listGrid()->TextMatrix(row, 1).isEmpty() ? 0 : 1;
    };
    window->grid()->setFocus();
    QSignalSpy gridKeys(window->grid(), &controls::HostGrid::keyPressed);
    QTest::keyClick(window->grid(), Qt::Key_F5);
    QCOMPARE(gridKeys.count(), 0); // F5 is the list's, the grid never sees it
    QCOMPARE(m_card.mode, 1);
    QCOMPARE(m_card.presetName, gArchiveCusName);
    QCOMPARE(m_card.presetCode, gArchiveCusCode);
    QCOMPARE(lockDuringCard, 1);
    QCOMPARE(marksDuringCard, 0);
    QCOMPARE(locks(11), 0);
}

void tst_ListCommandsWindow::commandsWithoutTheirWindowAreNotOffered()
{
    list::registerContactCard(list::kCardWindow, nullptr);
    list::registerListAction(list::kMailAction, nullptr);
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    auto *toolbar = window->findChild<controls::HostToolbar *>(QStringLiteral("TLB2"));
    for (const char *key : {"Add", "Modify", "MulModify", "SendMail", "SendMsg"})
        QVERIFY2(!toolbar->isButtonVisible(QString::fromLatin1(key)), key);
    QVERIFY(toolbar->isButtonVisible(QStringLiteral("Del")));
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("mAdd"))->isVisible());
    QVERIFY(window->findChild<QAction *>(QStringLiteral("mDelete"))->isVisible());
    // Typed anyway, Add runs its guards and gives its lock back.
    window->Operating(QStringLiteral("Add"));
    QCOMPARE(locks(11), 0);
    QVERIFY(runningTasks().isEmpty());
}

void tst_ListCommandsWindow::mailAndSmsHandOnCodesAndMobile()
{
    m_db.exec(QStringLiteral(
        "update Crm_Contact set cContactCode=N'O''Neil' where cContactCode=N'00000003'"));
    m_db.exec(QStringLiteral(
        "update Crm_Contact set cMobilePhone=N'13900001111' where cContactCode=N'O''Neil'"));
    QStringList mailed;
    list::registerListAction(
        list::kMailAction,
        [&mailed](list::ListAccess &, const QString &codes) { mailed << codes; });
    QString mobileShown;
    qint64 smsLock = -1;
    list::registerListDialog(list::kSmsWindow, [&](list::ListAccess &, QWidget *parent) {
        auto dialog = selfClosingDialog(parent, [&](QDialog &shown) {
            mobileShown = shown.findChild<QLineEdit *>(QStringLiteral("txtMobilePhone"))->text();
            smsLock = locks(3);
        });
        new QLineEdit(dialog.get());
        dialog->findChild<QLineEdit *>()->setObjectName(QStringLiteral("txtMobilePhone"));
        return dialog;
    });
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    int quoted = 1;
    while (quoted < window->grid()->Rows() && codeAt(window, quoted) != QStringLiteral("O'Neil"))
        ++quoted;
    QVERIFY(quoted < window->grid()->Rows());
    window->grid()->setRow(quoted);
    window->Operating(QStringLiteral("SendMsg"));
    QCOMPARE(mobileShown, QStringLiteral("13900001111"));
    QCOMPARE(smsLock, 1);
    QCOMPARE(locks(3), 0);

    markCodes(window, {codeAt(window, 1), QStringLiteral("O'Neil")});
    window->Operating(QStringLiteral("SendMail"));
    QCOMPARE(mailed.value(0), QStringLiteral("N'%1',N'O''Neil'").arg(codeAt(window, 1)));
    // With every row selected: the whole result, beyond the page on screen.
    auto *pageSize = window->findChild<controls::NumericEdit *>(QStringLiteral("EdtPageSize"));
    pageSize->setText(QStringLiteral("10"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("CmdRequest")),
                      Qt::LeftButton);
    window->findChild<QCheckBox *>(QStringLiteral("chkSelectAll"))->click();
    window->Operating(QStringLiteral("SendMail"));
    QCOMPARE(mailed.value(1).count(QStringLiteral("N'")), kContacts);
    QCOMPARE(locks(3), 0);
}

void tst_ListCommandsWindow::batchModifyOnlyTestsItsLock()
{
    int opened = 0;
    qint64 lockWhileOpen = -1;
    list::registerListDialog(list::kBatchWindow, [&](list::ListAccess &, QWidget *parent) {
        return selfClosingDialog(parent, [&](QDialog &) {
            ++opened;
            lockWhileOpen = locks(7);
        });
    });
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    QVERIFY(window->findChild<controls::HostToolbar *>(QStringLiteral("TLB2"))
                ->isButtonVisible(QStringLiteral("MulModify")));
    QVERIFY(!otherOperatorLock(8));
    window->Operating(QStringLiteral("MulModify"));
    QCOMPARE(opened, 0); // another operator deletes: no batch meanwhile
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), 1);
    QVERIFY(otherOperatorLock(-8));
    window->Operating(QStringLiteral("MulModify"));
    QCOMPARE(opened, 1);
    QCOMPARE(lockWhileOpen, 0); // the window takes the lock only while it writes
}

void tst_ListCommandsWindow::keysInAModalWindowStartNoListCommand()
{
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    window->setProperty("HelpCommand", QString());
    QDialog modal(window);
    auto *field = new QLineEdit(&modal);
    field->setObjectName(QStringLiteral("txtSomething"));
    QTimer::singleShot(0, &modal, [&] {
        QApplication::setActiveWindow(&modal);
        field->setFocus();
        for (Qt::Key key : {Qt::Key_F5, Qt::Key_F9, Qt::Key_F7, Qt::Key_Delete})
            QTest::keyClick(field, key);
        modal.accept();
    });
    modal.exec();
    QCOMPARE(window->property("HelpCommand").toString(), QString());
    QCOMPARE(m_card.mode, 0);
    // The same key on the list itself runs its command.
    QApplication::setActiveWindow(&portal.workspace);
    window->grid()->setFocus();
    QTest::keyClick(window->grid(), Qt::Key_F9);
    QCOMPARE(window->property("HelpCommand").toString(), QStringLiteral("Refresh"));
}

void tst_ListCommandsWindow::generalWorkShowsTheCurrentContact()
{
    m_login = login(QStringLiteral("admin"), true);
    Portal portal;
    frmContactList *window = show(m_login.get(), portal);
    QVERIFY(window);
    const auto generalPages = [&portal] {
        QStringList titles;
        for (int i = 0; i < portal.workspace.count(); ++i) {
            if (portal.workspace.widget(i)->objectName() == QLatin1String("frmCrmGenerals"))
                titles << portal.workspace.widget(i)->windowTitle();
        }
        return titles;
    };
    window->grid()->setRow(2);
    window->Operating(QStringLiteral("General"));
    QCOMPARE(generalPages().size(), 1);
    QVERIFY2(generalPages().at(0).contains(codeAt(window, 2)), qPrintable(generalPages().at(0)));
    // The next contact replaces the last: one general-work page at a time.
    window->grid()->setRow(3);
    window->Operating(QStringLiteral("General"));
    QCOMPARE(generalPages().size(), 1);
    QVERIFY2(generalPages().at(0).contains(codeAt(window, 3)), qPrintable(generalPages().at(0)));
    QVERIFY(runningTasks().isEmpty());
}

QTEST_MAIN(tst_ListCommandsWindow)
#include "tst_listcommandswindow.moc"
