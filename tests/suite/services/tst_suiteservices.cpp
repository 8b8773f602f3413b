#include "support/SuiteFixture.h"

#include "perikon/data/db/Driver.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteColumnAuthService.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/SuiteSystemStartService.h"

#include "support/ColInfoReader.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTest>

#include <pugixml.hpp>

using namespace perikon;
using testing::ColSet;
using testing::fields;
using testing::findColumn;
using testing::parseColInfo;

class tst_SuiteServices : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void srvTimeIsTheServerClockToTheSecond();
    void srvTimeWithoutConnectionIsEmpty();

    void columnCaptionsFollowSessionLanguage_data();
    void columnCaptionsFollowSessionLanguage();
    void contactNameAndCustomerAreRequiredByDefault();
    void modeOneListsShownColumnsInOrderCodeFirst();
    void storedLayoutOverridesDefaultsForThatUserOnly();
    void serviceOnTheCallersConnectionSeesLayoutsStoredMeanwhile();
    void storedLayoutCannotDropRequiredColumns();
    void malformedLayoutIsRefusedAndKeepsTheStoredOne();

    void startedSubsystems_data();
    void startedSubsystems();

    void deniedColumns_data();
    void deniedColumns();

    void taskExec_data();
    void taskExec();

private:
    SuiteFixture m_db;
};

void tst_SuiteServices::init()
{
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void tst_SuiteServices::cleanup()
{
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
}

void tst_SuiteServices::srvTimeIsTheServerClockToTheSecond()
{
    DataAccessStub dataAccess(&m_db.connection());
    QObject *com = &dataAccess;
    suite::SuitePubService service;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const QString time = service.GetSrvTime(com);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                 .match(time)
                 .hasMatch(),
             qPrintable(time));
    const QDateTime parsed = QDateTime::fromString(time, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY(parsed >= before.addMSecs(-before.time().msec()) && parsed <= after);
    QCOMPARE(com, &dataAccess);
}

void tst_SuiteServices::srvTimeWithoutConnectionIsEmpty()
{
    suite::SuitePubService service;
    DataAccessStub unbound(nullptr);
    QObject *com = &unbound;
    QCOMPARE(service.GetSrvTime(com), QString());
    QObject *none = nullptr;
    QCOMPARE(service.GetSrvTime(none), QString());
}

void tst_SuiteServices::columnCaptionsFollowSessionLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("caption");
    QTest::newRow("zh name") << "zh-CN"
                             << "cContactName"
                             << "联系人名称";
    QTest::newRow("zh customer") << "zh-CN"
                                 << "cCusName"
                                 << "所属客户";
    QTest::newRow("en name") << "en-US"
                             << "cContactName"
                             << "Contact Name";
    QTest::newRow("en mobile") << "en-US"
                               << "cMobilePhone"
                               << "Mobile Phone";
}

void tst_SuiteServices::columnCaptionsFollowSessionLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, field);
    QFETCH(QString, caption);
    suite::setSessionLanguage(language);
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    QString key;
    const QList<ColSet> columns
        = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 0), &key);
    QCOMPARE(key, QStringLiteral("Crm_Contact"));
    const ColSet *column = findColumn(columns, field);
    QVERIFY(column);
    QCOMPARE(column->caption, caption);
    QCOMPARE(column->originalCaption, caption);
}

void tst_SuiteServices::contactNameAndCustomerAreRequiredByDefault()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QList<ColSet> columns
        = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 0));
    QStringList required;
    for (const ColSet &column : columns) {
        if (column.mustInput)
            required.append(column.field);
    }
    required.sort();
    QCOMPARE(required, (QStringList{QStringLiteral("cContactName"), QStringLiteral("cCusName")}));
}

void tst_SuiteServices::modeOneListsShownColumnsInOrderCodeFirst()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QList<ColSet> all = parseColInfo(service.getColInfo(QStringLiteral("crm_contact"), 0));
    const QList<ColSet> shown = parseColInfo(service.getColInfo(QStringLiteral("crm_contact"), 1));

    QCOMPARE(all.size(),
             int(m_db.count(QStringLiteral(
                 "select count(*) from QZMeta_001..aa_columndic where ckey=N'crm_contact'"))));
    QVERIFY(!shown.isEmpty());
    QVERIFY(shown.size() < all.size());
    QCOMPARE(shown.first().field, QStringLiteral("cContactCode"));
    for (int i = 0; i < shown.size(); ++i) {
        QVERIFY(shown.at(i).show);
        if (i > 0)
            QVERIFY(shown.at(i - 1).order < shown.at(i).order);
    }
    QVERIFY(!findColumn(shown, QStringLiteral("OID")));
    QVERIFY(!findColumn(shown, QStringLiteral("qzts")));
}

