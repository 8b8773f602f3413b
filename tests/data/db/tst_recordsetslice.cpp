// A page of a result as a cursor over the same rows: the list shows pages this way without
// copying them.

#include "support/DbTestFixture.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"

#include <QtTest>

#include <memory>

using namespace perikon::db;
using perikon::db::test::DbTestFixture;

class TestRecordsetSlice : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_fixture = std::make_unique<DbTestFixture>(
            QStringLiteral("CREATE TABLE Item (ID int PRIMARY KEY, iQty int);"));
        QVERIFY(m_fixture->isValid());
        for (int i = 1; i <= 23; ++i)
            m_fixture->connection().execute(
                QStringLiteral("INSERT INTO Item (ID, iQty) VALUES (%1, %2)").arg(i).arg(i % 2));
    }
    void cleanup() { m_fixture.reset(); }

    void pages_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("first page") << "" << qint64(0) << qint64(5) << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("last, short page")
            << "" << qint64(20) << qint64(5) << QList<int>{21, 22, 23};
        QTest::newRow("beyond the end") << "" << qint64(30) << qint64(5) << QList<int>{};
        QTest::newRow("negative start") << "" << qint64(-3) << qint64(2) << QList<int>{1, 2};
        QTest::newRow("of the filtered records")
            << "iQty = 0" << qint64(2) << qint64(3) << QList<int>{6, 8, 10};
    }
    void pages()
    {
        QFETCH(QString, filter);
        QFETCH(qint64, first);
        QFETCH(qint64, count);
        QFETCH(QList<int>, ids);
        Recordset rs;
        rs.setCursorLocation(Recordset::UseClient);
        rs.open(QStringLiteral("SELECT ID, iQty FROM Item ORDER BY ID"), &m_fixture->connection(),
                Recordset::OpenStatic);
        if (!filter.isEmpty())
            rs.setFilter(filter);
        std::unique_ptr<Recordset> page = rs.slice(first, count);
        QCOMPARE(page->recordCount(), qint64(ids.size()));
        QList<int> seen;
        for (; !page->eof(); page->moveNext())
            seen.append(page->value(0).toInt());
        QCOMPARE(seen, ids);
        QCOMPARE(rs.recordCount(), filter.isEmpty() ? qint64(23) : qint64(11)); // whole result
    }

    void readPage_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<qint64>("askedPage");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<qint64>("pageCount");
        QTest::addColumn<int>("firstId");
        QTest::addColumn<int>("count");
        QTest::newRow("first page") << 23 << 10 << qint64(1) << qint64(1) << qint64(3) << 1 << 10;
        QTest::newRow("middle page") << 23 << 10 << qint64(2) << qint64(2) << qint64(3) << 11 << 10;
        QTest::newRow("short last page")
            << 23 << 10 << qint64(3) << qint64(3) << qint64(3) << 21 << 3;
        QTest::newRow("past the end: the last")
            << 23 << 10 << qint64(9) << qint64(3) << qint64(3) << 21 << 3;
        QTest::newRow("0: the last") << 23 << 10 << qint64(0) << qint64(3) << qint64(3) << 21 << 3;
        QTest::newRow("negative: the last")
            << 23 << 10 << qint64(-2) << qint64(3) << qint64(3) << 21 << 3;
        QTest::newRow("full last page, asked")
            << 20 << 10 << qint64(2) << qint64(2) << qint64(2) << 11 << 10;
        QTest::newRow("full last page, past the end")
            << 20 << 10 << qint64(3) << qint64(2) << qint64(2) << 11 << 10;
        QTest::newRow("one page, not full")
            << 9 << 10 << qint64(4) << qint64(1) << qint64(1) << 1 << 9;
        QTest::newRow("pages of one row")
            << 23 << 1 << qint64(17) << qint64(17) << qint64(23) << 17 << 1;
        QTest::newRow("one row") << 1 << 10 << qint64(1) << qint64(1) << qint64(1) << 1 << 1;
        QTest::newRow("no rows") << 0 << 10 << qint64(1) << qint64(0) << qint64(0) << 0 << 0;
        QTest::newRow("no rows, last asked")
            << 0 << 10 << qint64(0) << qint64(0) << qint64(0) << 0 << 0;
    }
    // Only one page is kept, but the page, its number and the count of pages are those of the whole
    // result, and so are its columns: an expression column's type and size follow every value of
    // the result, not only the page's (the one long text is in row 13, a real in row 5).
    void readPage()
    {
        QFETCH(int, rows);
        QFETCH(int, pageSize);
        QFETCH(qint64, askedPage);
        QFETCH(qint64, page);
        QFETCH(qint64, pageCount);
        QFETCH(int, firstId);
        QFETCH(int, count);
        const QString sql
            = QStringLiteral("SELECT ID, iQty, CASE ID WHEN 13 THEN 'thirteen characters' WHEN "
                             "5 THEN 2.5 ELSE iQty END AS vMixed, iQty * 2 AS nTwice FROM "
                             "Item WHERE ID <= %1 ORDER BY ID")
                  .arg(rows);
        Recordset whole;
        whole.setCursorLocation(Recordset::UseClient);
        whole.open(sql, &m_fixture->connection(), Recordset::OpenStatic);

        qint64 taken = askedPage, pages = -1;
        std::unique_ptr<Recordset> rs
            = Recordset::readPage(sql, &m_fixture->connection(), pageSize, taken, pages);
        QCOMPARE(taken, page);
        QCOMPARE(pages, pageCount);
        QCOMPARE(rs->state(), 1);
        QVERIFY(!rs->activeConnection());
        QCOMPARE(rs->recordCount(), qint64(count));
        QCOMPARE(rs->fieldCount(), whole.fieldCount());
        for (int j = 0; j < whole.fieldCount(); ++j) {
            QCOMPARE(rs->field(j).name(), whole.field(j).name());
            QCOMPARE(rs->field(j).type(), whole.field(j).type());
            QCOMPARE(rs->field(j).definedSize(), whole.field(j).definedSize());
        }
        if (count == 0)
            return;
        whole.setAbsolutePosition(firstId);
        for (rs->moveFirst(); !rs->eof(); rs->moveNext(), whole.moveNext()) {
            QCOMPARE(rs->value(0).toInt(), whole.value(0).toInt());
            for (int j = 1; j < whole.fieldCount(); ++j)
                QCOMPARE(rs->value(j), whole.value(j));
        }
        rs->moveFirst();
        QCOMPARE(rs->value(0).toInt(), firstId);
        rs->moveLast();
        QCOMPARE(rs->value(0).toInt(), firstId + count - 1);
    }

    void readPageOfAStatementWithoutRowsFails()
    {
        qint64 page = 1, pages = -1;
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 Recordset::readPage(QStringLiteral("UPDATE Item SET iQty = 7"),
                                                     &m_fixture->connection(), 10, page, pages));
        QCOMPARE(page, qint64(1));
        QCOMPARE(pages, qint64(-1));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 Recordset::readPage(QStringLiteral("SELECT ID FROM Item"),
                                                     &m_fixture->connection(), 0, page, pages));
    }

private:
    std::unique_ptr<DbTestFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestRecordsetSlice)
#include "tst_recordsetslice.moc"
