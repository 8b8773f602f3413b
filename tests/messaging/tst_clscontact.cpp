// E-mail to contacts: which addresses reach the mail tool for a code list (own addresses,
// customers' addresses, complements), what is logged when the codes are wrong, and what the
// operator is told when no mail program can start.

#include "perikon/data/db/SqlLiteral.h"
#include "perikon/messaging/clsContact.h"
#include "perikon/session/ClassRegistry.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "support/MailLauncherStub.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace perikon;
using testing::MailLauncherStub;

namespace {

QString quotedList(const QStringList &codes)
{
    QStringList quoted;
    for (const QString &code : codes)
        quoted.append(db::sqlNQuoted(code));
    return quoted.join(u',');
}

QString text(const char *key)
{
    return suite::ResourceTexts::text(QStringLiteral("en-US"), QString::fromLatin1(key));
}

} // namespace

class tst_ClsContact : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addressLineForContacts_data();
    void addressLineForContacts();
    void customerAddressesAreTrimmedAndMerged();
    void wrongCodesAreLoggedAndOpenNothing_data();
    void wrongCodesAreLoggedAndOpenNothing();
    void noMailProgramTellsTheOperatorTwice();
    void mailToolAnswersWhetherAProgramStarted();
    void publishedByName();

private:
    QStringList loggedProcedures();

    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<QTemporaryDir> m_logs;
};

void tst_ClsContact::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_ClsContact::init()
{
    const QString error = m_db.create(0);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_logs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_logs->isValid());
    qputenv("PERIKON_LOG_DIR", QFile::encodeName(m_logs->path()));

    // Customers: two with the same address, one padded, one without, one with a quote in its code.
    const char *customers[][3] = {
        {"T1", "c1@example.com", "9001"},
        {"T2", "c1@example.com", "9002"},
        {"T3", nullptr, "9003"},
        {"T4", "", "9004"},
        {"T5", "  c5@example.com ", "9005"},
        {"D'Arcy", "darcy@example.com", "9006"},
    };
    for (const auto &c : customers) {
        m_db.exec(
            QStringLiteral("insert into Customer (cCusCode, iId, cCusName, cCusEmail) "
                           "values (%1, %2, N'name', %3)")
                .arg(db::sqlNQuoted(QString::fromUtf8(c[0])), QString::fromLatin1(c[2]),
                     c[1] ? db::sqlNQuoted(QString::fromUtf8(c[1])) : QStringLiteral("NULL")));
    }
    // Contacts, inserted in code order.
    const char *contacts[][3] = {
        {"K1", " k1@example.com ", "T1"},
        {"K2", nullptr, "T1"},
        {"K3", "", "T2"},
        {"K4", nullptr, "T3"},
        {"K5", "k1@example.com", "T3"},
        {"K6", nullptr, nullptr},
        {"K7", nullptr, "D'Arcy"},
        {"O'Neil", "oneil@example.com", "T4"},
    };
    for (const auto &c : contacts) {
        const auto value = [](const char *v) {
            return v ? db::sqlNQuoted(QString::fromUtf8(v)) : QStringLiteral("NULL");
        };
        m_db.exec(QStringLiteral("insert into Crm_Contact (cContactCode, cContactName, cEmail, "
                                 "cCusCode) values (%1, N'name', %2, %3)")
                      .arg(value(c[0]), value(c[1]), value(c[2])));
    }
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), true);
    gLogin = m_login.get();
    suite::MessageBoxScript::takeShownMessages();
}

void tst_ClsContact::cleanup()
{
    gLogin = nullptr;
    m_login.reset();
    qunsetenv("PERIKON_LOG_DIR");
    m_logs.reset();
    suite::MessageBoxScript::takeShownMessages();
}