void tst_SuiteServices::storedLayoutOverridesDefaultsForThatUserOnly()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QString layout = QStringLiteral(
        "<ColInfo cKey='Crm_Contact'>"
        "<ColSet cFld='cMobilePhone' cCaption=\"O'Neil's phone\" bShow='true' iWidth='200' "
        "iOrder='1' bMustInput='true'/>"
        "<ColSet cFld='cContactName' cCaption='联系人名称' bShow='true' iWidth='90' iOrder='2' "
        "bMustInput='true'/>"
        "<ColSet cFld='cContactCode' bShow='false' iWidth='90' iOrder='3' bMustInput='false'/>"
        "</ColInfo>");
    QVERIFY2(service.SaveColInfo(QStringLiteral("Crm_Contact"), layout),
             qPrintable(service.lastError()));

    const QList<ColSet> shown = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1));
    QVERIFY(shown.size() >= 2);
    QCOMPARE(shown.at(0).field, QStringLiteral("cMobilePhone"));
    QCOMPARE(shown.at(0).caption, QStringLiteral("O'Neil's phone"));
    QCOMPARE(shown.at(0).originalCaption, QStringLiteral("手机"));
    QCOMPARE(shown.at(0).width, 200);
    QVERIFY(shown.at(0).mustInput);
    QCOMPARE(shown.at(1).field, QStringLiteral("cContactName"));
    // Hidden in the layout, the code still shows, after the operator's other columns.
    QCOMPARE(shown.at(2).field, QStringLiteral("cContactCode"));

    // A caption left as the dictionary's is not pinned: it follows the language.
    suite::setSessionLanguage(QStringLiteral("en-US"));
    const QList<ColSet> english
        = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1));
    QCOMPARE(findColumn(english, QStringLiteral("cContactName"))->caption,
             QStringLiteral("Contact Name"));
    suite::setSessionLanguage(QStringLiteral("zh-CN"));

    suite::SuiteColumnSetService other;
    QVERIFY(other.Init(m_db.connectionString(), QStringLiteral("u2")));
    const QList<ColSet> otherShown
        = parseColInfo(other.getColInfo(QStringLiteral("Crm_Contact"), 1));
    QCOMPARE(otherShown.first().field, QStringLiteral("cContactCode"));
    QCOMPARE(findColumn(otherShown, QStringLiteral("cMobilePhone"))->caption,
             QStringLiteral("手机"));
}

void tst_SuiteServices::serviceOnTheCallersConnectionSeesLayoutsStoredMeanwhile()
{
    const quint64 opened = db::Driver::connectionsOpened();
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connection(), QStringLiteral("u1")));
    auto requiredMobile = [&] {
        const QList<ColSet> all
            = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 0));
        const ColSet *mobile = findColumn(all, QStringLiteral("cMobilePhone"));
        return mobile && mobile->mustInput;
    };
    QVERIFY(!requiredMobile());
    QVERIFY(service.Init(m_db.connection(), QStringLiteral("u1")));
    QCOMPARE(db::Driver::connectionsOpened(), opened);

    // The layout window stores through a service of its own.
    suite::SuiteColumnSetService window;
    QVERIFY(window.Init(m_db.connectionString(), QStringLiteral("u1")));
    QVERIFY(window.SaveColInfo(QStringLiteral("Crm_Contact"),
                               QStringLiteral("<ColInfo><ColSet cFld='cMobilePhone' bShow='true' "
                                              "iOrder='1' bMustInput='true'/></ColInfo>")));
    QVERIFY(requiredMobile());
}

