#include "support/DbTestFixture.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"

#include <pugixml.hpp>

#include <QtTest>

#include <memory>

using namespace perikon::db;
using perikon::db::test::DbTestFixture;

namespace {

const QString kSchema = QStringLiteral(
    "CREATE TABLE Crm_Contact (ID integer PRIMARY KEY, cContactCode nvarchar(20) NOT NULL, "
    "cContactName nvarchar(50), cMemo ntext, bMajor bit, mAmount money, dBirthday datetime, "
    "bPic image, qzts timestamp);"
    "INSERT INTO Crm_Contact VALUES "
    "  (1, '00000001', '张三', '', 1, 12.5, '2024-03-01 08:30:00', x'00ff10', 1001),"
    "  (2, '00000002', NULL, NULL, 0, NULL, NULL, NULL, 1002),"
    "  (3, '00000003', '  ', 'line1' || char(13) || char(10) || 'line2<&>', NULL, -0.1, NULL, x'', "
    "1003);");

// A bigint and an int column holding reals a driver can hand over; the last one is -2^63.
const QString kBigReals = QStringLiteral(
    "<recordset xmlns=\"urn:perikon:recordset\" version=\"1\"><columns>"
    "<column name=\"iBig\" type=\"20\" size=\"8\"/><column name=\"iCount\" type=\"3\" "
    "size=\"4\"/></columns><rows><row><r>4.9e23</r><r>-1e300</r></row>"
    "<row><r>12</r><r>-9223372036854775808</r></row></rows></recordset>");

} // namespace