QStringList tst_ClsContact::loggedProcedures()
{
    QFile log(m_logs->filePath(QStringLiteral("SrvTransLog.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList procedures;
    QString module;
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Procedure comes before Module in each entry.
        if (lines[i].startsWith(QLatin1String("Procedure:")) && i + 1 < lines.size())
            procedures.append(lines[i + 1].mid(7) + u'.' + lines[i].mid(10));
    }
    return procedures;
}

void tst_ClsContact::addressLineForContacts_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("complementCustomers");
    QTest::addColumn<QString>("complementEmail");
    QTest::addColumn<QString>("line");

    const QStringList none;
    QTest::newRow("own address, then the customer's of a contact without one")
        << QStringList{"K1", "K2"} << none << ""
        << "k1@example.com;c1@example.com";
    QTest::newRow("own addresses only, a code with a quote")
        << QStringList{"K1", "O'Neil"} << none << ""
        << "k1@example.com;oneil@example.com";
    QTest::newRow("an empty own address falls back to the customer")
        << QStringList{"K3"} << none << ""
        << "c1@example.com";
    QTest::newRow("customers with the same address give it once")
        << QStringList{"K2", "K3"} << none << ""
        << "c1@example.com";
    QTest::newRow("the same own address twice stays twice") << QStringList{"K1", "K5"} << none << ""
                                                            << "k1@example.com;k1@example.com";
    QTest::newRow("nobody has an address: just the complement")
        << QStringList{"K4", "K6"} << none << "extra@example.com"
        << "extra@example.com";
    QTest::newRow("complement address after the contacts'")
        << QStringList{"K1"} << none << "extra@example.com"
        << "k1@example.com;extra@example.com";
    QTest::newRow("complement customer, trimmed") << QStringList{"K1"} << QStringList{"T5"} << ""
                                                  << "k1@example.com;c5@example.com";
    QTest::newRow("complement customer without contacts")
        << QStringList() << QStringList{"T5"} << ""
        << "c5@example.com";
    QTest::newRow("customer code with a quote") << QStringList{"K7"} << none << ""
                                                << "darcy@example.com";
    QTest::newRow("nothing at all still opens, unaddressed") << QStringList() << none << ""
                                                             << "";
}

void tst_ClsContact::addressLineForContacts()
{
    QFETCH(QStringList, codes);
    QFETCH(QStringList, complementCustomers);
    QFETCH(QString, complementEmail);
    QFETCH(QString, line);

    MailLauncherStub launcher;
    QVERIFY(launcher.isValid());
    clsContact contact;
    QString sContactCode = quotedList(codes);
    QString sComplCustCode = quotedList(complementCustomers);
    QString sComplEmail = complementEmail;
    QCOMPARE(contact.GetContact(sContactCode, m_login.get(), sComplCustCode, sComplEmail),
             QVariant());
    QCOMPARE(launcher.traced(), QStringList{line});
    QVERIFY(launcher.waitForOpened(1));
    QCOMPARE(launcher.opened().size(), 1);
    QVERIFY(launcher.opened().constFirst().startsWith(QLatin1String("mailto:")));
    QCOMPARE(loggedProcedures(), QStringList());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_ClsContact::customerAddressesAreTrimmedAndMerged()
{
    clsContact contact;
    QString codes = quotedList({"T1", "T2", "T3", "T4", "T5"});
    QStringList addresses = contact.GetCustomerEmail(codes, m_login.get()).split(u';');
    addresses.sort();
    // No empty piece: no leading, trailing or doubled separator for the customers without one.
    QCOMPARE(addresses, (QStringList{"c1@example.com", "c5@example.com"}));

    QString nobody;
    QCOMPARE(contact.GetCustomerEmail(nobody, m_login.get()), QString());
    QString broken = QStringLiteral("N'T1");
    QCOMPARE(contact.GetCustomerEmail(broken, m_login.get()), QString());
    QCOMPARE(loggedProcedures(), QStringList{"clsContact.GetCustomerEmail"});
}

void tst_ClsContact::wrongCodesAreLoggedAndOpenNothing_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QString>("complementEmail");
    QTest::newRow("a code no contact has") << "N'NOBODY'"
                                           << "";
    QTest::newRow("unknown codes with a complement address") << "N'X',N'Y'"
                                                             << "extra@example.com";
    QTest::newRow("a list that is no SQL value list") << "N'K1"
                                                      << "";
}

void tst_ClsContact::wrongCodesAreLoggedAndOpenNothing()
{
    QFETCH(QString, codes);
    QFETCH(QString, complementEmail);
    MailLauncherStub launcher;
    clsContact contact;
    QString noCustomers;
    contact.GetContact(codes, m_login.get(), noCustomers, complementEmail);
    QCOMPARE(loggedProcedures(), QStringList{"clsContact.GetContact"});
    QCOMPARE(launcher.traced(), QStringList());
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_ClsContact::noMailProgramTellsTheOperatorTwice()
{
    MailLauncherStub nowhere(false);
    clsContact contact;
    QString codes = quotedList({"K1"});
    contact.GetContact(codes, m_login.get());
    QCOMPARE(nowhere.traced(), QStringList{"k1@example.com"});
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
             (QStringList{text("K2.CRM.COMMON.MailSenderNotExist"),
                          text("K2.CRM.COMMON.MailSendFail")}));
    QCOMPARE(loggedProcedures(), QStringList());
}

void tst_ClsContact::mailToolAnswersWhetherAProgramStarted()
{
    QString address = QStringLiteral("a@example.com");
    {
        MailLauncherStub nowhere(false);
        clsContact contact;
        QVERIFY(!contact.InvokeMailTool(address));
        QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
                 QStringList{text("K2.CRM.COMMON.MailSenderNotExist")});
    }
    MailLauncherStub launcher;
    clsContact contact;
    QVERIFY(contact.InvokeMailTool(address));
    QVERIFY(launcher.waitForOpened(1));
    QCOMPARE(launcher.opened(), QStringList{"mailto:a@example.com"});
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_ClsContact::publishedByName()
{
    std::unique_ptr<QObject> created(ClassRegistry::create(QStringLiteral("Perikon.clsContact")));
    QVERIFY(qobject_cast<clsContact *>(created.get()));
    MailLauncherStub launcher;
    // Other modules call it by name, with the arguments by reference.
    QString codes = quotedList({"K1"});
    QObject *login = m_login.get();
    QVERIFY(QMetaObject::invokeMethod(created.get(), "GetContact", Qt::DirectConnection,
                                      Q_ARG(QString &, codes), Q_ARG(QObject *, login)));
    QCOMPARE(launcher.traced(), QStringList{"k1@example.com"});
    QVERIFY(launcher.waitForOpened(1));
}

QTEST_MAIN(tst_ClsContact)
#include "tst_clscontact.moc"