void tst_SuiteServices::storedLayoutCannotDropRequiredColumns()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    QString layout = QStringLiteral(
        "<ColInfo cKey='Crm_Contact'><ColSet cFld='cCusName' bShow='true' iWidth='90' iOrder='1' "
        "bMustInput='false'/><ColSet cFld='cContactCode' cCaption='Code' bShow='false' "
        "iWidth='70' iOrder='2' bMustInput='false'/></ColInfo>");
    QVERIFY(service.Save(layout));
    const QList<ColSet> all = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 0));
    QVERIFY(findColumn(all, QStringLiteral("cCusName"))->mustInput);
    // Nor hide the code, by which the list's commands find a row's contact.
    const QList<ColSet> shown = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1));
    const ColSet *code = findColumn(shown, QStringLiteral("cContactCode"));
    QVERIFY(code);
    QCOMPARE(code->caption, QStringLiteral("Code"));
}

void tst_SuiteServices::malformedLayoutIsRefusedAndKeepsTheStoredOne()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    QVERIFY(service.SaveColInfo(QStringLiteral("Crm_Contact"),
                                QStringLiteral("<ColInfo><ColSet cFld='cEmail' bShow='true' "
                                               "iOrder='1'/></ColInfo>")));
    QVERIFY(!service.SaveColInfo(QStringLiteral("Crm_Contact"),
                                 QStringLiteral("<ColInfo><ColSet bShow='true'/></ColInfo>")));
    QVERIFY(!service.lastError().isEmpty());
    QVERIFY(!service.SaveColInfo(QStringLiteral("Crm_Contact"), QStringLiteral("<ColInfo>")));
    const QList<ColSet> shown = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1));
    QCOMPARE(shown.first().field, QStringLiteral("cEmail"));
}

void tst_SuiteServices::startedSubsystems_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("started");
    QTest::newRow("fresh account") << ""
                                   << "001" << true << "AA,CS";
    QTest::newRow("subsystem without start date")
        << "update qzsystem..UA_Account_Sub set dSubSysUsed=null where cSub_Id=N'CS'"
        << "001" << true << "AA";
    QTest::newRow("other year does not count")
        << "insert into qzsystem..UA_Account_Sub (cAcc_Id, iYear, cSub_Id, dSubSysUsed) "
           "values (N'001', 2025, N'GL', N'2025-01-01')"
        << "001" << true << "AA,CS";
    QTest::newRow("unknown account") << ""
                                     << "999" << true << "";
    QTest::newRow("quote in account id") << ""
                                         << "0'1" << true << "";
}

void tst_SuiteServices::startedSubsystems()
{
    QFETCH(QString, setup);
    QFETCH(QString, account);
    QFETCH(bool, ok);
    QFETCH(QString, started);
    if (!setup.isEmpty())
        m_db.exec(setup);
    suite::SuiteSystemStartService service;
    QString result = QStringLiteral("stale");
    QCOMPARE(service.GetAllStartedSys(m_db.connectionString(), account, result), ok);
    QCOMPARE(result, started);

    QVERIFY(!service.GetAllStartedSys(
        QStringLiteral("Provider=SQLite;Data Source=/nonexistent/perikon/missing.db"), account,
        result));
    QCOMPARE(result, QString());
}

void tst_SuiteServices::deniedColumns_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("denied");
    QTest::addColumn<bool>("decided"); // false: a failure, which never reads as "no restriction"
    const auto request = [](const char *busObj, const char *func) {
        return QStringLiteral("<k2ColAuth cBusObId='%1' cFuncId='%2'/>")
            .arg(QLatin1String(busObj), QLatin1String(func));
    };
    QTest::newRow("general denial")
        << "u1" << request("Crm_Contact", "CS020202") << "cHomePhone,cMobilePhone" << true;
    QTest::newRow("function rule lifts and adds")
        << "u1" << request("Crm_Contact", "CS020201") << "cEmail,cHomePhone" << true;
    QTest::newRow("ids without case")
        << "u1" << request("crm_contact", "cs020201") << "cEmail,cHomePhone" << true;
    QTest::newRow("other business object")
        << "u1" << request("Customer", "AS011") << "cCusPhone" << true;
    QTest::newRow("other user") << "u2" << request("Crm_Contact", "CS020202") << "cMemo" << true;
    QTest::newRow("no rules") << "u3" << request("Crm_Contact", "CS020202") << "" << true;
    QTest::newRow("quote in user id") << "u'1" << request("Crm_Contact", "CS020202") << "" << true;
    QTest::newRow("not a request") << "u1"
                                   << "<other/>"
                                   << "" << false;
    QTest::newRow("malformed") << "u1"
                               << "<k2ColAuth cBusObId='Crm_Contact'"
                               << "" << false;
}

