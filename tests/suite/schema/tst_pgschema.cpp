// The suite's databases as schemas of one PostgreSQL database: creation, re-creation, and demo
// data that is the same archive as on SQLite for the same seed.

#include "support/TestDatabase.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QTest>

using namespace perikon;
using perikon::testing::Backend;
using perikon::testing::TestDatabase;

namespace {

// Every row of a query, values as text, rows joined by new lines.
QString rowsText(const QString &connectionString, const QString &sql)
{
    db::Connection connection;
    connection.open(connectionString);
    auto cursor = connection.openCursor(sql);
    QStringList rows;
    while (cursor && cursor->next()) {
        QStringList values;
        for (int i = 0; i < int(cursor->columns().size()); ++i) {
            const QVariant value = cursor->value(i);
            values << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        rows << values.join(u'|');
    }
    return rows.join(u'\n');
}

} // namespace

class tst_PgSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (TestDatabase::serverConnectionString().isEmpty())
            QSKIP("PERIKON_TEST_PG is not set: no PostgreSQL server to create the schemas on.");
    }

    void existingAccountIsKeptUnlessReplaced()
    {
        TestDatabase db(3, 7, Backend::Postgres);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const auto again = suite::SchemaInstaller::createPostgresDatabases(db.connectionString());
        QVERIFY(!again);
        QVERIFY2(again.error().contains(QStringLiteral("already exists")),
                 qPrintable(again.error()));
        QCOMPARE(
            rowsText(db.connectionString(), QStringLiteral("select count(*) from Crm_Contact")),
            QStringLiteral("3"));

        QVERIFY(suite::SchemaInstaller::createPostgresDatabases(db.connectionString(), true));
        QCOMPARE(
            rowsText(db.connectionString(), QStringLiteral("select count(*) from Crm_Contact")),
            QStringLiteral("0"));
        // The shared system database still knows the account once.
        QCOMPARE(rowsText(db.connectionString(),
                          QStringLiteral("select count(*) from qzsystem..UA_Account")),
                 QStringLiteral("1"));
    }

    void secondYearSharesSystemAndMeta()
    {
        TestDatabase db(0, 7, Backend::Postgres);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString nextYear
            = TestDatabase::withDatabase(db.serverDatabase(), QStringLiteral("QZDATA_001_2027"));
        QVERIFY(suite::SchemaInstaller::createPostgresDatabases(nextYear));
        QCOMPARE(
            rowsText(nextYear, QStringLiteral(
                                   "select iYear from qzsystem..UA_Account_Sub where cSub_Id=N'CS' "
                                   "order by iYear")),
            QStringLiteral("2026\n2027"));
        QCOMPARE(rowsText(nextYear,
                          QStringLiteral("use QZDATA_001_2026 select count(*) from Crm_BaseCode")),
                 rowsText(nextYear, QStringLiteral("select count(*) from Crm_BaseCode")));
    }

    void connectionStringWithoutAccountIsRefused()
    {
        const auto created = suite::SchemaInstaller::createPostgresDatabases(
            TestDatabase::withDatabase(QStringLiteral("perikon"), QStringLiteral("somewhere")));
        QVERIFY(!created);
        QVERIFY2(created.error().contains(QStringLiteral("QZDATA_")), qPrintable(created.error()));
    }

    void demoDataIsTheSameArchiveOnBothBackends_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("contacts") << QStringLiteral(
            "select OID, cContactCode, cContactName, cCusCode, bcSexID, dBirthday, cEmail, cMemo, "
            "bMajor, "
            "bDefaultCon, cConDefine11, dCreateDate, convert(char, convert(money,qzts), 2) from "
            "Crm_Contact "
            "order by cContactCode");
        QTest::newRow("customers")
            << QStringLiteral("select cCusCode, iId, cCusName, ccuscontactcode, cCusPerson, "
                              "dCusDevDate from Customer order by cCusCode");
        QTest::newRow("extension rows") << QStringLiteral(
            "select OID, cContactCode, cLDefine1 from Crm_Contact_extradefine order by OID");
        QTest::newRow("opportunities")
            << QStringLiteral("select cOppCode, cContactCode, mExpectAmount, iStage from "
                              "Crm_Opportunity order by cOppCode");
        QTest::newRow("employees") << QStringLiteral(
            "select cPsn_Num, cPsn_Name, rSex, dEnterDate from hr_hi_person order by cPsn_Num");
        QTest::newRow("user-defined items")
            << QStringLiteral("select cID, cItemName, bCheckVal, iLength from userdef where "
                              "cItemName <> N'' order by cID");
    }

    void demoDataIsTheSameArchiveOnBothBackends()
    {
        QFETCH(QString, sql);
        TestDatabase sqlite(300, 11, Backend::Sqlite);
        TestDatabase postgres(300, 11, Backend::Postgres);
        QVERIFY2(sqlite.ok(), qPrintable(sqlite.error()));
        QVERIFY2(postgres.ok(), qPrintable(postgres.error()));
        const QString expected = rowsText(sqlite.connectionString(), sql);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(rowsText(postgres.connectionString(), sql), expected);
    }
};

QTEST_GUILESS_MAIN(tst_PgSchema)
#include "tst_pgschema.moc"
