// Connections and recordsets over the suite's schema behave the same on every backend: SQLite
// always, PostgreSQL when PERIKON_TEST_PG names a server. Each row of a test names its backend.

#include "support/TestDatabase.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/SuiteServices.h"

#include <QRegularExpression>
#include <QTest>

using namespace perikon;
using namespace perikon::db;
using perikon::testing::Backend;
using perikon::testing::TestDatabase;

Q_DECLARE_METATYPE(perikon::testing::Backend)

namespace {

QVariant scalar(Connection &connection, const QString &sql)
{
    auto cursor = connection.openCursor(sql);
    return cursor && cursor->next() ? cursor->value(0) : QVariant();
}

QString rowVersion(Connection &connection, const QString &code)
{
    return scalar(connection,
                  QStringLiteral("select convert(char, convert(money,qzts), 2) from Crm_Contact "
                                 "where cContactCode=N'%1'")
                      .arg(code))
        .toString()
        .trimmed();
}

void addBackendColumn()
{
    QTest::addColumn<Backend>("backend");
}

} // namespace

class tst_Backends : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { suite::registerServices(); } // the suite's procedures

    void cleanup()
    {
        m_connection.reset();
        m_db.reset();
    }

    void columnsReportDeclaredTypes_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("scale");
        struct Row
        {
            const char *table, *column;
            int type;
            qint64 size;
            int scale;
        };
        const Row rows[] = {
            {"Crm_Contact", "cContactCode", ColumnType::VarWChar, 60, 0},
            {"Crm_Contact", "cWorkAddress", ColumnType::VarWChar, 255, 0},
            {"Crm_Contact", "bMajor", ColumnType::Boolean, 2, 0},
            {"Crm_Contact", "bcSexID", ColumnType::Integer, 4, 0},
            {"Crm_Contact", "cConDefine13", ColumnType::Double, 8, 0},
            {"Crm_Contact", "dBirthday", ColumnType::DBTimeStamp, 16, 0},
            {"Crm_Contact", "qzts", ColumnType::Binary, 8, 0},
            {"Crm_Contact_extradefine", "cLDefine9", ColumnType::Numeric, 19, 6},
            {"Crm_Opportunity", "mExpectAmount", ColumnType::Currency, 8, 4},
            {"Crm_Opportunity", "iStage", ColumnType::TinyInt, 1, 0},
            {"AA_Picture", "Picture", ColumnType::LongVarBinary, ColumnType::LongTextSize, 0},
            {"userdef", "iLength", ColumnType::SmallInt, 2, 0},
            {"UA_Account", "cAcc_Id", ColumnType::WChar, 3, 0},
            {"Crm_BaseCode", "ID", ColumnType::Integer, 4, 0},
        };
        for (Backend backend : TestDatabase::backends()) {
            for (const Row &row : rows)
                QTest::addRow("%s %s.%s", TestDatabase::backendName(backend), row.table, row.column)
                    << backend << row.table << row.column << row.type << row.size << row.scale;
        }
    }

    void columnsReportDeclaredTypes()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, type);
        QFETCH(qint64, size);
        QFETCH(int, scale);
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        Recordset rs;
        rs.open(QStringLiteral("select %1 from %2 where 1=2").arg(column, table),
                m_connection.get());
        QCOMPARE(rs.field(0).name(), column);
        QCOMPARE(rs.field(0).type(), type);
        QCOMPARE(rs.field(0).definedSize(), size);
        QCOMPARE(rs.field(0).numericScale(), scale);
        QCOMPARE(rs.columnInfo(0).baseTable.compare(table, Qt::CaseInsensitive), 0);
    }

    void resultNamesKeepTheirSpelling_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("names");
        for (Backend backend : TestDatabase::backends()) {
            const char *name = TestDatabase::backendName(backend);
            QTest::addRow("%s select list", name)
                << backend
                << QStringLiteral(
                       "select cContactCode, cCusCode as CustomerCode, OID from Crm_Contact")
                << QStringList{"cContactCode", "CustomerCode", "OID"};
            QTest::addRow("%s alias by assignment", name)
                << backend
                << QStringLiteral(
                       "select Num=count(*), [Contact Name]=max(cContactName) from Crm_Contact")
                << QStringList{"Num", "Contact Name"};
            QTest::addRow("%s star takes the declared spelling", name)
                << backend << QStringLiteral("select top 1 * from Crm_Contact_extradefine")
                << QStringList{"OID",       "cContactCode", "cLDefine1", "cLDefine2",
                               "cLDefine3", "cLDefine4",    "cLDefine5", "cLDefine6",
                               "cLDefine7", "cLDefine8",    "cLDefine9", "cLDefine10"};
            QTest::addRow("%s view columns", name)
                << backend
                << QStringLiteral(
                       "select top 1 cSexName, cprincipalname, cContactName from v_Crm_Contact")
                << QStringList{"cSexName", "cprincipalname", "cContactName"};
        }
    }

    void resultNamesKeepTheirSpelling()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        QVERIFY2(openDatabase(3), qPrintable(m_db->error()));
        auto cursor = m_connection->openCursor(sql);
        QVERIFY(cursor);
        QStringList actual;
        for (const ColumnInfo &column : cursor->columns())
            actual << column.name;
        QCOMPARE(actual, names);
    }

    void everyUpdateGivesANewRowVersion_data() { backendRows(); }
    void everyUpdateGivesANewRowVersion()
    {
        QVERIFY2(openDatabase(5), qPrintable(m_db->error()));
        const QString first = rowVersion(*m_connection, QStringLiteral("00000002"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.0000$")).match(first).hasMatch(),
                 qPrintable(first));
        m_connection->execute(
            QStringLiteral("update Crm_Contact set cMemo=N'a' where cContactCode=N'00000002'"));
        const QString second = rowVersion(*m_connection, QStringLiteral("00000002"));
        m_connection->execute(
            QStringLiteral("update Crm_Contact set cMemo=N'a' where cContactCode=N'00000002'"));
        const QString third = rowVersion(*m_connection, QStringLiteral("00000002"));
        QVERIFY(first != second);
        QVERIFY(second != third);
        QVERIFY(third.toDouble() > second.toDouble());
        // Other rows keep theirs.
        QVERIFY(rowVersion(*m_connection, QStringLiteral("00000003")).toDouble()
                < second.toDouble());
    }

    void addedRowComesBackAsStored_data() { backendRows(); }
    void addedRowComesBackAsStored()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        Recordset rs;
        rs.open(
            QStringLiteral(
                "select OID, cContactCode, cContactName, bMajor, qzts from Crm_Contact where 1=2"),
            m_connection.get(), Recordset::OpenKeyset, Recordset::LockOptimistic);
        rs.addNew();
        rs.setValue(QStringLiteral("cContactCode"), QStringLiteral("N0000001"));
        rs.setValue(QStringLiteral("cContactName"), QStringLiteral("O'Brien 张"));
        rs.update();
        // The key default is a braced lower-case GUID; flags and the row version are filled in.
        QVERIFY2(QRegularExpression(
                     QStringLiteral(
                         "^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$"))
                     .match(rs.value(0).toString())
                     .hasMatch(),
                 qPrintable(rs.value(0).toString()));
        QCOMPARE(rs.value(3).toInt(), 0);
        QVERIFY(!rs.value(4).isNull());
        QCOMPARE(scalar(*m_connection,
                        QStringLiteral("select cContactName from Crm_Contact where OID=N'%1'")
                            .arg(rs.value(0).toString()))
                     .toString(),
                 QStringLiteral("O'Brien 张"));
    }

    void updateOfRowGoneElsewhereIsRefused_data() { backendRows(); }
    void updateOfRowGoneElsewhereIsRefused()
    {
        QVERIFY2(openDatabase(3), qPrintable(m_db->error()));
        Recordset rs;
        rs.open(QStringLiteral("select cContactCode, cContactName from Crm_Contact where "
                               "cContactCode=N'00000001'"),
                m_connection.get(), Recordset::OpenKeyset, Recordset::LockOptimistic);
        QCOMPARE(rs.recordCount(), qint64(1));
        Connection other;
        other.open(m_db->connectionString());
        other.execute(QStringLiteral("delete from Crm_Contact where cContactCode=N'00000001'"));
        rs.setValue(1, QStringLiteral("新名字"));
        try {
            rs.update();
            QFAIL("updated a row that is gone");
        } catch (const DbError &e) {
            QCOMPARE(e.number(), DbError::RowNotLocated);
        }
    }

    void selectStarSeesAColumnAddedMeanwhile_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("where");
        for (Backend backend : TestDatabase::backends()) {
            const char *name = TestDatabase::backendName(backend);
            QTest::addRow("%s this connection", name) << backend << QStringLiteral("this");
            QTest::addRow("%s this connection's backend directly", name)
                << backend << QStringLiteral("driver");
            QTest::addRow("%s another connection", name) << backend << QStringLiteral("other");
        }
    }

    void selectStarSeesAColumnAddedMeanwhile()
    {
        QFETCH(QString, where);
        QVERIFY2(openDatabase(3), qPrintable(m_db->error()));
        const QString sql = QStringLiteral("select * from Crm_Contact order by cContactCode");
        Recordset before;
        before.open(sql, m_connection.get(), Recordset::OpenStatic, Recordset::LockOptimistic);
        const int columns = before.fieldCount();
        QVERIFY(!before.hasField(QStringLiteral("cNickName")));
        before.close();

        Connection other;
        if (where == QLatin1String("this")) {
            m_connection->execute(
                QStringLiteral("alter table Crm_Contact add cNickName nvarchar(20)"));
        } else if (where == QLatin1String("driver")) {
            m_connection->driver().execute(
                QStringLiteral("ALTER TABLE Crm_Contact ADD COLUMN cNickName varchar(20)"));
        } else {
            other.open(m_db->connectionString());
            other.execute(QStringLiteral("alter table Crm_Contact add cNickName nvarchar(20)"));
        }
        m_connection->execute(QStringLiteral("update Crm_Contact set cNickName=N'小王'"));

        Recordset after;
        after.open(sql, m_connection.get(), Recordset::OpenStatic, Recordset::LockOptimistic);
        QCOMPARE(after.fieldCount(), columns + 1);
        QVERIFY(after.hasField(QStringLiteral("cNickName")));
        QCOMPARE(after.value(QStringLiteral("cNickName")).toString(), QStringLiteral("小王"));
        // The new column is written back like any other.
        after.setValue(QStringLiteral("cNickName"), QStringLiteral("老王"));
        after.update();
        QCOMPARE(scalar(*m_connection,
                        QStringLiteral("select cNickName from Crm_Contact where cContactCode=N'%1'")
                            .arg(after.value(QStringLiteral("cContactCode")).toString()))
                     .toString(),
                 QStringLiteral("老王"));
    }

    // Reads of one statement share what they know of its columns: a table that gained a key
    // since the last read is written by that key, not by the values the row was read with.
    void keyGivenMeanwhileFindsTheRow_data() { backendRows(); }
    void keyGivenMeanwhileFindsTheRow()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        const QString fill
            = QStringLiteral("insert into tc_scratch (cName, iQty) values (N'a', 1)");
        const QString read = QStringLiteral("select * from tc_scratch where cName=N'a'");
        const QString qty = QStringLiteral("select iQty from tc_scratch where cName=N'a'");
        m_connection->execute(
            QStringLiteral("create table tc_scratch (cName nvarchar(20), iQty int)"));
        m_connection->execute(fill);
        Connection other;
        other.open(m_db->connectionString());
        {
            Recordset keyless;
            keyless.open(read, m_connection.get(), Recordset::OpenStatic,
                         Recordset::LockOptimistic);
            other.execute(QStringLiteral("update tc_scratch set iQty=2"));
            keyless.setValue(QStringLiteral("iQty"), 3);
            QVERIFY_THROWS_EXCEPTION(DbError, keyless.update()); // found by its values: gone
        }
        m_connection->execute(QStringLiteral("drop table tc_scratch"));
        m_connection->execute(QStringLiteral(
            "create table tc_scratch (cName nvarchar(20) not null primary key, iQty int)"));
        m_connection->execute(fill);
        Recordset keyed;
        keyed.open(read, m_connection.get(), Recordset::OpenStatic, Recordset::LockOptimistic);
        other.execute(QStringLiteral("update tc_scratch set iQty=2"));
        keyed.setValue(QStringLiteral("iQty"), 3);
        keyed.update();
        QCOMPARE(scalar(*m_connection, qty).toInt(), 3);
    }

    void textsSharingAShapeKeepTheirOwnValues_data() { backendRows(); }
    void textsSharingAShapeKeepTheirOwnValues()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        m_connection->execute(
            QStringLiteral("create table tc_scratch (ID int, cName nvarchar(40))"));
        const QStringList names = {QStringLiteral("a"), QStringLiteral("O'Brien"), QString(),
                                   QStringLiteral("x; --y"), QStringLiteral("联系人")};
        for (int i = 0; i < names.size(); ++i)
            m_connection->execute(
                QStringLiteral("insert into tc_scratch (ID, cName) values (%1, N'%2')")
                    .arg(QString::number(i), sqlEscaped(names[i])));
        for (int i = 0; i < names.size(); ++i) {
            const QString name = sqlEscaped(names[i]);
            QCOMPARE(scalar(*m_connection,
                            QStringLiteral("select ID from tc_scratch where cName=N'%1'").arg(name))
                         .toInt(),
                     i);
            QCOMPARE(scalar(*m_connection,
                            QStringLiteral("select N'<' + cName + N'>' from tc_scratch where "
                                           "cName=N'%1'")
                                .arg(name))
                         .toString(),
                     u'<' + names[i] + u'>');
            m_connection->execute(QStringLiteral("if exists (select 1 from tc_scratch where "
                                                 "cName=N'%1') update tc_scratch set ID=ID+10 "
                                                 "where cName=N'%1'")
                                      .arg(name));
        }
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(scalar(*m_connection, QStringLiteral("select ID from tc_scratch where "
                                                          "cName=N'%1'")
                                               .arg(sqlEscaped(names[i])))
                         .toInt(),
                     i + 10);
    }

    void tableJustReadCanBeDropped_data() { backendRows(); }
    void tableJustReadCanBeDropped()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        m_connection->execute(
            QStringLiteral("create table tc_scratch (ID int, cName nvarchar(20))"));
        m_connection->execute(
            QStringLiteral("insert into tc_scratch (ID, cName) values (1, N'a')"));
        m_connection->execute(
            QStringLiteral("insert into tc_scratch (ID, cName) values (2, N'b')"));
        // As an existence probe reads: the first row only, then the cursor goes.
        for (int i = 0; i < 2; ++i) {
            auto cursor = m_connection->openCursor(QStringLiteral("select * from tc_scratch"));
            QVERIFY(cursor && cursor->next());
        }
        // A statement kept for reuse holds no read open: the table goes at once.
        m_connection->driver().execute(QStringLiteral("DROP TABLE tc_scratch"));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 m_connection->execute(QStringLiteral("select * from tc_scratch")));
    }

    void writtenRowsKeepTheStoredValues_data() { backendRows(); }
    void writtenRowsKeepTheStoredValues()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        const QString stored = QStringLiteral(
            "select OID, cContactCode, cContactName, bMajor, qzts from Crm_Contact");
        auto storedRow = [&] {
            Recordset read;
            read.open(stored, m_connection.get(), Recordset::OpenStatic, Recordset::LockReadOnly);
            QStringList values;
            for (int i = 0; i < read.fieldCount(); ++i)
                values << read.value(i).toString();
            return values;
        };
        auto rowOf = [](Recordset &rs) {
            QStringList values;
            for (int i = 0; i < rs.fieldCount(); ++i)
                values << rs.value(i).toString();
            return values;
        };

        Recordset rs;
        rs.open(stored + QStringLiteral(" where 1=2"), m_connection.get(), Recordset::OpenDynamic,
                Recordset::LockOptimistic);
        rs.addNew();
        rs.setValue(1, QStringLiteral("00000001"));
        rs.setValue(2, QStringLiteral("张三"));
        rs.update();
        // Defaults and the row version the database set are in the recordset at once.
        QVERIFY(!rs.value(0).toString().isEmpty());
        QVERIFY(!rs.value(4).isNull());
        QCOMPARE(rowOf(rs), storedRow());

        rs.setValue(2, QStringLiteral("李四"));
        rs.update();
        QCOMPARE(rowOf(rs), storedRow());
        const QStringList changed = storedRow();

        // Writing back what is stored changes nothing, the row version included.
        rs.setValue(2, QStringLiteral("李四"));
        rs.update();
        QCOMPARE(storedRow(), changed);
        QCOMPARE(rowOf(rs), changed);
    }

    void failedStatementInTransactionKeepsEarlierWork_data() { backendRows(); }
    void failedStatementInTransactionKeepsEarlierWork()
    {
        QVERIFY2(openDatabase(3), qPrintable(m_db->error()));
        m_connection->beginTrans();
        m_connection->execute(
            QStringLiteral("update Crm_Contact set cMemo=N'一' where cContactCode=N'00000001'"));
        try {
            m_connection->execute(
                QStringLiteral("insert into Crm_Contact (cContactCode) values (N'00000002')"));
            QFAIL("a duplicate code was stored");
        } catch (const DbError &e) {
            QCOMPARE(e.number(), DbError::ProviderError);
            QVERIFY2(e.description().contains(QStringLiteral("insert into Crm_Contact")),
                     qPrintable(e.description()));
        }
        m_connection->execute(
            QStringLiteral("update Crm_Contact set cMemo=N'二' where cContactCode=N'00000002'"));
        m_connection->commitTrans();
        QCOMPARE(scalar(*m_connection,
                        QStringLiteral("select count(*) from Crm_Contact where cMemo is not null"))
                     .toInt(),
                 2);
    }

    void rolledBackWorkIsGone_data() { backendRows(); }
    void rolledBackWorkIsGone()
    {
        QVERIFY2(openDatabase(3), qPrintable(m_db->error()));
        m_connection->beginTrans();
        m_connection->execute(QStringLiteral("delete from Crm_Contact"));
        QCOMPARE(scalar(*m_connection, QStringLiteral("select count(*) from Crm_Contact")).toInt(),
                 0);
        m_connection->rollbackTrans();
        QCOMPARE(scalar(*m_connection, QStringLiteral("select count(*) from Crm_Contact")).toInt(),
                 3);
    }

    void useReachesTheSuiteDatabases_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("rows");
        for (Backend backend : TestDatabase::backends()) {
            const char *name = TestDatabase::backendName(backend);
            QTest::addRow("%s system", name) << backend << "qzsystem"
                                             << "select count(*) from UA_Account" << 1;
            QTest::addRow("%s meta", name)
                << backend << "QZMeta_001"
                << "select count(*) from aa_columndic where ckey='crm_contact'" << 57;
            QTest::addRow("%s bracketed account", name) << backend << "[QZDATA_001_2026]"
                                                        << "select count(*) from Crm_Contact" << 3;
        }
    }

    void useReachesTheSuiteDatabases()
    {
        QFETCH(QString, database);
        QFETCH(QString, sql);
        QFETCH(int, rows);
        QVERIFY2(openDatabase(3), qPrintable(m_db->error()));
        QCOMPARE(scalar(*m_connection, QStringLiteral("use %1; %2").arg(database, sql)).toInt(),
                 rows);
        QCOMPARE(m_connection->defaultDatabase(), QString(database).remove(u'[').remove(u']'));
        // Back in the account database its tables are unqualified names again.
        QCOMPARE(scalar(*m_connection,
                        QStringLiteral("use QZDATA_001_2026 select count(*) from Crm_Contact"))
                     .toInt(),
                 3);
        QCOMPARE(
            scalar(*m_connection,
                   QStringLiteral(
                       "select count(*) from QZMeta_001..aa_columndic where ckey='crm_contact'"))
                .toInt(),
            57);
    }

    void unknownDatabaseIsRefused_data() { backendRows(); }
    void unknownDatabaseIsRefused()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        try {
            m_connection->execute(QStringLiteral("use QZDATA_999_2026"));
            QFAIL("switched to a database that does not exist");
        } catch (const DbError &e) {
            QVERIFY2(e.description().contains(QStringLiteral("QZDATA_999_2026")),
                     qPrintable(e.description()));
        }
        QCOMPARE(m_connection->defaultDatabase(), QStringLiteral("QZDATA_001_2026"));
    }

    void serverMessageNamesTheFault_data() { backendRows(); }
    void serverMessageNamesTheFault()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        try {
            m_connection->execute(QStringLiteral("update Crm_Contakt set cMemo=null"));
            QFAIL("ran against a missing table");
        } catch (const DbError &e) {
            QCOMPARE(e.number(), DbError::ProviderError);
            QVERIFY2(e.description().contains(QStringLiteral("crm_contakt"), Qt::CaseInsensitive),
                     qPrintable(e.description()));
        }
        // The connection goes on working.
        QCOMPARE(scalar(*m_connection, QStringLiteral("select count(*) from Crm_Contact")).toInt(),
                 0);
    }

    void longStatementStopsAtTheTimeout_data() { backendRows(); }
    void longStatementStopsAtTheTimeout()
    {
        QVERIFY2(openDatabase(0), qPrintable(m_db->error()));
        m_connection->setCommandTimeout(1);
        try {
            scalar(*m_connection,
                   QStringLiteral(
                       "select count(*) from Crm_BaseCode a, Crm_BaseCode b, Crm_BaseCode c, "
                       "Crm_BaseCode d, Crm_BaseCode e, Crm_BaseCode f"));
            QFAIL("ran past the timeout");
        } catch (const DbError &e) {
            QVERIFY2(e.description().contains(QStringLiteral("timeout"), Qt::CaseInsensitive),
                     qPrintable(e.description()));
        }
        m_connection->setCommandTimeout(30);
        QCOMPARE(scalar(*m_connection,
                        QStringLiteral("select count(*) from Crm_BaseCode where cType=N'Sex'"))
                     .toInt(),
                 3);
    }

    void mergeProcedureReportsThroughScratchTable_data() { backendRows(); }
    void mergeProcedureReportsThroughScratchTable()
    {
        QVERIFY2(openDatabase(5), qPrintable(m_db->error()));
        m_connection->execute(
            QStringLiteral("EXECUTE sp_UniteArchiveProxy N'sp_ContactMerg_CRM', N'Crm_Contact', "
                           "N'00000001', N'00000002', N'tempK2501', N'cRetVal'"));
        auto cursor = m_connection->openCursor(QStringLiteral("SELECT * FROM tempdb..tempK2501"));
        QVERIFY(cursor && cursor->next());
        QCOMPARE(cursor->columns().size(), std::size_t(2));
        QCOMPARE(cursor->columns()[1].name, QStringLiteral("cRetVal"));
        QCOMPARE(cursor->value(0).toInt(), 0);
        cursor.reset();
        QCOMPARE(scalar(*m_connection,
                        QStringLiteral(
                            "select count(*) from Crm_Contact where cContactCode=N'00000001'"))
                     .toInt(),
                 0);
        m_connection->execute(QStringLiteral("drop table tempdb..tempK2501"));
    }

private:
    void backendRows()
    {
        addBackendColumn();
        for (Backend backend : TestDatabase::backends())
            QTest::newRow(TestDatabase::backendName(backend)) << backend;
    }

    // A fresh database with `contacts` demo contacts on the row's backend, and a connection to it.
    bool openDatabase(int contacts)
    {
        QFETCH(Backend, backend);
        m_db = std::make_unique<TestDatabase>(contacts, 7, backend);
        if (!m_db->ok())
            return false;
        m_connection = std::make_unique<Connection>();
        m_connection->open(m_db->connectionString());
        return true;
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_connection;
};

QTEST_GUILESS_MAIN(tst_Backends)
#include "tst_backends.moc"
