// Sorting a page of the list grid: how a column's kind is read from its cells, the order of each
// kind in both directions, and the public service's sort on a real grid.

#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/GridSortOrder.h"
#include "suite/services/SuitePubService.h"
#include "support/FailOnWarnings.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QDate>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <random>

using namespace perikon;
using suite::ColumnKind;
using suite::SortDirection;

Q_DECLARE_METATYPE(ColumnKind)
Q_DECLARE_METATYPE(SortDirection)

namespace {

const QString kMark = QStringLiteral("√ ");

// Each row as [mark, name, code, date]; the grid's column 0 is left to its row numbers.
void fill(controls::HostGrid &grid, const QList<QStringList> &rows)
{
    grid.setRows(int(rows.size()) + 1);
    grid.setCols(5);
    grid.setRowTexts(0, {QStringLiteral("cMark"), QStringLiteral("cName"), QStringLiteral("cCode"),
                         QStringLiteral("dDate")});
    for (int row = 1; row <= rows.size(); ++row)
        grid.setRowTexts(row, rows.at(row - 1));
}

QList<QStringList> gridRows(const controls::HostGrid &grid)
{
    QList<QStringList> rows;
    for (int row = 1; row < grid.Rows(); ++row) {
        QStringList texts;
        for (int col = 1; col < grid.Cols(); ++col)
            texts << grid.TextMatrix(row, col);
        rows << texts;
    }
    return rows;
}

} // namespace

class tst_GridSort : public QObject
{
    Q_OBJECT
private slots:
    void init() { testing::failOnUnexpectedWarnings(); }
    void cleanup() { suite::setSessionLanguage(QStringLiteral("zh-CN")); }
    void columnKindFollowsEveryFilledCell_data();
    void columnKindFollowsEveryFilledCell();
    void cellsSortByTheirKind_data();
    void cellsSortByTheirKind();
    void pagesSortAsTheCollatorAndTheValuesOrderThem_data();
    void pagesSortAsTheCollatorAndTheValuesOrderThem();
    void gridRowsMoveWholeAndTheCurrentContactStays_data();
    void gridRowsMoveWholeAndTheCurrentContactStays();
    void nothingMovesWithoutASortableColumnOrRows_data();
    void nothingMovesWithoutASortableColumnOrRows();
};

void tst_GridSort::columnKindFollowsEveryFilledCell_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<ColumnKind>("kind");
    QTest::newRow("integers and decimals")
        << QStringList{"1", "-2.5", "+3", ".5"} << ColumnKind::Number;
    QTest::newRow("group separators") << QStringList{"1,234.50", "-12,000"} << ColumnKind::Number;
    QTest::newRow("blank cells do not count") << QStringList{"", "  ", "7"} << ColumnKind::Number;
    QTest::newRow("dates with and without time")
        << QStringList{"2026-01-02", "2025-12-31 23:59:59", ""} << ColumnKind::Date;
    QTest::newRow("one word makes text") << QStringList{"1", "2", "n/a"} << ColumnKind::Text;
    QTest::newRow("a date among numbers") << QStringList{"1", "2026-01-02"} << ColumnKind::Text;
    QTest::newRow("no such day") << QStringList{"2026-02-30"} << ColumnKind::Text;
    QTest::newRow("no such hour") << QStringList{"2026-02-03 24:00:00"} << ColumnKind::Text;
    QTest::newRow("exponent") << QStringList{"1e5"} << ColumnKind::Text;
    QTest::newRow("sign alone") << QStringList{"-"} << ColumnKind::Text;
    QTest::newRow("two points") << QStringList{"1.2.3"} << ColumnKind::Text;
    QTest::newRow("digits only are a number") << QStringList{"20260102"} << ColumnKind::Number;
    QTest::newRow("all blank") << QStringList{"", ""} << ColumnKind::Text;
    QTest::newRow("names") << QStringList{"张三", "Li"} << ColumnKind::Text;
}

void tst_GridSort::columnKindFollowsEveryFilledCell()
{
    QFETCH(QStringList, cells);
    QFETCH(ColumnKind, kind);
    const std::vector<QString> column(cells.cbegin(), cells.cend());
    QCOMPARE(suite::columnKind(column), kind);
}

