// The SMS window as a clerk uses it: what the fields let through (typed or pasted), the numbers
// the lookup and the pick button add, the checks before sending, and what the gateway receives.
// The list opens it on its current contact. Runs the real client library against a local
// gateway over a real account database.

#include "perikon/entry/IContact.h"
#include "perikon/list/ListWindows.h"
#include "perikon/list/frmContactList.h"
#include "perikon/messaging/SmsTyping.h"
#include "perikon/messaging/frmSendSMS.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/RefEdit.h"
#include "support/FailOnWarnings.h"
#include "support/RefDialogDriver.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"
#include "support/TestSmsGateway.h"
#include "support/TypeText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace perikon;
using testing::TestSmsGateway;

namespace {

constexpr int kContacts = 8;
const QString kSent = QStringLiteral("短信发送成功。");
const QString kFailed = QStringLiteral("短信发送失败！");
const QString kNoText = QStringLiteral("短信内容为空，未发送。");
const QString kSignature = QStringLiteral("——发送人：");

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class tst_SendSmsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rules_data();
    void rules();
    void typedAndPastedTextIsFiltered_data();
    void typedAndPastedTextIsFiltered();
    void loadFillsTheOperatorAsSender();
    void everyChangeOfTheRecipientsIsKept();
    void lookupAppendsTheChosenContactsOnce();
    void lookupOffersOnlyContactsTheOperatorMayWrite();
    void pickButtonAppendsOneContact();
    void checksBeforeSending_data();
    void checksBeforeSending();
    void gatewayReceivesTextAndSignature_data();
    void gatewayReceivesTextAndSignature();
    void closingTellsTheUiHelper();
    void listOpensTheWindowOnTheCurrentContact();

private:
    bool openSession(const QString &user, bool admin);
    frmSendSMS *newWindow();
    QString codeAt(int index) const { return m_codes.at(index); }

    SuiteFixture m_db;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<IContact> m_contact;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<testing::ShellPortal> m_portal;
    std::unique_ptr<frmSendSMS> m_window;
    QStringList m_codes;
};

void tst_SendSmsWindow::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_SendSmsWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(kContacts);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    qputenv("PERIKON_SMS_CLIENT", PERIKON_SMS_CLIENT_FILE);
    qputenv("PERIKON_LOG_DIR", QFile::encodeName(m_folder->path()));
    qputenv("PERIKON_TRACE_FILE", QFile::encodeName(m_folder->filePath("trace.log")));

    // Each contact gets a number of its own; the operator's person is P1, who is responsible
    // for the first half.
    m_codes
        = m_db.column(QStringLiteral("select cContactCode from Crm_Contact order by cContactCode"));
    QCOMPARE(m_codes.size(), kContacts);
    for (int i = 0; i < kContacts; ++i)
        m_db.exec(QStringLiteral("update Crm_Contact set cMobilePhone=N'1390000000%1', "
                                 "cPrincipal=N'%2' where cContactCode=N'%3'")
                      .arg(i)
                      .arg(i < kContacts / 2 ? QStringLiteral("P1") : QStringLiteral("P2"))
                      .arg(codeAt(i)));
    m_db.exec(QStringLiteral("delete from Person where cPersonCode in (N'P1', N'P2')"));
    m_db.exec(QStringLiteral("insert into Person (cPersonCode, cPersonName) values "
                             "(N'P1', N'Li'), (N'P2', N'Wang')"));
    m_contact = std::make_unique<IContact>();
    m_portal = std::make_unique<testing::ShellPortal>();
    suite::MessageBoxScript::takeShownMessages();
}

void tst_SendSmsWindow::cleanup()
{
    m_window.reset();
    if (gListForm)
        delete gListForm.data();
    m_portal.reset();
    m_contact.reset();
    m_login.reset();
    gFunctionTask.reset();
    for (const char *name :
         {"PERIKON_SMS_CLIENT", "PERIKON_LOG_DIR", "PERIKON_TRACE_FILE", "PERIKON_SMS_CONFIG"})
        qunsetenv(name);
    m_folder.reset();
    suite::MessageBoxScript::takeShownMessages();
}

// The list opened by `user` (employee P1) sets up the session the window works in.
bool tst_SendSmsWindow::openSession(const QString &user, bool admin)
{
    m_login = testing::operatorLogin(m_db, user, admin, QStringLiteral("zh-CN"));
    m_login->cEmployeeId = QStringLiteral("P1");
    if (!testing::showContactList(*m_contact, m_login.get(), *m_portal))
        return false;
    suite::MessageBoxScript::takeShownMessages();
    return true;
}

