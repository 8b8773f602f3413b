#include "support/DbTestFixture.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/ProcedureRegistry.h"
#include "perikon/data/db/SqlLiteral.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>

using namespace perikon::db;
using perikon::db::test::DbTestFixture;

namespace {

const QString kSchema = QStringLiteral(
    "CREATE TABLE Crm_Contact (ID integer PRIMARY KEY, cContactCode nvarchar(20) NOT NULL, "
    "cContactName nvarchar(50));"
    "INSERT INTO Crm_Contact (cContactCode, cContactName) VALUES ('00000001', '张三'), "
    "('00000002', '李四'), ('00000003', '王五');");

qint64 countRows(Connection &connection, const QString &sql)
{
    auto cursor = connection.openCursor(sql);
    return cursor && cursor->next() ? cursor->value(0).toLongLong() : -1;
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<DbTestFixture>(kSchema);
        QVERIFY(m_fixture->isValid());
    }
    void cleanup() { m_fixture.reset(); }

    void connectionStringParts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("accountCatalog");
        QTest::addColumn<QString>("meta");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");

        QTest::newRow("sqlite")
            << "Provider=SQLite;Data Source=/srv/QZDATA_001_2026.db;Initial Catalog=QZDATA_001_2026"
            << "SQLite"
            << "/srv/QZDATA_001_2026.db"
            << "QZDATA_001_2026"
            << "001"
            << "QZDATA_001_2026"
            << "QZMeta_001"
            << "" << 0 << ""
            << "";
        QTest::newRow("postgres")
            << "Provider=PostgreSQL;Host=127.0.0.1;Port=5432;Database=perikon;"
               "Initial Catalog=QZDATA_002_2025;User ID=u;Password=p;"
            << "PostgreSQL"
            << ""
            << "QZDATA_002_2025"
            << "002"
            << "QZDATA_002_2025"
            << "QZMeta_002"
            << "127.0.0.1" << 5432 << "u"
            << "p";
        QTest::newRow("keys in any case, blanks around")
            << " provider = SQLite ; DATA SOURCE = /a b/c.db ; initial catalog=qzdata_008_2010"
            << "SQLite"
            << "/a b/c.db"
            << "qzdata_008_2010"
            << "008"
            << "qzdata_008_2010"
            << "QZMeta_008"
            << "" << 0 << ""
            << "";
        QTest::newRow("no catalog") << "Provider=SQLite;Data Source=x.db"
                                    << "SQLite"
                                    << "x.db"
                                    << ""
                                    << ""
                                    << ""
                                    << ""
                                    << "" << 0 << ""
                                    << "";
        // The account is found wherever the text says CATALOG=QZDATA_, not only in the
        // "Initial Catalog" key, and the catalog name ends at the next separator.
        QTest::newRow("bare catalog key, account before the provider")
            << "Catalog=QZDATA_123_2024 ;Provider=PostgreSQL"
            << "PostgreSQL"
            << ""
            << ""
            << "123"
            << "QZDATA_123_2024"
            << "QZMeta_123"
            << "" << 0 << ""
            << "";
        QTest::newRow("blank after the key hides the account")
            << "Provider=SQLite;Initial Catalog= QZDATA_001_2026"
            << "SQLite"
            << ""
            << "QZDATA_001_2026"
            << ""
            << ""
            << ""
            << "" << 0 << ""
            << "";
    }

    void connectionStringParts()
    {
        QFETCH(QString, text);
        const ConnectionString parsed(text);
        QTEST(parsed.provider(), "provider");
        QTEST(parsed.dataSource(), "dataSource");
        QTEST(parsed.catalog(), "catalog");
        QTEST(parsed.accountNumber(), "account");
        QTEST(ConnectionString::accountNumberOf(text), "account");
        QTEST(parsed.accountCatalog(), "accountCatalog");
        QTEST(parsed.metaDatabase(), "meta");
        QTEST(parsed.host(), "host");
        QTEST(parsed.port(), "port");
        QTEST(parsed.user(), "user");
        QTEST(parsed.password(), "password");
    }

    void literalKeepsValueExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("escaped");

        QTest::newRow("plain") << "张三"
                               << "张三";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("one quote") << "O'Brien"
                                   << "O''Brien";
        QTest::newRow("quotes at both ends") << "'x'"
                                             << "''x''";
        QTest::newRow("doubled quote stays two quotes") << "a''b"
                                                        << "a''''b";
        QTest::newRow("closing attempt") << "x'; delete Crm_Contact; --"
                                         << "x''; delete Crm_Contact; --";
        QTest::newRow("double quotes untouched") << "say \"hi\""
                                                 << "say \"hi\"";
    }

    // A value put between quotes reads back exactly as given and never ends the literal early.
    void literalKeepsValueExactly()
    {
        QFETCH(QString, value);
        QTEST(sqlEscaped(value), "escaped");
        QCOMPARE(sqlQuoted(value), u'\'' + sqlEscaped(value) + u'\'');
        QCOMPARE(sqlNQuoted(value), QStringLiteral("N'") + sqlEscaped(value) + u'\'');

        Connection connection;
        connection.open(m_fixture->connectionString());
        connection.execute(QStringLiteral("update Crm_Contact set cContactName=")
                           + sqlNQuoted(value) + QStringLiteral(" where cContactCode=N'00000001'"));
        QCOMPARE(countRows(connection, QStringLiteral("select count(*) from Crm_Contact")), 3);
        auto cursor = connection.openCursor(
            QStringLiteral("select cContactName from Crm_Contact where cContactName=")
            + sqlQuoted(value));
        QVERIFY(cursor && cursor->next());
        QCOMPARE(cursor->value(0).toString(), value);
    }

    void openFailsWithoutDatabaseFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content"); // empty: no file is created

        QTest::newRow("missing file") << "QZDATA_009_2026.db" << QByteArray();
        QTest::newRow("folder") << "" << QByteArray();
        QTest::newRow("not a database") << "notes.db" << QByteArray(4096, 'x');
    }

    void openFailsWithoutDatabaseFile()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        const QString path = QDir(m_fixture->folder()).filePath(fileName);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        Connection connection;
        try {
            connection.open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(path));
            QFAIL("open succeeded");
        } catch (const DbError &error) {
            QVERIFY(!error.description().isEmpty());
        }
        QCOMPARE(connection.state(), Connection::StateClosed);
        if (content.isEmpty() && !fileName.isEmpty())
            QVERIFY2(!QFile::exists(path), "opening created a database file");
    }

    void unknownProviderFails()
    {
        Connection connection;
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 connection.open(QStringLiteral("Provider=Oracle;Data Source=x")));
        QCOMPARE(connection.state(), Connection::StateClosed);
    }

    void openAndCloseChangeState()
    {
        Connection connection;
        connection.open(m_fixture->connectionString());
        QCOMPARE(connection.state(), Connection::StateOpen);
        QCOMPARE(connection.target(), SqlTarget::Sqlite);
        QCOMPARE(connection.defaultDatabase(), QStringLiteral("QZDATA_001_2026"));
        connection.close();
        QCOMPARE(connection.state(), Connection::StateClosed);
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 connection.execute(QStringLiteral("DELETE FROM Crm_Contact")));
    }

    void executeReportsAffectedRows()
    {
        Connection connection;
        connection.open(m_fixture->connectionString());
        qint64 affected = -1;
        connection.execute(
            QStringLiteral("UPDATE Crm_Contact SET cContactName = N'x' WHERE ID >= 2"), &affected);
        QCOMPARE(affected, 2);
        connection.execute(QStringLiteral("DELETE FROM Crm_Contact WHERE ID = 99"), &affected);
        QCOMPARE(affected, 0);
    }

    void executeErrorCarriesMessageAndStatement()
    {
        Connection connection;
        connection.open(m_fixture->connectionString());
        const QString sql = QStringLiteral("INSERT INTO NoSuchTable (a) VALUES (1)");
        try {
            connection.execute(sql);
            QFAIL("no error");
        } catch (const DbError &error) {
            QVERIFY2(error.description().contains(QLatin1String("NoSuchTable")),
                     qPrintable(error.description()));
            QVERIFY2(error.description().contains(QLatin1String("no such table")),
                     qPrintable(error.description()));
        }
    }

    void useSwitchesDefaultDatabase_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected"); // empty: the switch fails

        QTest::newRow("system database") << "USE qzsystem"
                                         << "qzsystem";
        QTest::newRow("account database") << "use QZDATA_001_2026"
                                          << "QZDATA_001_2026";
        QTest::newRow("meta database") << "USE QZMeta_001"
                                       << "QZMeta_001";
        QTest::newRow("unknown database") << "USE QZDATA_404_2026"
                                          << "";
    }

    void useSwitchesDefaultDatabase()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QVERIFY(
            !m_fixture
                 ->createDatabase(QStringLiteral("qzsystem.db"),
                                  QStringLiteral("CREATE TABLE UA_Account (cAcc_Id nvarchar(3));"))
                 .isEmpty());
        QVERIFY(!m_fixture
                     ->createDatabase(QStringLiteral("QZMeta_001.db"),
                                      QStringLiteral("CREATE TABLE meta (a int);"))
                     .isEmpty());
        Connection connection;
        connection.open(m_fixture->connectionString());
        if (expected.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(DbError, connection.execute(statement));
            QCOMPARE(connection.defaultDatabase(), QStringLiteral("QZDATA_001_2026"));
        } else {
            connection.execute(statement);
            QCOMPARE(connection.defaultDatabase(), expected);
        }
    }

    void attachedDatabasesAreReachable()
    {
        QVERIFY(
            !m_fixture
                 ->createDatabase(QStringLiteral("qzsystem.db"),
                                  QStringLiteral("CREATE TABLE UA_Account (cAcc_Id nvarchar(3));"
                                                 "INSERT INTO UA_Account VALUES ('001'), ('002');"))
                 .isEmpty());
        Connection connection;
        connection.open(m_fixture->connectionString());
        QCOMPARE(countRows(connection, QStringLiteral("SELECT count(*) FROM qzsystem..UA_Account")),
                 2);
        // Unqualified names reach attached databases too.
        QCOMPARE(countRows(connection, QStringLiteral("SELECT count(*) FROM UA_Account")), 2);
    }

    void existenceTestGuardsStatement_data()
    {
        QTest::addColumn<bool>("tableExists");
        QTest::newRow("table exists") << true;
        QTest::newRow("table missing") << false;
    }

    void existenceTestGuardsStatement()
    {
        QFETCH(bool, tableExists);
        Connection connection;
        connection.open(m_fixture->connectionString());
        if (tableExists)
            connection.driver().execute(
                QStringLiteral("CREATE TABLE tc_tmp_duplication (obj_type int, code nvarchar(40), "
                               "oper nvarchar(10))"));
        connection.execute(QStringLiteral(
            "if exists (select 1 from sysobjects where id = object_id('tc_tmp_duplication')) "
            "insert into tc_tmp_duplication (obj_type,code)values(2,'00000004')"));
        if (tableExists)
            QCOMPARE(
                countRows(connection,
                          QStringLiteral(
                              "SELECT count(*) FROM tc_tmp_duplication WHERE code = N'00000004'")),
                1);
    }

    void procedureCallsAreDispatched()
    {
        auto registry = std::make_shared<ProcedureRegistry>();
        QStringList received;
        Connection *calledWith = nullptr;
        registry->add(QStringLiteral("sp_UniteArchiveProxy"),
                      [&](Connection &connection, const QStringList &arguments) {
                          calledWith = &connection;
                          received = arguments;
                      });
        Connection connection;
        connection.setProcedureRegistry(registry);
        connection.open(m_fixture->connectionString());
        connection.execute(
            QStringLiteral("EXECUTE SP_UNITEARCHIVEPROXY 'sp_UniteArchive_EX', "
                           "'Crm_Contact', '00000001', '00000002','tempK2501','cRetVal'"));
        QCOMPARE(calledWith, &connection);
        QCOMPARE(received, (QStringList{"sp_UniteArchive_EX", "Crm_Contact", "00000001", "00000002",
                                        "tempK2501", "cRetVal"}));

        try {
            connection.execute(QStringLiteral("EXECUTE sp_NoSuchProcedure 'a'"));
            QFAIL("unknown procedure ran");
        } catch (const DbError &error) {
            QVERIFY(error.description().contains(QLatin1String("sp_NoSuchProcedure")));
        }
    }

    void rolledBackChangesAreGone_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::newRow("commit") << true;
        QTest::newRow("rollback") << false;
    }

    void rolledBackChangesAreGone()
    {
        QFETCH(bool, commit);
        Connection connection;
        connection.open(m_fixture->connectionString());
        QCOMPARE(connection.beginTrans(), 1);
        QVERIFY_THROWS_EXCEPTION(DbError, connection.beginTrans());
        connection.execute(QStringLiteral("DELETE FROM Crm_Contact WHERE ID = 1"));
        if (commit)
            connection.commitTrans();
        else
            connection.rollbackTrans();

        Connection other;
        other.open(m_fixture->connectionString());
        QCOMPARE(countRows(other, QStringLiteral("SELECT count(*) FROM Crm_Contact")),
                 commit ? 2 : 3);
        QVERIFY_THROWS_EXCEPTION(DbError, connection.commitTrans());
    }

    void commandTimeoutStopsLongStatement()
    {
        Connection connection;
        connection.open(m_fixture->connectionString());
        connection.driver().execute(QStringLiteral("CREATE TABLE n (i int); WITH RECURSIVE c(x) AS "
                                                   "(SELECT 1 UNION ALL SELECT x + 1 FROM c "
                                                   "WHERE x < 400) INSERT INTO n SELECT x FROM c"));
        connection.setCommandTimeout(1);
        QVERIFY_THROWS_EXCEPTION(DbError, connection.execute(QStringLiteral(
                                              "UPDATE Crm_Contact SET cContactName = (SELECT "
                                              "count(*) FROM n a, n b, n c, n d)")));
        connection.setCommandTimeout(0);
        connection.execute(
            QStringLiteral("UPDATE Crm_Contact SET cContactName = N'ok' WHERE ID = 1"));
    }

private:
    std::unique_ptr<DbTestFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
