// The list's e-mail command with the component's own mail lookup behind it: the marked contacts
// or the whole result reach the mail tool, and nothing marked sends nothing. The desktop's
// launcher is a stub that only records the link.

#include "perikon/data/db/SqlLiteral.h"
#include "perikon/entry/IContact.h"
#include "perikon/list/ListWindows.h"
#include "perikon/list/frmContactList.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/NumericEdit.h"
#include "support/FailOnWarnings.h"
#include "support/MailLauncherStub.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;
using testing::MailLauncherStub;

namespace {

constexpr int kContacts = 12;

QString addressOf(const QString &code)
{
    QString local = code;
    local.remove(u'\'');
    return local.toLower() + QStringLiteral("@example.com");
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class tst_ListMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void markedContactsAreMailed();
    void nothingMarkedMailsNobody();
    void selectAllMailsTheWholeResult();

private:
    frmContactList *showList();
    int rowOf(const QString &code);
    void sendMail();

    SuiteFixture m_db;
    std::unique_ptr<IContact> m_ownedContact;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<testing::ShellPortal> m_portal;
    std::unique_ptr<QTemporaryDir> m_logs;
    frmContactList *m_window = nullptr;
    QString m_customerAddress;
};

void tst_ListMail::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_ListMail::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(kContacts);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_logs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_logs->isValid());
    qputenv("PERIKON_LOG_DIR", QFile::encodeName(m_logs->path()));

    // One contact's code carries a quote; every contact has an address of its own but the first,
    // which falls back to its customer's.
    const QStringList codes
        = m_db.column(QStringLiteral("select cContactCode from Crm_Contact order by cContactCode"));
    QCOMPARE(codes.size(), kContacts);
    m_db.exec(QStringLiteral("update Crm_Contact set cContactCode=N'O''Neil' where cContactCode=%1")
                  .arg(db::sqlNQuoted(codes.last())));
    for (const QString &code : codes.mid(1, kContacts - 2) + QStringList{"O'Neil"})
        m_db.exec(QStringLiteral("update Crm_Contact set cEmail=%1 where cContactCode=%2")
                      .arg(db::sqlNQuoted(addressOf(code)), db::sqlNQuoted(code)));
    m_db.exec(QStringLiteral("update Crm_Contact set cEmail=NULL where cContactCode=%1")
                  .arg(db::sqlNQuoted(codes.first())));
    const QString customer
        = m_db.column(QStringLiteral("select cCusCode from Crm_Contact where cContactCode=%1")
                          .arg(db::sqlNQuoted(codes.first())))
              .value(0);
    QVERIFY(!customer.isEmpty());
    m_customerAddress = QStringLiteral("first.customer@example.com");
    m_db.exec(QStringLiteral("update Customer set cCusEmail=%1 where cCusCode=%2")
                  .arg(db::sqlNQuoted(m_customerAddress), db::sqlNQuoted(customer)));

    m_ownedContact = std::make_unique<IContact>();
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), true);
    m_portal = std::make_unique<testing::ShellPortal>();
    suite::MessageBoxScript::takeShownMessages();
}

void tst_ListMail::cleanup()
{
    if (gListForm)
        delete gListForm.data();
    m_window = nullptr;
    m_portal.reset();
    m_ownedContact.reset();
    m_login.reset();
    gFunctionTask.reset();
    qunsetenv("PERIKON_LOG_DIR");
    m_logs.reset();
    suite::MessageBoxScript::takeShownMessages();
}

frmContactList *tst_ListMail::showList()
{
    m_window = testing::showContactList(*m_ownedContact, m_login.get(), *m_portal);
    suite::MessageBoxScript::takeShownMessages();
    return m_window;
}

int tst_ListMail::rowOf(const QString &code)
{
    controls::HostGrid *grid = m_window->grid();
    const int column = int(grid->headerTexts().indexOf(QStringLiteral("Contact Code")));
    for (int row = 1; row < grid->Rows(); ++row) {
        if (grid->TextMatrix(row, column) == code)
            return row;
    }
    return -1;
}

void tst_ListMail::sendMail()
{
    auto *item = m_window->findChild<QAction *>(QStringLiteral("mCRMSendMail"));
    QVERIFY(item);
    item->trigger();
}

void tst_ListMail::markedContactsAreMailed()
{
    MailLauncherStub launcher;
    QVERIFY(launcher.isValid());
    QVERIFY(showList());
    QVERIFY(m_window->findChild<controls::HostToolbar *>(QStringLiteral("TLB2"))
                ->isButtonVisible(QStringLiteral("SendMail")));
    const QStringList codes
        = m_db.column(QStringLiteral("select cContactCode from Crm_Contact order by cContactCode"));
    // The first contact (no own address), one in the middle, and the one with a quote.
    const QStringList marked{codes.first(), codes.at(3), QStringLiteral("O'Neil")};
    for (const QString &code : marked) {
        const int row = rowOf(code);
        QVERIFY2(row > 0, qPrintable(code));
        m_window->grid()->setTextMatrix(row, 1, QStringLiteral("√ "));
    }
    m_window->grid()->setRow(rowOf(marked.first()));
    sendMail();
    const QStringList traced = launcher.traced();
    QCOMPARE(traced.size(), 1);
    // The contacts' own addresses first, the customer's last.
    QVERIFY2(traced.first().endsWith(u';' + m_customerAddress), qPrintable(traced.first()));
    QCOMPARE(
        sorted(traced.first().split(u';')),
        sorted({addressOf(codes.at(3)), addressOf(QStringLiteral("O'Neil")), m_customerAddress}));
    QVERIFY(launcher.waitForOpened(1));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_FunctionLock where iLock=3")), 0);
    QCOMPARE(m_db.column(QStringLiteral("select cFuncId from qz_FunctionTask")), QStringList());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_ListMail::nothingMarkedMailsNobody()
{
    MailLauncherStub launcher;
    QVERIFY(showList());
    m_window->grid()->setRow(1);
    sendMail();
    QCOMPARE(launcher.traced(), QStringList());
    // The command failed: it is in the window's error log, and the common finish did not run.
    QFile log(m_logs->filePath(QStringLiteral("error.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).contains(QLatin1String("frmContactList.Operating()")));
    QCOMPARE(m_db.column(QStringLiteral("select cFuncId from qz_FunctionTask")),
             QStringList{"CS020203"});
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_ListMail::selectAllMailsTheWholeResult()
{
    MailLauncherStub launcher;
    QVERIFY(showList());
    auto *pageSize = m_window->findChild<controls::NumericEdit *>(QStringLiteral("EdtPageSize"));
    QVERIFY(pageSize);
    pageSize->setText(QStringLiteral("5"));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("CmdRequest")),
                      Qt::LeftButton);
    QVERIFY(m_window->grid()->Rows() - 1 < kContacts);
    m_window->findChild<QCheckBox *>(QStringLiteral("chkSelectAll"))->click();
    sendMail();
    const QStringList traced = launcher.traced();
    QCOMPARE(traced.size(), 1);
    QCOMPARE(traced.first().split(u';').size(), kContacts);
    QVERIFY(traced.first().contains(addressOf(QStringLiteral("O'Neil"))));
    QVERIFY(launcher.waitForOpened(1));
}

QTEST_MAIN(tst_ListMail)
#include "tst_listmail.moc"