frmSendSMS *tst_SendSmsWindow::newWindow()
{
    m_window = std::make_unique<frmSendSMS>();
    m_window->show();
    return m_window.get();
}

void tst_SendSmsWindow::rules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("kept");
    enum { Recipients, Message, Sender };
    QTest::newRow("digits, semicolons and blanks stay") << int(Recipients) << "138 0000;139"
                                                        << "138 0000;139";
    QTest::newRow("letters and signs go") << int(Recipients) << "a13-8,0+0x"
                                          << "13800";
    QTest::newRow("other scripts' digits go") << int(Recipients) << "١٣٨13"
                                              << "13";
    QTest::newRow("newlines go from the text") << int(Message) << "a\r\nb\nc\r"
                                               << "abc";
    QTest::newRow("the text keeps the rest") << int(Message) << "50% & <ok>?"
                                             << "50% & <ok>?";
    QTest::newRow("sender drops the eleven") << int(Sender) << "%*_|&\";'<>?Li Ming"
                                             << "Li Ming";
    QTest::newRow("sender keeps CJK") << int(Sender) << "李明-销售"
                                      << "李明-销售";
}

void tst_SendSmsWindow::rules()
{
    QFETCH(int, rule);
    QFETCH(QString, input);
    QFETCH(QString, kept);
    const QString result = rule == 0   ? messaging::recipientsTyped(input)
                           : rule == 1 ? messaging::messageTyped(input)
                                       : messaging::senderTyped(input);
    QCOMPARE(result, kept);
}

void tst_SendSmsWindow::typedAndPastedTextIsFiltered_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    for (const bool paste : {false, true}) {
        const char *how = paste ? "pasted" : "typed";
        QTest::addRow("recipients %s", how) << "txtMobilePhone" << paste << "138a0000;b139 0"
                                            << "1380000;139 0";
        QTest::addRow("sender %s", how) << "txtSender" << paste << "Li<'Ming'>?"
                                        << "LiMing";
        QTest::addRow("text %s", how) << "txtOpinion" << paste << "Hello\nagain"
                                      << "Helloagain";
    }
}

void tst_SendSmsWindow::typedAndPastedTextIsFiltered()
{
    QFETCH(QString, field);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    QWidget *edit = window->findChild<QWidget *>(field);
    QVERIFY(edit);
    if (auto *line = qobject_cast<QLineEdit *>(edit))
        line->clear();
    edit->setFocus();
    if (paste) {
        QApplication::clipboard()->setText(input);
        QTest::keySequence(edit, QKeySequence::Paste);
    } else {
        for (const QChar c : input) {
            if (c == u'\n')
                QTest::keyClick(edit, Qt::Key_Return);
            else
                QTest::keyClicks(edit, QString(c));
        }
    }
    const QString text = qobject_cast<QLineEdit *>(edit)
                             ? qobject_cast<QLineEdit *>(edit)->text()
                             : qobject_cast<QPlainTextEdit *>(edit)->toPlainText();
    QCOMPARE(text, shown);
}

void tst_SendSmsWindow::loadFillsTheOperatorAsSender()
{
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("发送短信"));
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("txtSender"))->text(),
             QStringLiteral("Li"));
    QVERIFY(!window->findChild<QToolButton *>(QStringLiteral("Cmd"))->icon().isNull());

    // An employee without a person record: no sender, and nothing breaks.
    m_login->cEmployeeId = QStringLiteral("N'o");
    QCOMPARE(newWindow()->findChild<QLineEdit *>(QStringLiteral("txtSender"))->text(), QString());
}

void tst_SendSmsWindow::everyChangeOfTheRecipientsIsKept()
{
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    auto *mobile = window->findChild<QLineEdit *>(QStringLiteral("txtMobilePhone"));
    mobile->setText(QStringLiteral("  13800000000 "));
    QCOMPARE(window->recipients(), QStringLiteral("13800000000"));
    mobile->setFocus();
    QTest::keyClicks(mobile, QStringLiteral(";139"));
    QCOMPARE(window->recipients(), QStringLiteral("13800000000 ;139"));
    // A number preset from the database loses what the box does not take.
    mobile->setText(QStringLiteral("(010) 6000-1234"));
    QCOMPARE(window->recipients(), QStringLiteral("010 60001234"));
}