void tst_GridSort::cellsSortByTheirKind_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<SortDirection>("direction");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QList<int>>("positions");
    const auto up = SortDirection::Ascending;
    const auto down = SortDirection::Descending;
    const QStringList numbers{"10", "-2", "3.5", "-10.25", "0", "1,000"};
    QTest::newRow("numbers by value, not by text")
        << numbers << up << "zh-CN" << QList<int>{3, 1, 4, 2, 0, 5};
    QTest::newRow("numbers descending")
        << numbers << down << "zh-CN" << QList<int>{5, 0, 2, 4, 1, 3};
    const QStringList dates{"2026-03-01", "2025-12-31 08:00:00", "2025-12-31", "2026-01-15"};
    QTest::newRow("dates by day and time") << dates << up << "zh-CN" << QList<int>{2, 1, 3, 0};
    QTest::newRow("dates descending") << dates << down << "zh-CN" << QList<int>{0, 3, 1, 2};
    // Code points would give 安 张 李 王 赵.
    const QStringList names{"张三", "李四", "王五", "安琪", "赵六"};
    QTest::newRow("Chinese names by pinyin") << names << up << "zh-CN" << QList<int>{3, 1, 2, 0, 4};
    QTest::newRow("Chinese names by pinyin descending")
        << names << down << "zh-CN" << QList<int>{4, 0, 2, 1, 3};
    QTest::newRow("Chinese names in English by code point")
        << names << up << "en-US" << QList<int>{3, 0, 1, 2, 4};
    QTest::newRow("English words ignore case first")
        << QStringList{"banana", "Cherry", "apple", "Banana"} << up << "en-US"
        << QList<int>{2, 0, 3, 1};
    const QStringList withBlanks{"b", "", "a", " "};
    QTest::newRow("blanks first ascending")
        << withBlanks << up << "zh-CN" << QList<int>{1, 3, 2, 0};
    QTest::newRow("blanks last descending")
        << withBlanks << down << "zh-CN" << QList<int>{0, 2, 1, 3};
    QTest::newRow("blank numbers last descending")
        << QStringList{"", "2", "10", ""} << down << "zh-CN" << QList<int>{2, 1, 0, 3};
    QTest::newRow("blank dates first ascending")
        << QStringList{"2026-01-02", "", "2026-01-01"} << up << "zh-CN" << QList<int>{1, 2, 0};
    const QStringList ties{"x", "a", "x", "a", "x"};
    QTest::newRow("equal cells keep their order ascending")
        << ties << up << "zh-CN" << QList<int>{1, 3, 0, 2, 4};
    QTest::newRow("equal cells keep their order descending")
        << ties << down << "zh-CN" << QList<int>{0, 2, 4, 1, 3};
    // Long enough that a sort which is not stable shows it.
    QStringList manyTies;
    QList<int> tiesFirst, tiesSecond;
    for (int i = 0; i < 64; ++i) {
        manyTies << (i % 3 == 0 ? "乙" : "甲");
        (i % 3 == 0 ? tiesSecond : tiesFirst) << i;
    }
    QTest::newRow("many equal names keep their order")
        << manyTies << up << "zh-CN" << tiesFirst + tiesSecond;
    QTest::newRow("many equal names keep their order descending")
        << manyTies << down << "zh-CN" << tiesSecond + tiesFirst;
    QTest::newRow("equal numbers written differently keep their order")
        << QStringList{"2.0", "1", "2", "1,000", "1000"} << up << "zh-CN"
        << QList<int>{1, 0, 2, 3, 4};
}

void tst_GridSort::cellsSortByTheirKind()
{
    QFETCH(QStringList, cells);
    QFETCH(SortDirection, direction);
    QFETCH(QString, language);
    QFETCH(QList<int>, positions);
    const std::vector<QString> column(cells.cbegin(), cells.cend());
    const std::vector<int> sorted
        = suite::sortedPositions(column, direction, QLocale(QString(language).replace(u'-', u'_')));
    QCOMPARE(QList<int>(sorted.cbegin(), sorted.cend()), positions);
}

// Random pages checked against a plain stable sort by the collator or by value: codes of letters
// and digits in both cases (which the sort orders without the collator), names, amounts, dates.
void tst_GridSort::pagesSortAsTheCollatorAndTheValuesOrderThem_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("language");
    QTest::addColumn<SortDirection>("direction");
    for (const char *kind : {"codes", "names", "amounts", "dates"}) {
        for (const char *language : {"zh-CN", "en-US"}) {
            for (const auto direction : {SortDirection::Ascending, SortDirection::Descending}) {
                QTest::addRow("%s %s %s", kind, language,
                              direction == SortDirection::Ascending ? "up" : "down")
                    << QString::fromLatin1(kind) << QString::fromLatin1(language) << direction;
            }
        }
    }
}