class TestRecordsetXml : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<DbTestFixture>(kSchema);
        QVERIFY(m_fixture->isValid());
    }
    void cleanup() { m_fixture.reset(); }

    void savedRecordsetOpensWithSameColumnsAndValues()
    {
        Recordset original;
        original.setCursorLocation(Recordset::UseClient);
        original.open(QStringLiteral("SELECT * FROM Crm_Contact ORDER BY ID"),
                      &m_fixture->connection(), Recordset::OpenStatic, Recordset::LockOptimistic);
        const QString xml = original.saveXml();

        Recordset copy;
        copy.openXml(xml);
        QCOMPARE(copy.state(), 1);
        QCOMPARE(copy.activeConnection(), nullptr);
        QCOMPARE(copy.fieldCount(), original.fieldCount());
        QCOMPARE(copy.recordCount(), 3);
        for (int i = 0; i < original.fieldCount(); ++i) {
            QCOMPARE(copy.field(i).name(), original.field(i).name());
            QCOMPARE(copy.field(i).type(), original.field(i).type());
            QCOMPARE(copy.field(i).definedSize(), original.field(i).definedSize());
            QCOMPARE(copy.field(i).isNullable(), original.field(i).isNullable());
            QCOMPARE(copy.field(i).isKey(), original.field(i).isKey());
            QCOMPARE(copy.field(i).baseTable(), original.field(i).baseTable());
        }
        for (; !original.eof(); original.moveNext(), copy.moveNext()) {
            for (int i = 0; i < original.fieldCount(); ++i) {
                const QVariant expected = original.value(i);
                const QVariant actual = copy.value(i);
                QCOMPARE(actual, expected);
                QCOMPARE(actual.isNull(), expected.isNull()); // NULL and empty text differ
            }
        }
    }

    void nullAndEmptyTextSurviveTheRoundTrip()
    {
        Recordset original;
        original.open(QStringLiteral("SELECT cMemo, cContactName FROM Crm_Contact ORDER BY ID"),
                      &m_fixture->connection(), Recordset::OpenStatic);
        Recordset copy;
        copy.openXml(original.saveXml());
        QCOMPARE(copy.value(0), QVariant(QString("")));
        QVERIFY(!copy.value(0).isNull());
        QCOMPARE(copy.value(1), QVariant(QStringLiteral("张三")));
        copy.moveNext();
        QVERIFY(copy.value(0).isNull());
        QVERIFY(copy.value(1).isNull());
        copy.moveNext();
        QCOMPARE(copy.value(0).toString(), QStringLiteral("line1\r\nline2<&>"));
        QCOMPARE(copy.value(1).toString(), QStringLiteral("  "));
    }

    void savedRowsAreTheFilteredOnes()
    {
        Recordset original;
        original.open(QStringLiteral("SELECT * FROM Crm_Contact"), &m_fixture->connection(),
                      Recordset::OpenStatic);
        original.setFilter(QStringLiteral("cContactCode='00000002'"));
        Recordset copy;
        copy.openXml(original.saveXml());
        QCOMPARE(copy.recordCount(), 1);
        QCOMPARE(copy.value("ID").toInt(), 2);
    }

    void topZeroProbeGivesEmptyChangeablePage()
    {
        Recordset probe;
        probe.open(
            QStringLiteral("SELECT top 0  ID, cContactName, bMajor, dBirthday FROM Crm_Contact"),
            &m_fixture->connection(), Recordset::OpenStatic, Recordset::LockBatchOptimistic);
        pugi::xml_document schema;
        probe.saveXml(schema);
        probe.close();

        Recordset page;
        page.openXml(schema);
        QCOMPARE(page.recordCount(), 0);
        QVERIFY(page.eof());
        QCOMPARE(page.field("cContactName").type(), 202);
        QCOMPARE(page.field("cContactName").definedSize(), 50);

        Recordset rows;
        rows.open(QStringLiteral(
                      "SELECT ID, cContactName, bMajor, dBirthday FROM Crm_Contact ORDER BY ID"),
                  &m_fixture->connection(), Recordset::OpenStatic, Recordset::LockOptimistic);
        for (; !rows.eof(); rows.moveNext()) {
            page.addNew();
            for (int i = 0; i < rows.fieldCount(); ++i)
                page.setValue(i, rows.value(i));
        }
        page.update();
        QCOMPARE(page.recordCount(), 3);
        page.moveFirst();
        QCOMPARE(page.value("cContactName").toString(), QStringLiteral("张三"));
        QCOMPARE(page.value("bMajor"), QVariant(true));
        QCOMPARE(page.value("dBirthday"),
                 QVariant(QDateTime(QDate(2024, 3, 1), QTime(8, 30), Qt::UTC)));
        // The page refuses what its columns refuse.
        QVERIFY_THROWS_EXCEPTION(DbError, page.setValue("cContactName", QString(51, u'x')));
        // Nothing reached the database.
        QCOMPARE(rows.recordCount(), 3);
    }

    void foreignXmlIsRefused_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::newRow("not xml") << "<recordset";
        QTest::newRow("other document") << "<data><Crm_Contact/></data>";
        QTest::newRow("short row")
            << "<recordset xmlns=\"urn:perikon:recordset\" version=\"1\"><columns>"
               "<column name=\"a\" type=\"3\" size=\"4\"/><column name=\"b\" type=\"3\" "
               "size=\"4\"/>"
               "</columns><rows><row><i>1</i></row></rows></recordset>";
    }

    void foreignXmlIsRefused()
    {
        QFETCH(QString, xml);
        Recordset rs;
        QVERIFY_THROWS_EXCEPTION(DbError, rs.openXml(xml));
        QCOMPARE(rs.state(), 0);
    }

    // SQLite keeps a whole number too large for its integer type as a real, in any column.
    void realBeyondSixtyFourBitsInIntegerColumnReadsAsReal()
    {
        Recordset rs;
        rs.openXml(kBigReals);
        QCOMPARE(rs.value("iBig"), QVariant(4.9e23));
        QCOMPARE(rs.value("iCount"), QVariant(-1e300));
        rs.moveNext();
        QCOMPARE(rs.value("iBig"), QVariant::fromValue<qlonglong>(12));
        QCOMPARE(rs.value("iCount"), QVariant::fromValue<qlonglong>(-0x7fffffffffffffff - 1));
    }

    void realBeyondSixtyFourBitsIsRefusedByIntegerColumn()
    {
        Recordset rs;
        rs.openXml(kBigReals);
        try {
            rs.setValue("iBig", 1e300);
            QFAIL("a bigint column took 1e300");
        } catch (const DbError &e) {
            QVERIFY2(e.description().contains(QStringLiteral("arithmetic overflow")),
                     qPrintable(e.description()));
        }
        QCOMPARE(rs.value("iBig"), QVariant(4.9e23));
        rs.setValue("iBig", -9.2e18);
        QCOMPARE(rs.value("iBig"), QVariant::fromValue<qlonglong>(-9200000000000000000));
    }

private:
    std::unique_ptr<DbTestFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestRecordsetXml)
#include "tst_recordsetxml.moc"
