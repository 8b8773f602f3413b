#include "support/DbTestFixture.h"

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/RecordsetData.h"

#include <QtTest>

#include <memory>

using namespace perikon::db;
using namespace Qt::StringLiterals;
using perikon::db::test::DbTestFixture;

namespace {

// The suite's column types as its schema declares them in SQLite.
const QString kSchema = QStringLiteral(
    "CREATE TABLE Crm_Contact (ID integer PRIMARY KEY, cContactCode nvarchar(20) NOT NULL, "
    "cContactName nvarchar(50), cMemo ntext, cCode char(10), cNChar nchar(4), cVar varchar(30), "
    "cText text, iAge smallint, iTiny tinyint, iCount int, iBig bigint, bMajor bit, "
    "mAmount money, nRate numeric(18,4), fScore float, rScore real, dBirthday datetime, "
    "dSmall smalldatetime, dDay date, OID uniqueidentifier, bPic image, bBin binary(16), "
    "bVar varbinary(100), qzts timestamp);"
    "CREATE TABLE Item (ID int PRIMARY KEY, CItem nvarchar(40), iQty int, dWhen datetime);");

void insertItems(Connection &connection, int count)
{
    for (int i = 1; i <= count; ++i)
        connection.execute(
            QStringLiteral("INSERT INTO Item (ID, CItem, iQty) VALUES (%1, N'item%1', %2)")
                .arg(i)
                .arg(i % 4));
}

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<DbTestFixture>(kSchema);
        QVERIFY(m_fixture->isValid());
    }
    void cleanup() { m_fixture.reset(); }

    void columnTypesFollowDeclarations_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("size");

        QTest::newRow("integer key") << "ID" << 3 << qint64(4);
        QTest::newRow("nvarchar(20)") << "cContactCode" << 202 << qint64(20);
        QTest::newRow("nvarchar(50)") << "cContactName" << 202 << qint64(50);
        QTest::newRow("ntext") << "cMemo" << 203 << qint64(1073741823);
        QTest::newRow("char(10)") << "cCode" << 129 << qint64(10);
        QTest::newRow("nchar(4)") << "cNChar" << 130 << qint64(4);
        QTest::newRow("varchar(30)") << "cVar" << 200 << qint64(30);
        QTest::newRow("text") << "cText" << 201 << qint64(2147483647);
        QTest::newRow("smallint") << "iAge" << 2 << qint64(2);
        QTest::newRow("tinyint") << "iTiny" << 17 << qint64(1);
        QTest::newRow("int") << "iCount" << 3 << qint64(4);
        QTest::newRow("bigint") << "iBig" << 20 << qint64(8);
        QTest::newRow("bit") << "bMajor" << 11 << qint64(2);
        QTest::newRow("money") << "mAmount" << 6 << qint64(8);
        QTest::newRow("numeric") << "nRate" << 131 << qint64(19);
        QTest::newRow("float") << "fScore" << 5 << qint64(8);
        QTest::newRow("real") << "rScore" << 4 << qint64(4);
        QTest::newRow("datetime") << "dBirthday" << 135 << qint64(16);
        QTest::newRow("smalldatetime") << "dSmall" << 135 << qint64(16);
        QTest::newRow("date") << "dDay" << 7 << qint64(8);
        QTest::newRow("uniqueidentifier") << "OID" << 72 << qint64(16);
        QTest::newRow("image") << "bPic" << 205 << qint64(2147483647);
        QTest::newRow("binary(16)") << "bBin" << 128 << qint64(16);
        QTest::newRow("varbinary(100)") << "bVar" << 204 << qint64(100);
        QTest::newRow("timestamp") << "qzts" << 128 << qint64(8);
    }

    void columnTypesFollowDeclarations()
    {
        QFETCH(QString, column);
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT TOP 0 * FROM Crm_Contact"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        // Names are found without regard to case.
        Field field = rs.field(column.toUpper());
        QCOMPARE(field.name(), column);
        QTEST(field.type(), "type");
        QTEST(field.definedSize(), "size");
        QCOMPARE(field.baseTable(), QStringLiteral("Crm_Contact"));
        QCOMPARE(field.baseColumn(), column);
    }

    // Columns are found by name whatever its case and surrounding blanks; of two columns of one
    // name, the first.
    void columnsAreFoundWithoutRegardToCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("as declared") << "cContactCode" << 1;
        QTest::newRow("upper case") << "CCONTACTCODE" << 1;
        QTest::newRow("blanks around") << "  ccontactcode " << 1;
        QTest::newRow("first of two of one name") << "iqty" << 2;
        QTest::newRow("CJK name") << "名称" << 4;
        QTest::newRow("non-ASCII case") << "ÄNDERUNG" << 5;
        QTest::newRow("Kelvin sign folds to k") << QString(QChar(0x212A)) + u"ey"_s << 6;
        QTest::newRow("prefix of a name") << "cContact" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void columnsAreFoundWithoutRegardToCase()
    {
        std::vector<ColumnInfo> columns;
        for (const QString &name :
             {u"ID"_s, u"cContactCode"_s, u"iQty"_s, u"IQTY"_s, u"名称"_s, u"änderung"_s, u"KEY"_s})
            columns.push_back(ColumnInfo{name});
        const RecordsetData data(std::move(columns));
        QFETCH(QString, name);
        QTEST(data.indexOf(name), "index");
    }

    void keyAndNullabilityComeFromCatalog()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT ID, cContactCode, cContactName FROM Crm_Contact"),
                &m_fixture->connection());
        QVERIFY(rs.field(0).isKey());
        QVERIFY(!rs.field(1).isKey());
        QVERIFY(!rs.field(1).isNullable());
        QVERIFY(rs.field(2).isNullable());
    }

    void describedColumnsFollowTableChanges_data()
    {
        QTest::addColumn<QString>("route"); // which connection changes the table
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("key");
        QTest::addColumn<bool>("nullable");

        const QString added = QStringLiteral("ALTER TABLE Probe ADD COLUMN cMemo nvarchar(200)");
        const QString retyped = QStringLiteral(
            "DROP TABLE Probe; CREATE TABLE Probe (ID int PRIMARY KEY, cName nvarchar(60))");
        const QString keyMoved = QStringLiteral(
            "DROP TABLE Probe; CREATE TABLE Probe (ID int, cName nvarchar(20) NOT NULL PRIMARY KEY)");
        QTest::newRow("column added here") << "connection"
                                           << "ALTER TABLE Probe ADD cMemo nvarchar(200)"
                                           << "Probe"
                                           << "cMemo" << 202 << qint64(200) << false << true;
        QTest::newRow("column added under the connection")
            << "driver" << added << "Probe"
            << "cMemo" << 202 << qint64(200) << false << true;
        QTest::newRow("column added elsewhere") << "other" << added << "Probe"
                                                << "cMemo" << 202 << qint64(200) << false << true;
        QTest::newRow("column retyped under the connection")
            << "driver" << retyped << "Probe"
            << "cName" << 202 << qint64(60) << false << true;
        QTest::newRow("column retyped elsewhere") << "other" << retyped << "Probe"
                                                  << "cName" << 202 << qint64(60) << false << true;
        QTest::newRow("key moved under the connection")
            << "driver" << keyMoved << "Probe"
            << "cName" << 202 << qint64(20) << true << false;
        QTest::newRow("key moved elsewhere") << "other" << keyMoved << "Probe"
                                             << "cName" << 202 << qint64(20) << true << false;
        QTest::newRow("unchanged, same name in another table")
            << "none" << QString() << "Other"
            << "cName" << 203 << qint64(1073741823) << false << true;
        QTest::newRow("unchanged, same name in the first table")
            << "none" << QString() << "Probe"
            << "cName" << 202 << qint64(20) << false << false;
    }

    // Column descriptions are kept between reads; a table changed since, by whichever
    // connection, must read as it is now.
    void describedColumnsFollowTableChanges()
    {
        QFETCH(QString, route);
        QFETCH(QString, change);
        QFETCH(QString, table);
        QFETCH(QString, column);
        Connection &connection = m_fixture->connection();
        connection.execute(QStringLiteral("CREATE TABLE Probe (ID int PRIMARY KEY, "
                                          "cName nvarchar(20) NOT NULL)"));
        connection.execute(QStringLiteral("CREATE TABLE Other (ID int PRIMARY KEY, cName ntext)"));
        const auto read = [&](const QString &from) {
            auto rs = std::make_unique<Recordset>();
            rs->setCursorLocation(Recordset::UseClient);
            rs->open(QStringLiteral("SELECT * FROM ") + from, &connection, Recordset::OpenStatic,
                     Recordset::LockOptimistic);
            return rs;
        };
        // Both tables described once, one after the other, before the change.
        for (const QString &from : {QStringLiteral("Probe"), QStringLiteral("Other")}) {
            const auto rs = read(from);
            QCOMPARE(rs->field(QStringLiteral("cName")).type(), from == u"Probe" ? 202 : 203);
        }

        if (route == u"connection") {
            connection.execute(change);
        } else if (route == u"driver") {
            connection.driver().execute(change);
        } else if (route == u"other") {
            Connection other;
            other.open(m_fixture->connectionString());
            other.driver().execute(change);
            other.close();
        }

        const auto rs = read(table);
        const Field field = rs->field(column);
        QCOMPARE(field.name(), column);
        QTEST(field.type(), "type");
        QTEST(field.definedSize(), "size");
        QTEST(field.isKey(), "key");
        QTEST(field.isNullable(), "nullable");
        QCOMPARE(field.baseTable(), table);
    }

    void expressionColumnsTypedByValues_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("size");

        QTest::newRow("count") << "SELECT count(*) AS n FROM Item" << 3 << qint64(4);
        QTest::newRow("max of int") << "SELECT max(iQty) AS n FROM Item" << 3 << qint64(4);
        QTest::newRow("real literal") << "SELECT 1.5 AS n" << 5 << qint64(8);
        QTest::newRow("text literal") << "SELECT N'长度六的文本' AS n" << 202 << qint64(6);
        QTest::newRow("all null") << "SELECT max(iQty) AS n FROM Item WHERE 1 = 0" << 202
                                  << qint64(255);
    }

    void expressionColumnsTypedByValues()
    {
        QFETCH(QString, sql);
        insertItems(m_fixture->connection(), 3);
        Recordset rs;
        rs.open(sql, &m_fixture->connection(), Recordset::OpenStatic, Recordset::LockReadOnly);
        QTEST(rs.field(0).type(), "type");
        QTEST(rs.field(0).definedSize(), "size");
        QVERIFY(rs.field(0).baseTable().isEmpty());
    }

    void valuesReadBackByColumnType()
    {
        m_fixture->connection().driver().execute(QStringLiteral(
            "INSERT INTO Crm_Contact (ID, cContactCode, cContactName, iAge, iBig, bMajor, mAmount, "
            "dBirthday, bPic, cMemo) VALUES (7, '00000007', '张三', 30, 5000000000, 1, 12.5, "
            "'2024-03-01 08:30:00', x'0102', NULL)"));
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact"), &m_fixture->connection());
        QCOMPARE(rs.value("ID"), QVariant(7));
        QCOMPARE(rs.value("cContactName"), QVariant(QStringLiteral("张三")));
        QCOMPARE(rs.value("iAge"), QVariant(30));
        QCOMPARE(rs.value("iBig"), QVariant(qlonglong(5000000000)));
        QCOMPARE(rs.value("bMajor"), QVariant(true));
        QCOMPARE(rs.value("mAmount"), QVariant(12.5));
        QCOMPARE(rs.value("dBirthday"),
                 QVariant(QDateTime(QDate(2024, 3, 1), QTime(8, 30), Qt::UTC)));
        QCOMPARE(rs.value("bPic"), QVariant(QByteArray("\x01\x02", 2)));
        QVERIFY(rs.value("cMemo").isNull());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value("NoSuchColumn"));
    }

    void pagesSplitRecords_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("page");
        QTest::addColumn<qint64>("pageCount");
        QTest::addColumn<int>("firstId");
        QTest::addColumn<int>("rowsOnPage");

        QTest::newRow("first page") << 25 << 1 << qint64(3) << 1 << 10;
        QTest::newRow("middle page") << 25 << 2 << qint64(3) << 11 << 10;
        QTest::newRow("last page is partial") << 25 << 3 << qint64(3) << 21 << 5;
        QTest::newRow("exact fit") << 20 << 2 << qint64(2) << 11 << 10;
        QTest::newRow("single short page") << 4 << 1 << qint64(1) << 1 << 4;
    }

    void pagesSplitRecords()
    {
        QFETCH(int, rows);
        QFETCH(int, page);
        QFETCH(int, firstId);
        QFETCH(int, rowsOnPage);
        insertItems(m_fixture->connection(), rows);
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT * FROM Item ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        QCOMPARE(rs.pageSize(), 10);
        QCOMPARE(rs.recordCount(), rows);
        QTEST(rs.pageCount(), "pageCount");
        rs.setAbsolutePage(page);
        QCOMPARE(rs.absolutePage(), page);
        QCOMPARE(rs.value("ID").toInt(), firstId);
        int seen = 0;
        while (!rs.eof() && rs.absolutePage() == page) {
            ++seen;
            rs.moveNext();
        }
        QCOMPARE(seen, rowsOnPage);
    }

    void pagingOutsideRangeFails()
    {
        insertItems(m_fixture->connection(), 25);
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Item"), &m_fixture->connection(),
                Recordset::OpenStatic);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.setAbsolutePage(4));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.setAbsolutePage(0));
        rs.setPageSize(7);
        QCOMPARE(rs.pageCount(), 4);
    }

    void emptyResultHasNoPagesAndNoCurrentRecord()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Item"), &m_fixture->connection(),
                Recordset::OpenStatic);
        QCOMPARE(rs.state(), 1);
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(rs.pageCount(), 0);
        QVERIFY(rs.bof());
        QVERIFY(rs.eof());
        QCOMPARE(rs.fieldCount(), 4);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value(0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.moveNext());
    }

    void navigationStopsAtEnds()
    {
        insertItems(m_fixture->connection(), 3);
        Recordset rs;
        rs.open(QStringLiteral("SELECT ID FROM Item ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic);
        QVERIFY(!rs.bof());
        rs.moveLast();
        QCOMPARE(rs.value(0).toInt(), 3);
        QCOMPARE(rs.absolutePosition(), 3);
        rs.moveNext();
        QVERIFY(rs.eof());
        QCOMPARE(rs.absolutePosition(), Recordset::PositionEof);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.moveNext());
        rs.move(-2);
        QCOMPARE(rs.value(0).toInt(), 2);
        rs.move(-5);
        QVERIFY(rs.bof());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.movePrevious());
        rs.moveFirst();
        QCOMPARE(rs.value(0).toInt(), 1);
    }

    void forwardOnlyRefusesMovingBack()
    {
        insertItems(m_fixture->connection(), 3);
        Recordset rs;
        rs.open(QStringLiteral("SELECT ID FROM Item ORDER BY ID"), &m_fixture->connection());
        QCOMPARE(rs.recordCount(), 3);
        rs.moveNext();
        QVERIFY_THROWS_EXCEPTION(DbError, rs.movePrevious());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.move(-1));
        QCOMPARE(rs.value(0).toInt(), 2);
    }

    void filterSelectsMatchingRecords_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("ids");

        QTest::newRow("text equals") << "CItem='自定义项3'" << QList<int>{3};
        QTest::newRow("column name in any case") << "citem = '自定义项3'" << QList<int>{3};
        QTest::newRow("text is exact") << "CItem='自定义项'" << QList<int>{};
        QTest::newRow("doubled quote") << "CItem='O''Brien'" << QList<int>{5};
        QTest::newRow("number") << "iQty=2" << QList<int>{2, 6};
        QTest::newRow("and") << "iQty=2 AND CItem='other'" << QList<int>{6};
        QTest::newRow("or") << "CItem='自定义项3' OR CItem='O''Brien'" << QList<int>{3, 5};
        QTest::newRow("parentheses")
            << "(iQty=1 OR iQty=2) AND CItem<>'other'" << QList<int>{1, 2, 5};
        QTest::newRow("comparison") << "iQty>=3" << QList<int>{3, 7};
        QTest::newRow("like") << "CItem LIKE '自定义*'" << QList<int>{1, 2, 3, 4, 7};
        QTest::newRow("null") << "dWhen=NULL" << QList<int>{1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("empty clears") << "" << QList<int>{1, 2, 3, 4, 5, 6, 7};
    }

    void filterSelectsMatchingRecords()
    {
        QFETCH(QString, filter);
        QFETCH(QList<int>, ids);
        m_fixture->connection().execute(QStringLiteral(
            "INSERT INTO Item (ID, CItem, iQty) VALUES (1, N'自定义项1', 1), (2, N'自定义项2', 2), "
            "(3, N'自定义项3', 3), (4, N'自定义项4', 0), (5, N'O''Brien', 1), (6, N'other', 2), "
            "(7, N'自定义项5', 3)"));
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT * FROM Item ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.setFilter(QStringLiteral("iQty=3"));
        rs.setFilter(filter);
        QCOMPARE(rs.recordCount(), ids.size());
        QList<int> seen;
        for (; !rs.eof(); rs.moveNext())
            seen << rs.value("ID").toInt();
        QCOMPARE(seen, ids);
    }

    void malformedFilterKeepsPreviousOne_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("unknown column") << "NoSuch='x'";
        QTest::newRow("unterminated text") << "CItem='x";
        QTest::newRow("missing operator") << "CItem 'x'";
        QTest::newRow("unbalanced parenthesis") << "(iQty=1";
    }

    void malformedFilterKeepsPreviousOne()
    {
        QFETCH(QString, filter);
        insertItems(m_fixture->connection(), 8);
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Item"), &m_fixture->connection(),
                Recordset::OpenStatic);
        rs.setFilter(QStringLiteral("iQty=1"));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.setFilter(filter));
        QCOMPARE(rs.filter(), QStringLiteral("iQty=1"));
        QCOMPARE(rs.recordCount(), 2);
    }

    void manyRowsKeepTheirValues()
    {
        constexpr int rows = 5000; // spans many storage blocks
        m_fixture->connection().driver().execute(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
            "INSERT INTO Item (ID, CItem, iQty) SELECT i, '项' || i, CASE WHEN i % 3 = 0 THEN NULL "
            "ELSE i END FROM n"));
        Recordset rs;
        rs.open(QStringLiteral("SELECT ID, CItem, iQty FROM Item ORDER BY ID"),
                &m_fixture->connection(), Recordset::OpenStatic);
        QCOMPARE(rs.recordCount(), rows);
        for (int i = 1; i <= rows; ++i, rs.moveNext()) {
            QCOMPARE(rs.value(0).toInt(), i);
            QCOMPARE(rs.value(1).toString(), QStringLiteral("项%1").arg(i));
            QCOMPARE(rs.value(2).isNull(), i % 3 == 0);
        }
        QVERIFY(rs.eof());
    }

    void largeValuesReadBackWhole_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << 0;
        QTest::newRow("one block") << 100000;
        QTest::newRow("beyond a block") << 3 * 1024 * 1024;
    }

    void largeValuesReadBackWhole()
    {
        QFETCH(int, length);
        QString text(length, u'x');
        for (int i = 0; i < length; i += 997)
            text[i] = QChar(u'甲' + i % 50);
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.addNew();
        rs.setValue("cContactCode", QStringLiteral("00000001"));
        rs.setValue("cMemo", text);
        rs.setValue("bPic", QByteArray(length, '\x7f'));
        rs.update();
        Recordset stored;
        stored.open(QStringLiteral("SELECT cMemo, bPic FROM Crm_Contact"),
                    &m_fixture->connection());
        QCOMPARE(stored.value(0).toString(), text);
        QVERIFY(!stored.value(0).isNull());
        QCOMPARE(stored.value(1).toByteArray(), QByteArray(length, '\x7f'));
    }

    void cloneHasItsOwnCursor()
    {
        insertItems(m_fixture->connection(), 5);
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT * FROM Item ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.setFilter(QStringLiteral("iQty=1"));
        std::unique_ptr<Recordset> copy = rs.clone();
        QCOMPARE(copy->recordCount(), 5); // the filter is the original's own
        copy->moveLast();
        QCOMPARE(copy->value("ID").toInt(), 5);
        QCOMPARE(rs.value("ID").toInt(), 1);
        copy->close();
        QCOMPARE(rs.state(), 1);
        rs.moveNext();
        QCOMPARE(rs.value("ID").toInt(), 5);
    }

private:
    std::unique_ptr<DbTestFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
