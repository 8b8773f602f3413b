// A page of a result as a cursor over the same rows: the list shows pages this way without
// copying them.

#include "support/DbTestFixture.h"

#include "perikon/data/db/Connection.h"
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

private:
    std::unique_ptr<DbTestFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestRecordsetSlice)
#include "tst_recordsetslice.moc"
