#include "support/DbTestFixture.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"

#include <QtTest>

#include <functional>
#include <memory>

using namespace perikon::db;
using perikon::db::test::DbTestFixture;

Q_DECLARE_METATYPE(std::function<void(Recordset &)>)

namespace {

const QString kSchema = QStringLiteral(
    "CREATE TABLE Crm_Contact (ID integer PRIMARY KEY, "
    "OID nvarchar(40) NOT NULL DEFAULT (lower(hex(randomblob(16)))), "
    "cContactCode nvarchar(20) NOT NULL, cContactName nvarchar(50), "
    "bMajor bit NOT NULL DEFAULT 0, iAge smallint, iTiny tinyint, mAmount money, "
    "dBirthday datetime, dDay date, gRef uniqueidentifier, qzts timestamp);"
    "CREATE TRIGGER Crm_Contact_ins AFTER INSERT ON Crm_Contact BEGIN "
    "  UPDATE Crm_Contact SET qzts = 1000 + new.ID WHERE ID = new.ID; END;"
    "CREATE TRIGGER Crm_Contact_upd AFTER UPDATE ON Crm_Contact WHEN new.qzts IS old.qzts BEGIN "
    "  UPDATE Crm_Contact SET qzts = old.qzts + 1 WHERE ID = new.ID; END;"
    "INSERT INTO Crm_Contact (ID, cContactCode, cContactName) VALUES "
    "  (1, '00000001', '张三'), (2, '00000002', '李四'), (3, '00000003', '王五');"
    "CREATE TABLE NoKey (cName nvarchar(20), iQty int);"
    "INSERT INTO NoKey VALUES ('a', 1), ('b', NULL), ('c', 3);"
    "CREATE TABLE Customer (cCusCode nvarchar(20) PRIMARY KEY, cCusName nvarchar(98));");

QVariant scalar(Connection &connection, const QString &sql)
{
    auto cursor = connection.openCursor(sql);
    return cursor && cursor->next() ? cursor->value(0) : QVariant();
}

} // namespace