void tst_GridSort::pagesSortAsTheCollatorAndTheValuesOrderThem()
{
    QFETCH(QString, kind);
    QFETCH(QString, language);
    QFETCH(SortDirection, direction);
    std::mt19937 random(7);
    const auto pick = [&random](const QString &from) {
        return from.at(int(random() % std::uint32_t(from.size())));
    };
    const QString latin = QStringLiteral("aAbBzZ0190");
    const QStringList names{"张", "章", "李", "lǐ", "安", "Ann", "ann", "王"};
    std::vector<QString> cells;
    for (int i = 0; i < 2000; ++i) {
        QString cell;
        if (random() % 10 == 0) {
            cells.push_back(cell); // blank
            continue;
        }
        if (kind == QLatin1String("codes")) {
            for (int n = 1 + int(random() % 4); n > 0; --n)
                cell += pick(latin);
        } else if (kind == QLatin1String("names")) {
            cell = names.at(int(random() % names.size())) + names.at(int(random() % names.size()));
        } else if (kind == QLatin1String("amounts")) {
            cell = QString::number((double(random() % 20001) - 10000) / 8, 'f', 3);
        } else {
            cell = QDate(1999, 12, 30).addDays(int(random() % 800)).toString(u"yyyy-MM-dd");
            if (random() % 2)
                cell += QStringLiteral(" %1:00:00").arg(int(random() % 24), 2, 10, QChar(u'0'));
        }
        cells.push_back(cell);
    }
    const QLocale locale(QString(language).replace(u'-', u'_'));
    const QCollator collator(locale);
    // Blank is the smallest value; equal cells keep their order.
    const auto less = [&](int a, int b) {
        const QString &x = cells[size_t(a)];
        const QString &y = cells[size_t(b)];
        if (x.isEmpty() || y.isEmpty())
            return x.isEmpty() && !y.isEmpty();
        if (kind == QLatin1String("amounts"))
            return x.toDouble() < y.toDouble();
        if (kind == QLatin1String("dates")) {
            // A day alone is its midnight.
            const auto moment = [](const QString &text) {
                return text.size() == 10 ? text + QStringLiteral(" 00:00:00") : text;
            };
            return moment(x) < moment(y);
        }
        return collator.compare(x, y) < 0;
    };
    std::vector<int> expected(cells.size());
    std::iota(expected.begin(), expected.end(), 0);
    if (direction == SortDirection::Ascending)
        std::stable_sort(expected.begin(), expected.end(), less);
    else
        std::stable_sort(expected.begin(), expected.end(),
                         [&](int a, int b) { return less(b, a); });
    QCOMPARE(suite::sortedPositions(cells, direction, locale), expected);
}

void tst_GridSort::gridRowsMoveWholeAndTheCurrentContactStays_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("names ascending in Chinese") << "zh-CN" << 2 << 1 << QList<int>{3, 1, 2, 0};
    QTest::newRow("names descending in Chinese") << "zh-CN" << 2 << 2 << QList<int>{0, 2, 1, 3};
    QTest::newRow("names ascending in English") << "en-US" << 2 << 1 << QList<int>{3, 0, 1, 2};
    QTest::newRow("codes as numbers") << "zh-CN" << 3 << 1 << QList<int>{2, 3, 0, 1};
    QTest::newRow("dates descending, the blank last")
        << "zh-CN" << 4 << 2 << QList<int>{1, 0, 3, 2};
    QTest::newRow("marks first descending") << "zh-CN" << 1 << 2 << QList<int>{1, 3, 0, 2};
}

void tst_GridSort::gridRowsMoveWholeAndTheCurrentContactStays()
{
    QFETCH(QString, language);
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QList<int>, rows);
    suite::setSessionLanguage(language);
    const QList<QStringList> page{
        {"", "张三", "10", "2026-01-05"},
        {kMark, "李四", "200", "2026-03-01 09:30:00"},
        {"", "王五", "-3", ""},
        {kMark, "安琪", "7.5", "2025-12-31"},
    };
    controls::HostGrid grid;
    grid.resize(500, 300);
    grid.show();
    QAbstractItemModelTester tester(grid.model());
    fill(grid, page);
    grid.setRow(2); // 李四
    grid.setCol(column);
    const QStringList header = grid.headerTexts();

    suite::SuitePubService service;
    service.GridSort(nullptr, &grid, order);

    QList<QStringList> expected;
    for (int from : std::as_const(rows))
        expected << page.at(from);
    QCOMPARE(gridRows(grid), expected);
    QCOMPARE(grid.headerTexts(), header);
    QCOMPARE(grid.TextMatrix(1, 0), QString()); // the row numbers stay in place
    QCOMPARE(grid.rowTexts(1).at(0), QStringLiteral("1"));
    QCOMPARE(grid.TextMatrix(grid.Row(), 2), QStringLiteral("李四"));
    QCOMPARE(grid.Row(), int(rows.indexOf(1)) + 1);
    QCOMPARE(grid.Col(), column);
    QCOMPARE(grid.currentIndex().row(), grid.Row() - 1);
}

void tst_GridSort::nothingMovesWithoutASortableColumnOrRows_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::newRow("the fixed column current") << 3 << 0 << 1;
    QTest::newRow("one data row") << 1 << 2 << 2;
    QTest::newRow("no such order") << 3 << 2 << 3;
}

void tst_GridSort::nothingMovesWithoutASortableColumnOrRows()
{
    QFETCH(int, dataRows);
    QFETCH(int, column);
    QFETCH(int, order);
    const QList<QStringList> page{
        {"", "王五", "3", ""}, {kMark, "安琪", "1", ""}, {"", "张三", "2", ""}};
    controls::HostGrid grid;
    QAbstractItemModelTester tester(grid.model());
    fill(grid, page.mid(0, dataRows));
    grid.setRow(1);
    grid.setCol(column);
    const QList<QStringList> before = gridRows(grid);
    suite::SuitePubService service;
    service.GridSort(nullptr, &grid, order);
    QCOMPARE(gridRows(grid), before);
    QCOMPARE(grid.Row(), 1);
}

QTEST_MAIN(tst_GridSort)
#include "tst_gridsort.moc"
