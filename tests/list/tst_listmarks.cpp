// Row marks in the list's selection column: what each operation leaves in column 1, and which
// rows the commands then read as marked.

#include "perikon/list/ListMarks.h"
#include "suite/controls/HostGrid.h"
#include "support/FailOnWarnings.h"

#include <QTest>

using namespace perikon;

namespace {

// A grid of `marks.size()` data rows whose selection column holds `marks`.
void fill(controls::HostGrid &grid, const QStringList &marks, int currentRow)
{
    grid.setRows(int(marks.size()) + 1);
    grid.setCols(3);
    for (int row = 1; row <= marks.size(); ++row) {
        grid.setTextMatrix(row, list::kMarkColumn, marks.at(row - 1));
        grid.setTextMatrix(row, 2, QStringLiteral("0000000%1").arg(row));
    }
    grid.setRow(currentRow);
}

QStringList selection(const controls::HostGrid &grid)
{
    QStringList texts;
    for (int row = 1; row < grid.Rows(); ++row)
        texts << grid.TextMatrix(row, list::kMarkColumn);
    return texts;
}

} // namespace

class tst_ListMarks : public QObject
{
    Q_OBJECT
private slots:
    void init() { testing::failOnUnexpectedWarnings(); }
    void operations_data();
    void operations();
    void markedRows_data();
    void markedRows();
};

void tst_ListMarks::operations_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("currentAfter");
    const QString m = list::kMarkText;
    QTest::newRow("mark all keeps what is marked")
        << QStringList{"", "x√", ""} << 1 << "all" << QStringList{m, "x√", m} << 1;
    QTest::newRow("clear all") << QStringList{m, "", m} << 2 << "clear" << QStringList{"", "", ""}
                               << 2;
    QTest::newRow("mark current") << QStringList{"", "", ""} << 2 << "mark"
                                  << QStringList{"", m, ""} << 2;
    QTest::newRow("mark with the header current marks the first row")
        << QStringList{"", ""} << 0 << "mark" << QStringList{m, ""} << 1;
    QTest::newRow("unmark current")
        << QStringList{m, m} << 2 << "unmark" << QStringList{m, ""} << 2;
    QTest::newRow("unmark an unmarked row leaves its text")
        << QStringList{"a", "b"} << 1 << "unmark" << QStringList{"a", "b"} << 1;
    QTest::newRow("click marks") << QStringList{"", ""} << 1 << "toggle" << QStringList{m, ""} << 1;
    QTest::newRow("click on a marked row unmarks it")
        << QStringList{m, ""} << 1 << "toggle" << QStringList{"", ""} << 1;
    QTest::newRow("click on the header marks nothing")
        << QStringList{"", ""} << 0 << "toggle" << QStringList{"", ""} << 0;
    QTest::newRow("no data rows: nothing to mark")
        << QStringList{} << 0 << "mark" << QStringList{} << 0;
}

void tst_ListMarks::operations()
{
    QFETCH(QStringList, before);
    QFETCH(int, currentRow);
    QFETCH(QString, operation);
    QFETCH(QStringList, after);
    QFETCH(int, currentAfter);
    controls::HostGrid grid;
    fill(grid, before, currentRow);
    if (operation == QLatin1String("all"))
        list::markAllRows(grid);
    else if (operation == QLatin1String("clear"))
        list::clearAllMarks(grid);
    else if (operation == QLatin1String("mark"))
        list::markCurrentRow(grid);
    else if (operation == QLatin1String("unmark"))
        list::unmarkCurrentRow(grid);
    else
        list::toggleCurrentRow(grid);
    QCOMPARE(selection(grid), after);
    QCOMPARE(grid.Row(), currentAfter);
    QVERIFY(grid.Redraw()); // the operations leave the grid drawing
}

void tst_ListMarks::markedRows_data()
{
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<bool>("markFirst");
    QTest::addColumn<QList<int>>("rows");
    const QStringList marks{list::kMarkText, "", "x√", "√"};
    QTest::newRow("anywhere in the text") << marks << false << QList<int>{1, 3, 4};
    QTest::newRow("a delete run wants it first") << marks << true << QList<int>{1, 4};
}

void tst_ListMarks::markedRows()
{
    QFETCH(QStringList, marks);
    QFETCH(bool, markFirst);
    QFETCH(QList<int>, rows);
    controls::HostGrid grid;
    fill(grid, marks, 0);
    QCOMPARE(list::markedRows(grid, markFirst), rows);
}

QTEST_MAIN(tst_ListMarks)
#include "tst_listmarks.moc"