class TestRecordsetEdit : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<DbTestFixture>(kSchema);
        QVERIFY(m_fixture->isValid());
    }
    void cleanup() { m_fixture.reset(); }

    void addNewInsertsAndShowsDefaults()
    {
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT TOP 0 * FROM Crm_Contact"), &m_fixture->connection(),
                Recordset::OpenDynamic, Recordset::LockOptimistic);
        QCOMPARE(rs.recordCount(), 0);
        rs.addNew();
        QCOMPARE(rs.editMode(), Recordset::EditAdd);
        rs.setValue("cContactCode", QStringLiteral("00000004"));
        rs.setValue("cContactName", QStringLiteral("赵六"));
        rs.update();

        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.editMode(), Recordset::EditNone);
        QCOMPARE(rs.value("ID").toInt(), 4);
        QCOMPARE(rs.value("OID").toString().size(), 32);
        QCOMPARE(rs.value("bMajor"), QVariant(false));
        QCOMPARE(rs.value("qzts").toByteArray().toHex(), QByteArray("00000000000003ec")); // 1004
        QCOMPARE(
            scalar(m_fixture->connection(),
                   QStringLiteral(
                       "SELECT cContactName FROM Crm_Contact WHERE cContactCode = N'00000004'")),
            QVariant(QStringLiteral("赵六")));
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT OID FROM Crm_Contact WHERE ID = 4")),
                 rs.value("OID"));
    }

    void addNewWritesPendingRecordFirst()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT TOP 0 * FROM Crm_Contact"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        for (const char *code : {"00000011", "00000012"}) {
            rs.addNew();
            rs.setValue("cContactCode", QString::fromLatin1(code));
        }
        rs.update();
        QCOMPARE(scalar(m_fixture->connection(), QStringLiteral("SELECT count(*) FROM Crm_Contact"))
                     .toInt(),
                 5);
    }

    void updateChangesOnlyThatRow()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT TOP 1 * FROM Crm_Contact WHERE cContactCode = N'00000002'"),
                &m_fixture->connection(), Recordset::OpenDynamic, Recordset::LockOptimistic);
        const QByteArray versionBefore = rs.value("qzts").toByteArray();
        rs.setValue("cContactName", QStringLiteral("李四四"));
        rs.update();

        Recordset all;
        all.open(QStringLiteral("SELECT ID, cContactName FROM Crm_Contact ORDER BY ID"),
                 &m_fixture->connection());
        QStringList names;
        for (; !all.eof(); all.moveNext())
            names << all.value(1).toString();
        QCOMPARE(names, (QStringList{"张三", "李四四", "王五"}));
        // The row is read back after the update, so the version the database set is visible.
        QVERIFY(rs.value("qzts").toByteArray() != versionBefore);
    }

    void updateWritesOnlyChangedColumns()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact WHERE ID = 1"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        // Another user changes a column this recordset does not touch.
        Connection other;
        other.open(m_fixture->connectionString());
        other.execute(QStringLiteral("UPDATE Crm_Contact SET iAge = 44 WHERE ID = 1"));

        rs.setValue("cContactName", QStringLiteral("张三丰"));
        rs.update();
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT iAge FROM Crm_Contact WHERE ID = 1"))
                     .toInt(),
                 44);
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT cContactName FROM Crm_Contact WHERE ID = 1"))
                     .toString(),
                 QStringLiteral("张三丰"));
    }

    void rowDeletedElsewhereCannotBeLocated_data()
    {
        QTest::addColumn<bool>("deleting");
        QTest::newRow("update") << false;
        QTest::newRow("delete") << true;
    }

    void rowDeletedElsewhereCannotBeLocated()
    {
        QFETCH(bool, deleting);
        Recordset rs;
        rs.open(QStringLiteral("SELECT TOP 1 * FROM Crm_Contact WHERE cContactCode = N'00000003'"),
                &m_fixture->connection(), Recordset::OpenDynamic, Recordset::LockOptimistic);
        Connection other;
        other.open(m_fixture->connectionString());
        other.execute(QStringLiteral("DELETE FROM Crm_Contact WHERE cContactCode = N'00000003'"));
        try {
            if (deleting) {
                rs.deleteCurrent();
            } else {
                rs.setValue("cContactName", QStringLiteral("x"));
                rs.update();
            }
            QFAIL("the vanished row was written");
        } catch (const DbError &error) {
            QCOMPARE(error.number(), DbError::RowNotLocated);
            QCOMPARE(error.number(), qint64(-2147217864));
        }
    }

    void deleteRemovesRowAndRecord()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.moveNext();
        rs.deleteCurrent();
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.value("ID").toInt(), 3);
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT count(*) FROM Crm_Contact WHERE ID = 2"))
                     .toInt(),
                 0);
    }

    void tableWithoutKeyIsFoundByOriginalValues()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM NoKey WHERE cName = N'b'"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.setValue("iQty", 7); // the original NULL must match too
        rs.update();
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT iQty FROM NoKey WHERE cName = N'b'"))
                     .toInt(),
                 7);
        QCOMPARE(
            scalar(m_fixture->connection(), QStringLiteral("SELECT sum(iQty) FROM NoKey")).toInt(),
            11);

        // The row changed underneath: its original values no longer find it.
        m_fixture->connection().execute(
            QStringLiteral("UPDATE NoKey SET iQty = 8 WHERE cName = N'b'"));
        rs.setValue("iQty", 9);
        try {
            rs.update();
            QFAIL("a changed row was overwritten");
        } catch (const DbError &error) {
            QCOMPARE(error.number(), DbError::RowNotLocated);
        }
    }

    void readOnlyRefusesChanges_data()
    {
        QTest::addColumn<std::function<void(Recordset &)>>("change");
        QTest::newRow("set value") << std::function<void(Recordset &)>(
            [](Recordset &rs) { rs.setValue("cContactName", QStringLiteral("x")); });
        QTest::newRow("add") << std::function<void(Recordset &)>(
            [](Recordset &rs) { rs.addNew(); });
        QTest::newRow("delete") << std::function<void(Recordset &)>(
            [](Recordset &rs) { rs.deleteCurrent(); });
    }

    void readOnlyRefusesChanges()
    {
        QFETCH(std::function<void(Recordset &)>, change);
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact"), &m_fixture->connection(),
                Recordset::OpenForwardOnly, Recordset::LockReadOnly);
        try {
            change(rs);
            QFAIL("a read-only recordset changed");
        } catch (const DbError &error) {
            QCOMPARE(error.number(), DbError::InvalidState);
        }
        QCOMPARE(scalar(m_fixture->connection(), QStringLiteral("SELECT count(*) FROM Crm_Contact"))
                     .toInt(),
                 3);
        QCOMPARE(rs.value("cContactName").toString(), QStringLiteral("张三"));
    }

    void joinedRowsAreNotWritten()
    {
        m_fixture->connection().execute(
            QStringLiteral("INSERT INTO Customer VALUES (N'C1', N'客户一')"));
        Recordset rs;
        rs.open(QStringLiteral("SELECT c.cContactName, k.cCusName FROM Crm_Contact c LEFT JOIN "
                               "Customer k ON k.cCusCode = N'C1'"),
                &m_fixture->connection(), Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.setValue(0, QStringLiteral("x"));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.update());
        rs.cancelUpdate();
        QCOMPARE(rs.value(0).toString(), QStringLiteral("张三"));
    }

    void disconnectedChangesStayLocal()
    {
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockBatchOptimistic);
        rs.setActiveConnection(nullptr);
        rs.setValue("cContactName", QStringLiteral("本地"));
        rs.update();
        rs.addNew();
        rs.setValue("cContactCode", QStringLiteral("00000009"));
        rs.update();
        rs.moveFirst();
        rs.deleteCurrent();

        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(rs.value("cContactName").toString(), QStringLiteral("李四"));
        QCOMPARE(scalar(m_fixture->connection(), QStringLiteral("SELECT count(*) FROM Crm_Contact"))
                     .toInt(),
                 3);
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT cContactName FROM Crm_Contact WHERE ID = 1"))
                     .toString(),
                 QStringLiteral("张三"));
    }

    void cancelUpdateRestoresValues()
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.setValue("cContactName", QStringLiteral("x"));
        rs.cancelUpdate();
        QCOMPARE(rs.value("cContactName").toString(), QStringLiteral("张三"));
        rs.addNew();
        rs.cancelUpdate();
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT cContactName FROM Crm_Contact WHERE ID = 1"))
                     .toString(),
                 QStringLiteral("张三"));
    }

    void valuesWithQuotesAreStoredVerbatim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("single quote") << "O'Brien";
        QTest::newRow("doubled quotes") << "a''b'''";
        QTest::newRow("statement text") << "x'); DELETE FROM Crm_Contact; --";
        QTest::newRow("ampersand and brackets") << "A&B <C> [D]";
    }

    void valuesWithQuotesAreStoredVerbatim()
    {
        QFETCH(QString, text);
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact WHERE ID = 1"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        rs.setValue("cContactName", text);
        rs.update();
        QCOMPARE(scalar(m_fixture->connection(),
                        QStringLiteral("SELECT cContactName FROM Crm_Contact WHERE ID = 1"))
                     .toString(),
                 text);
        QCOMPARE(scalar(m_fixture->connection(), QStringLiteral("SELECT count(*) FROM Crm_Contact"))
                     .toInt(),
                 3);
    }

    void assignedValuesAreConverted_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("assigned");
        QTest::addColumn<QVariant>("readBack"); // invalid: the column refuses the value

        QTest::newRow("bit from True") << "bMajor" << QVariant("True") << QVariant(true);
        QTest::newRow("bit from false any case")
            << "bMajor" << QVariant("fALSE") << QVariant(false);
        QTest::newRow("bit from 1") << "bMajor" << QVariant("1") << QVariant(true);
        QTest::newRow("bit from number") << "bMajor" << QVariant(0) << QVariant(false);
        QTest::newRow("bit refuses words") << "bMajor" << QVariant("yes") << QVariant();
        QTest::newRow("smallint from text") << "iAge" << QVariant(" 42 ") << QVariant(42);
        QTest::newRow("smallint from True") << "iAge" << QVariant("True") << QVariant(1);
        QTest::newRow("smallint refuses text") << "iAge" << QVariant("abc") << QVariant();
        QTest::newRow("smallint overflow") << "iAge" << QVariant(40000) << QVariant();
        QTest::newRow("tinyint refuses negative") << "iTiny" << QVariant(-1) << QVariant();
        QTest::newRow("money from text") << "mAmount" << QVariant("12.345") << QVariant(12.345);
        QTest::newRow("money rounds to four places")
            << "mAmount" << QVariant(1.234567) << QVariant(1.2346);
        QTest::newRow("money refuses text") << "mAmount" << QVariant("twelve") << QVariant();
        QTest::newRow("datetime from ISO date")
            << "dBirthday" << QVariant("2024-03-01")
            << QVariant(QDateTime(QDate(2024, 3, 1), QTime(0, 0), Qt::UTC));
        QTest::newRow("datetime from slashes")
            << "dBirthday" << QVariant("2024/3/1 8:05:09")
            << QVariant(QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9), Qt::UTC));
        QTest::newRow("datetime from T form")
            << "dBirthday" << QVariant("2024-03-01T10:11:12")
            << QVariant(QDateTime(QDate(2024, 3, 1), QTime(10, 11, 12), Qt::UTC));
        QTest::newRow("datetime from QDate")
            << "dBirthday" << QVariant(QDate(1999, 12, 31))
            << QVariant(QDateTime(QDate(1999, 12, 31), QTime(0, 0), Qt::UTC));
        QTest::newRow("datetime refuses invalid day")
            << "dBirthday" << QVariant("2024-02-30") << QVariant();
        QTest::newRow("datetime refuses before 1753")
            << "dBirthday" << QVariant("1700-01-01") << QVariant();
        QTest::newRow("datetime refuses words")
            << "dBirthday" << QVariant("tomorrow") << QVariant();
        QTest::newRow("date") << "dDay" << QVariant("2024-3-1")
                              << QVariant(QDateTime(QDate(2024, 3, 1), QTime(0, 0), Qt::UTC));
        QTest::newRow("nvarchar at its size")
            << "cContactName" << QVariant(QString(50, u'字')) << QVariant(QString(50, u'字'));
        QTest::newRow("nvarchar over its size")
            << "cContactName" << QVariant(QString(51, u'字')) << QVariant();
        QTest::newRow("empty text")
            << "cContactName" << QVariant(QString("")) << QVariant(QString(""));
        QTest::newRow("null") << "cContactName" << QVariant() << QVariant();
        QTest::newRow("guid") << "gRef" << QVariant("6f9619ff-8b86-d011-b42d-00c04fc964ff")
                              << QVariant("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
        QTest::newRow("guid refuses text") << "gRef" << QVariant("not-a-guid") << QVariant();
    }

    void assignedValuesAreConverted()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, assigned);
        QFETCH(QVariant, readBack);
        Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Crm_Contact WHERE ID = 1"), &m_fixture->connection(),
                Recordset::OpenStatic, Recordset::LockOptimistic);
        const bool refused = !readBack.isValid() && assigned.isValid();
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(DbError, rs.setValue(column, assigned));
            return;
        }
        rs.setValue(column, assigned);
        rs.update();
        Recordset stored;
        stored.open(QStringLiteral("SELECT * FROM Crm_Contact WHERE ID = 1"),
                    &m_fixture->connection());
        QCOMPARE(stored.value(column), readBack);
        QCOMPARE(stored.value(column).isNull(), !readBack.isValid());
    }

private:
    std::unique_ptr<DbTestFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestRecordsetEdit)
#include "tst_recordsetedit.moc"