void tst_SuiteServices::deniedColumns()
{
    QFETCH(QString, user);
    QFETCH(QString, request);
    QFETCH(QString, denied);
    QFETCH(bool, decided);
    m_db.exec(QStringLiteral(
        "insert into qz_ColumnAuth (cUser_Id, cBusObId, cFuncId, cFieldName, bDenied) values "
        "(N'u1', N'Crm_Contact', N'', N'cMobilePhone', 1), "
        "(N'u1', N'Crm_Contact', N'', N'cHomePhone', 1), "
        "(N'u1', N'Crm_Contact', N'CS020201', N'cMobilePhone', 0), "
        "(N'u1', N'Crm_Contact', N'CS020201', N'cEmail', 1), "
        "(N'u1', N'Customer', N'', N'cCusPhone', 1), "
        "(N'u2', N'Crm_Contact', N'', N'cMemo', 1)"));
    suite::SuiteColumnAuthService service;
    QVERIFY(!service.GetAuthString(request).ok); // before Init nothing is known
    QVERIFY(service.Init(m_db.connectionString(), user));
    const ColumnAuthAnswer answer = service.GetAuthString(request);
    QCOMPARE(answer.ok, decided);
    QCOMPARE(answer.columns, denied);
    QCOMPARE(answer.error.isEmpty(), decided);
}

void tst_SuiteServices::taskExec_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QStringList>("granted");
    QTest::addColumn<QString>("database"); // "account", "none", "missing"
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QString>("refusal");
    const QStringList none;
    QTest::newRow("administrator") << true << none << "account"
                                   << "zh-CN"
                                   << "CS020201" << true << "";
    QTest::newRow("administrator without database") << true << none << "none"
                                                    << "zh-CN"
                                                    << "CS020201" << true << "";
    QTest::newRow("right in table") << false << none << "account"
                                    << "zh-CN"
                                    << "CS020201" << true << "";
    QTest::newRow("right in table, other case") << false << none << "account"
                                                << "zh-CN"
                                                << "cs020201" << true << "";
    QTest::newRow("right of another user")
        << false << none << "account"
        << "zh-CN"
        << "CS020204" << false << "用户u1没有功能CS020204的权限。";
    QTest::newRow("granted property") << false << QStringList{"CS020204"} << "account"
                                      << "zh-CN"
                                      << "CS020204" << true << "";
    QTest::newRow("granted without database") << false << QStringList{"CS020204"} << "none"
                                              << "zh-CN"
                                              << "CS020204" << true << "";
    QTest::newRow("refused in English")
        << false << none << "account"
        << "en-US"
        << "CS020205" << false << "User u1 has no right to function CS020205.";
    QTest::newRow("no database") << false << none << "none"
                                 << "zh-CN"
                                 << "CS020201" << false << "用户u1没有功能CS020201的权限。";
    QTest::newRow("unreadable database")
        << false << none << "missing"
        << "en-US"
        << "CS020201" << false << "User u1 has no right to function CS020201.";
}

void tst_SuiteServices::taskExec()
{
    QFETCH(bool, admin);
    QFETCH(QStringList, granted);
    QFETCH(QString, database);
    QFETCH(QString, region);
    QFETCH(QString, function);
    QFETCH(bool, allowed);
    QFETCH(QString, refusal);
    m_db.exec(QStringLiteral("insert into qz_UserFunction (cUser_Id, cFuncId) values "
                             "(N'u1', N'CS020201'), (N'u2', N'CS020204')"));
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("u1");
    login.IsAdmin = admin;
    login.GrantedFunctions = granted;
    login.setLanguageRegion(region);
    if (database == u"account")
        login.qzDBName = m_db.connectionString();
    else if (database == u"missing")
        login.qzDBName = QStringLiteral("Provider=SQLite;Data Source=/nonexistent/perikon/none.db");
    login.ShareString = QStringLiteral("earlier text");
    bool state = true;
    QCOMPARE(login.TaskExec(function, state), allowed);
    QCOMPARE(login.ShareString, refusal);
}

QTEST_GUILESS_MAIN(tst_SuiteServices)
#include "tst_suiteservices.moc"