void tst_SendSmsWindow::lookupAppendsTheChosenContactsOnce()
{
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    auto *mobile = window->findChild<controls::RefEdit *>(QStringLiteral("txtMobilePhone"));
    // A number that is the start of contact 1's number must not hide it.
    mobile->setText(QStringLiteral("13900000001;1390000000"));

    testing::Visit visit;
    testing::answerLookup(visit, {}, {}, {codeAt(1), codeAt(2)});
    QVERIFY(mobile->openReference());
    QVERIFY(visit.seen);
    QCOMPARE(visit.offered.size(), kContacts);
    QCOMPARE(mobile->text(), QStringLiteral("13900000001;1390000000;13900000002"));

    // The same contact again changes nothing.
    testing::answerLookup(visit, {}, {}, {codeAt(2)});
    QVERIFY(mobile->openReference());
    QCOMPARE(mobile->text(), QStringLiteral("13900000001;1390000000;13900000002"));
    QCOMPARE(window->recipients(), mobile->text());

    // A contact without a number adds nothing.
    m_db.exec(QStringLiteral("update Crm_Contact set cMobilePhone=N'  ' where cContactCode=N'%1'")
                  .arg(codeAt(5)));
    testing::answerLookup(visit, {}, {}, {codeAt(5)});
    QVERIFY(mobile->openReference());
    QCOMPARE(mobile->text(), QStringLiteral("13900000001;1390000000;13900000002"));
}

void tst_SendSmsWindow::lookupOffersOnlyContactsTheOperatorMayWrite()
{
    // The clerk writes the contacts P1 is responsible for; reading he may do all of them.
    m_db.exec(QStringLiteral(
        "insert into qz_UserFunction (cUser_Id, cFuncId) values (N'clerk', N'CS020202')"));
    m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) values "
                             "(N'clerk', N'person', N'W', N'P1'), "
                             "(N'clerk', N'person', N'R', N'P1'), "
                             "(N'clerk', N'person', N'R', N'P2')"));
    QVERIFY(openSession(QStringLiteral("clerk"), false));
    frmSendSMS *window = newWindow();
    auto *mobile = window->findChild<controls::RefEdit *>(QStringLiteral("txtMobilePhone"));
    testing::Visit visit;
    testing::answerLookup(visit, {}, {}, {});
    mobile->openReference();
    QVERIFY(visit.seen);
    QCOMPARE(visit.offered, m_codes.mid(0, kContacts / 2));
}

void tst_SendSmsWindow::pickButtonAppendsOneContact()
{
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    auto *mobile = window->findChild<QLineEdit *>(QStringLiteral("txtMobilePhone"));
    mobile->setText(QStringLiteral("13900000003"));
    testing::Visit visit;
    testing::answerLookup(visit, codeAt(4));
    QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("Cmd")), Qt::LeftButton);
    QVERIFY(visit.seen);
    QCOMPARE(mobile->text(), QStringLiteral("13900000003;13900000004"));
    // Picking a number already there leaves it once, however the contact's number is written.
    m_db.exec(QStringLiteral("update Crm_Contact set cMobilePhone=N'139-0000-0003' where "
                             "cContactCode=N'%1'")
                  .arg(codeAt(3)));
    testing::answerLookup(visit, codeAt(3));
    QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("Cmd")), Qt::LeftButton);
    QCOMPARE(mobile->text(), QStringLiteral("13900000003;13900000004"));
    // Cancelled: nothing changes.
    testing::answerLookup(visit, QStringLiteral("no such contact"));
    QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("Cmd")), Qt::LeftButton);
    QCOMPARE(mobile->text(), QStringLiteral("13900000003;13900000004"));
}

void tst_SendSmsWindow::checksBeforeSending_data()
{
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("requests");
    QTest::newRow("no recipients") << "   "
                                   << "hello"
                                   << "请输入接收短信的手机号码！"
                                   << "txtMobilePhone" << 0;
    QTest::newRow("no text") << "13900000001"
                             << ""
                             << "请输入短信内容！"
                             << "txtOpinion" << 0;
    // Blanks pass the window's check; the sending finds the text empty and calls nobody, though
    // the operator has a name to sign with.
    QTest::newRow("blank text") << "13900000001"
                                << "   " << kNoText << "" << 0;
}

