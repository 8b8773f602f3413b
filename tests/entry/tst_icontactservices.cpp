// IContact's small services: column questions through its events, the list's page statement,
// the published no-op services, and the login calls.

#include "support/TestDatabase.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/entry/IContact.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"

#include <QTest>

using namespace perikon;
using perikon::testing::TestDatabase;

namespace {

// A portal business object that hands out its login.
class Business : public QObject
{
    Q_OBJECT
public:
    QObject *login = nullptr;
    Q_INVOKABLE QObject *GetVBclsLogin() { return login; }
};

} // namespace

class tst_IContactServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { suite::registerServices(); }

    void init()
    {
        m_db = std::make_unique<TestDatabase>(30);
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        gClsCommon = std::make_shared<IClsCommon>();
        QString cnn = m_db->connectionString();
        gClsCommon->Init(cnn);
        gLoggedIn = false;
        gBusiness = nullptr;
    }

    void cleanup()
    {
        gClsCommon.reset();
        gLogin = nullptr;
        m_db.reset();
    }

    void columnQuestionsWithoutListenersAnswerNothing()
    {
        IContact contact;
        QCOMPARE(contact.getColInfo(QStringLiteral("Crm_Contact"), 1), QString());
        QCOMPARE(contact.getColSet(QStringLiteral("Crm_Contact")), nullptr);
    }

    void columnQuestionsAreAnsweredByListeners()
    {
        IContact contact;
        db::Recordset answer;
        connect(&contact, &IContact::EventGetColInfo, this,
                [](const QString &key, quint8 mode, QString &xml) {
                    xml = QStringLiteral("<ColSet cFld='cContactName' key='%1' mode='%2'/>")
                              .arg(key)
                              .arg(mode);
                });
        connect(&contact, &IContact::EventGetColSet, this,
                [&answer](const QString &, quint8, QObject *&rs) { rs = &answer; });
        QCOMPARE(contact.getColInfo(QStringLiteral("Crm_Contact"), 1),
                 QStringLiteral("<ColSet cFld='cContactName' key='Crm_Contact' mode='1'/>"));
        QCOMPARE(contact.getColSet(QStringLiteral("Crm_Contact"), 0), &answer);
    }

    void openPageReturnsEveryRowWhateverThePage()
    {
        IContact contact;
        int pageSize = 20;
        int page = 3;
        int pages = 0;
        db::Recordset *raw = nullptr;
        contact.OpenPage(QStringLiteral("select cContactCode from Crm_Contact"), pageSize, page,
                         pages, raw);
        std::unique_ptr<db::Recordset> rs(raw);
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 30);
        QCOMPARE(pageSize, 20);
        QCOMPARE(page, 3);
        QCOMPARE(pages, 0);
    }

    void publishedNoOpServicesChangeNothing()
    {
        IContact contact;
        std::unique_ptr<db::Recordset> before(
            gClsCommon->OpenX(QStringLiteral("select count(*) from Customer")));
        QVERIFY(before);
        std::unique_ptr<db::Recordset> first(
            gClsCommon->OpenX(QStringLiteral("select cCusCode from Customer")));
        const QString code = first->value(0).toString();
        QVERIFY(!contact.DelCustomer(code));
        QVariant id = code;
        QString idName = QStringLiteral("cCusCode");
        QString table = QStringLiteral("Customer");
        QVERIFY(!contact.CheckRefed(id, idName, table, gClsCommon.get()));
        std::unique_ptr<db::Recordset> after(
            gClsCommon->OpenX(QStringLiteral("select count(*) from Customer")));
        QCOMPARE(after->value(0).toInt(), before->value(0).toInt());
    }

    void loginAndLogOff()
    {
        IContact contact;
        suite::SuiteLogin login;
        QVERIFY(!contact.Login(nullptr));
        QVERIFY(contact.Login(&login));
        QVERIFY(contact.LogOff());
    }

    void portalLoginTakesTheBusinessLogin()
    {
        IContact contact;
        QVERIFY(contact.ILoginable_LogOff()); // nothing to log off yet
        QVERIFY(!contact.ILoginable_Login()); // no business object, not logged in

        Business business;
        suite::SuiteLogin login;
        business.login = &login;
        contact.setBusiness(&business);
        QCOMPARE(contact.Business(), &business);
        QVERIFY(contact.ILoginable_Login());
        QCOMPARE(gLogin.data(), &login);
        QVERIFY(gLoggedIn);
        QVERIFY(contact.ILoginable_LogOff());
        QVERIFY(!gLoggedIn);

        business.login = nullptr;
        QVERIFY(!contact.ILoginable_Login());
        QVERIFY(!gLoggedIn);
        gBusiness = nullptr;
    }

    void sessionOwnerReleasesTheSessionAtItsEnd()
    {
        Business business;
        suite::SuiteLogin login;
        business.login = &login;
        gListColInfoXml = QStringLiteral("<cols/>");
        {
            // Instances made for one save leave the session alone.
            IContact helper;
        }
        QVERIFY(gClsCommon);
        {
            IContact owner;
            owner.setBusiness(&business);
            QVERIFY(owner.ILoginable_Login());
        }
        QVERIFY(!gClsCommon);
        QVERIFY(!gLogin);
        QVERIFY(gListColInfoXml.isEmpty());
        gBusiness = nullptr;
        gLoggedIn = false;
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_MAIN(tst_IContactServices)
#include "tst_icontactservices.moc"
