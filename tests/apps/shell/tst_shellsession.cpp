// Logging in to the shell: the account database must open and know an enabled operator, and the
// login carries what the component reads from it.

#include "apps/shell/ShellSession.h"
#include "suite/SuiteServices.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_ShellSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void connectionStringFor_data();
    void connectionStringFor();
    void logIn_data();
    void logIn();

private:
    SuiteFixture m_db;
};

void tst_ShellSession::initTestCase()
{
    suite::registerServices();
}

void tst_ShellSession::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into qzsystem..UA_User (cUser_Id, cUser_Name, bAdmin, "
                             "bDisabled) values (N'clerk', N'王芳', 0, 0), (N'gone', N'Gone', "
                             "0, 1)"));
}

void tst_ShellSession::connectionStringFor_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("connection");
    QTest::newRow("account file: its catalog")
        << "/data/QZDATA_002_2025.db"
        << "Provider=SQLite;Data Source=/data/QZDATA_002_2025.db;Initial Catalog=QZDATA_002_2025";
    QTest::newRow("connection string as written")
        << "Provider=PostgreSQL;Host=h;Database=d;Initial Catalog=QZDATA_001_2026"
        << "Provider=PostgreSQL;Host=h;Database=d;Initial Catalog=QZDATA_001_2026";
    QTest::newRow("blanks around") << "  "
                                   << "";
}

void tst_ShellSession::connectionStringFor()
{
    QFETCH(QString, given);
    QFETCH(QString, connection);
    QCOMPARE(shell::connectionStringFor(given), connection);
}

void tst_ShellSession::logIn_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("database"); // "" the test's account
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("admin");
    QTest::newRow("administrator") << "admin"
                                   << ""
                                   << "zh-CN"
                                   << ""
                                   << "系统管理员" << true;
    QTest::newRow("clerk, blanks trimmed") << " clerk "
                                           << ""
                                           << "en-US"
                                           << ""
                                           << "王芳" << false;
    QTest::newRow("unknown operator") << "nobody"
                                      << ""
                                      << "en-US"
                                      << "There is no operator nobody."
                                      << "" << false;
    QTest::newRow("disabled operator") << "gone"
                                       << ""
                                       << "zh-CN"
                                       << "操作员 gone 已停用。"
                                       << "" << false;
    QTest::newRow("no operator") << ""
                                 << ""
                                 << "en-US"
                                 << "Please enter an operator."
                                 << "" << false;
    QTest::newRow("database file missing")
        << "admin"
        << "/nonexistent/QZDATA_001_2026.db"
        << "en-US"
        << "The account database does not exist: /nonexistent/QZDATA_001_2026.db"
        << "" << false;
}

void tst_ShellSession::logIn()
{
    QFETCH(QString, user);
    QFETCH(QString, database);
    QFETCH(QString, language);
    QFETCH(QString, error);
    QFETCH(QString, name);
    QFETCH(bool, admin);
    const QString connection = database.isEmpty() ? m_db.connectionString() : database;
    shell::LoginResult result = shell::logIn({user, connection, language});
    QCOMPARE(result.error, error);
    QCOMPARE(bool(result.login), error.isEmpty());
    if (!result.login)
        return;
    QCOMPARE(result.login->property("cUserId").toString(), user.trimmed());
    QCOMPARE(result.login->property("cUserName").toString(), name);
    QCOMPARE(result.login->property("IsAdmin").toBool(), admin);
    QCOMPARE(result.login->property("qzDBName").toString(), connection);
    QCOMPARE(result.login->property("LanguageRegion").toString(), language);
}

QTEST_MAIN(tst_ShellSession)
#include "tst_shellsession.moc"