void tst_SendSmsWindow::checksBeforeSending()
{
    QFETCH(QString, recipients);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(int, requests);
    TestSmsGateway gateway;
    qputenv("PERIKON_SMS_CONFIG", ("gateway=http;url=" + gateway.url()).toUtf8());
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    QApplication::setActiveWindow(window);
    window->findChild<QLineEdit *>(QStringLiteral("txtMobilePhone"))->setText(recipients);
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtOpinion"))->setPlainText(text);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdSend")), Qt::LeftButton);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList{message});
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(gateway.requests().size(), requests);
}

void tst_SendSmsWindow::gatewayReceivesTextAndSignature_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("sentText");
    QTest::addColumn<QString>("report");
    QTest::newRow("signed") << 200 << " Li "
                            << "明天 10 点开会" + kSignature + "Li" << kSent;
    QTest::newRow("no sender, no signature") << 200 << "  "
                                             << "明天 10 点开会" << kSent;
    QTest::newRow("gateway fails") << 500 << "Li"
                                   << "明天 10 点开会" + kSignature + "Li" << kFailed;
}

void tst_SendSmsWindow::gatewayReceivesTextAndSignature()
{
    QFETCH(int, status);
    QFETCH(QString, sender);
    QFETCH(QString, sentText);
    QFETCH(QString, report);
    TestSmsGateway gateway;
    gateway.setAnswer({status, status == 200 ? R"({"ok":true})" : "down", 0, false});
    qputenv("PERIKON_SMS_CONFIG", ("gateway=http;format=json;url=" + gateway.url()).toUtf8());
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    window->findChild<QLineEdit *>(QStringLiteral("txtMobilePhone"))
        ->setText(QStringLiteral("13900000001; 13900000002"));
    window->findChild<QLineEdit *>(QStringLiteral("txtSender"))->setText(sender);
    window->findChild<QPlainTextEdit *>(QStringLiteral("txtOpinion"))
        ->setPlainText(QStringLiteral(" 明天 10 点开会 "));
    auto *send = window->findChild<QPushButton *>(QStringLiteral("cmdSend"));
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList{report});
    QVERIFY(send->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    const QList<TestSmsGateway::Request> requests = gateway.requests();
    QCOMPARE(requests.size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(requests.first().body).object();
    QCOMPARE(body.value("text").toString(), sentText);
    QCOMPARE(body.value("to").toArray(),
             QJsonArray({QStringLiteral("13900000001"), QStringLiteral("13900000002")}));
}

void tst_SendSmsWindow::closingTellsTheUiHelper()
{
    QVERIFY(openSession(QStringLiteral("admin"), true));
    frmSendSMS *window = newWindow();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    const QString trace = readFile(m_folder->filePath(QStringLiteral("trace.log")));
    QVERIFY2(
        trace.contains(QStringLiteral("FormUnload\tfrmSendSMS\tK2.CRM.QZContactUI.frmSendSMS")),
        qPrintable(trace));
    QCOMPARE(window->property("FormLanguageKey"), QVariant());
}

void tst_SendSmsWindow::listOpensTheWindowOnTheCurrentContact()
{
    QVERIFY(openSession(QStringLiteral("admin"), true));
    auto *list = qobject_cast<frmContactList *>(gListForm);
    controls::HostGrid *grid = list->grid();
    const int codeColumn = int(grid->headerTexts().indexOf(QStringLiteral("联系人编码")));
    QVERIFY(codeColumn > 0);
    int row = 1;
    while (row < grid->Rows() && grid->TextMatrix(row, codeColumn) != codeAt(6))
        ++row;
    QVERIFY(row < grid->Rows());
    grid->setRow(row);

    QString shown;
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        auto *window = qobject_cast<frmSendSMS *>(QApplication::activeModalWidget());
        opened = window != nullptr;
        if (!window)
            return;
        shown = window->findChild<QLineEdit *>(QStringLiteral("txtMobilePhone"))->text();
        window->close();
    });
    list->findChild<QAction *>(QStringLiteral("mCRMSendMsg"))->trigger();
    QVERIFY(opened);
    QCOMPARE(shown, QStringLiteral("13900000006"));
    // The lock of the command is released when the window goes.
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock where iLock=3")), 0);
}

QTEST_MAIN(tst_SendSmsWindow)
#include "tst_sendsmswindow.moc"
