// Times GridSort on a shown list grid of realistic columns (row marks, Chinese names, codes,
// dates, amounts), each run from the same shuffled page, against std::stable_sort of an index
// vector over the same keys precomputed (the least any sort of the page must do), and against
// computing those keys and sorting (what the service itself must do before moving rows).

#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/GridSortOrder.h"
#include "suite/services/SuitePubService.h"

#include <QApplication>
#include <QCollator>
#include <QDate>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

using perikon::controls::HostGrid;
using namespace perikon::suite;

namespace {

constexpr int kRepeats = 7;

struct Stats
{
    double min = 0, median = 0, max = 0;
};

Stats statsOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

QList<QStringList> makePage(int rows)
{
    const QStringList surnames{"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                               "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
    const QStringList given{"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊",   "军",
                            "洋", "勇", "艳", "杰",   "娟", "涛", "明", "超", "秀兰", "霞"};
    std::mt19937 random(20261206);
    QList<QStringList> page;
    page.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const QString name
            = surnames.at(int(random() % surnames.size())) + given.at(int(random() % given.size()));
        const QString code
            = QStringLiteral("LX%1").arg(int(random() % 1000000), 6, 10, QChar(u'0'));
        const QDate day = QDate(2018, 1, 1).addDays(int(random() % 3000));
        const QString date = random() % 10 == 0 ? QString() : day.toString(u"yyyy-MM-dd");
        const QString amount = QString::number((int(random() % 2000000) - 500000) / 100.0, 'f', 2);
        const QString mark = random() % 5 == 0 ? QStringLiteral("√ ") : QString();
        page.append({mark, name, code, date, amount, QStringLiteral("13%1").arg(r, 9, 10, u'0'),
                     QStringLiteral("备注 %1").arg(r)});
    }
    return page;
}

void fill(HostGrid &grid, const QList<QStringList> &page)
{
    grid.setRedraw(false);
    grid.setRows(int(page.size()) + 1);
    grid.setCols(int(page.first().size()) + 1);
    for (int r = 1; r <= page.size(); ++r)
        grid.setRowTexts(r, page.at(r - 1));
    grid.setRedraw(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

template<typename Key> double timeStableSort(const std::vector<Key> &keys)
{
    std::vector<int> positions(keys.size());
    std::iota(positions.begin(), positions.end(), 0);
    QElapsedTimer timer;
    timer.start();
    std::stable_sort(positions.begin(), positions.end(),
                     [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    return timer.nsecsElapsed() / 1e6;
}

struct TextKey
{
    QCollatorSortKey key;
    bool operator<(const TextKey &other) const { return key.compare(other.key) < 0; }
};

// The bare sort of the column's keys; with `computeKeys` the keys are made inside the timing.
double bareSort(const std::vector<QString> &cells, ColumnKind kind, const QCollator &collator,
                bool computeKeys)
{
    QElapsedTimer timer;
    timer.start();
    double sortOnly = 0;
    switch (kind) {
    case ColumnKind::Number: {
        std::vector<double> keys;
        keys.reserve(cells.size());
        for (const QString &cell : cells)
            keys.push_back(gridNumber(cell).value_or(-1e300));
        sortOnly = timeStableSort(keys);
        break;
    }
    case ColumnKind::Date: {
        std::vector<qint64> keys;
        keys.reserve(cells.size());
        for (const QString &cell : cells)
            keys.push_back(gridDateTime(cell).value_or(-1));
        sortOnly = timeStableSort(keys);
        break;
    }
    case ColumnKind::Text: {
        std::vector<TextKey> keys;
        keys.reserve(cells.size());
        for (const QString &cell : cells)
            keys.push_back({collator.sortKey(cell)});
        sortOnly = timeStableSort(keys);
        break;
    }
    }
    return computeKeys ? timer.nsecsElapsed() / 1e6 : sortOnly;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(QByteArray(argv[1]).toInt(), 2) : 10000;
    setSessionLanguage(QStringLiteral("zh-CN"));
    const QCollator collator(QLocale(QStringLiteral("zh_CN")));
    const QList<QStringList> page = makePage(rows);

    HostGrid grid;
    grid.resize(1000, 700);
    grid.show();
    fill(grid, page);
    SuitePubService service;

    std::printf("GridSort of %d rows (zh-CN), %d runs each, ms: min / median / max\n", rows,
                kRepeats);
    const struct
    {
        const char *name;
        int col;
    } columns[] = {{"marks", 1}, {"name (CJK)", 2}, {"code", 3}, {"date", 4}, {"amount", 5}};
    for (const auto &column : columns) {
        std::vector<QString> cells;
        for (const QStringList &row : page)
            cells.push_back(row.at(column.col - 1));
        const ColumnKind kind = columnKind(cells);
        std::vector<double> sorts, orders, bare, bareWithKeys;
        const QLocale language(QStringLiteral("zh_CN"));
        for (int run = 0; run < kRepeats; ++run) {
            fill(grid, page); // every run starts from the same unsorted page
            grid.setRow(rows / 2);
            grid.setCol(column.col);
            QElapsedTimer timer;
            timer.start();
            service.GridSort(nullptr, &grid, run % 2 == 0 ? 1 : 2);
            // The views have heard of the new order; their repaint is timed apart, below.
            sorts.push_back(timer.nsecsElapsed() / 1e6);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QElapsedTimer orderTimer;
            orderTimer.start();
            const std::vector<int> order = sortedPositions(
                cells, run % 2 == 0 ? SortDirection::Ascending : SortDirection::Descending,
                language);
            orders.push_back(orderTimer.nsecsElapsed() / 1e6);
            if (order.size() != cells.size())
                return 1;
            bare.push_back(bareSort(cells, kind, collator, false));
            bareWithKeys.push_back(bareSort(cells, kind, collator, true));
        }
        const Stats s = statsOf(sorts);
        const Stats b = statsOf(bare);
        const Stats k = statsOf(bareWithKeys);
        const Stats o = statsOf(orders);
        std::printf("%-11s GridSort %7.2f / %7.2f / %7.2f | stable_sort of keys %6.2f / %6.2f / "
                    "%6.2f  ratio %5.2fx | keys+sort %6.2f / %6.2f / %6.2f  ratio %5.2fx\n",
                    column.name, s.min, s.median, s.max, b.min, b.median, b.max,
                    s.median / b.median, k.min, k.median, k.max, s.median / k.median);
        std::printf("%-11s   of which the order %6.2f / %6.2f / %6.2f\n", "", o.min, o.median,
                    o.max);
    }
    // What moving the rows and then repainting the shown page costs on its own.
    std::vector<int> reversed(static_cast<size_t>(rows));
    std::iota(reversed.rbegin(), reversed.rend(), 1);
    std::vector<double> moves, moveAndPaint;
    for (int run = 0; run < kRepeats; ++run) {
        QElapsedTimer timer;
        timer.start();
        grid.permuteRows(reversed);
        moves.push_back(timer.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        moveAndPaint.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats m = statsOf(moves);
    const Stats p = statsOf(moveAndPaint);
    std::printf("rows moved  %6.2f / %6.2f / %6.2f | with repaint %6.2f / %6.2f / %6.2f\n", m.min,
                m.median, m.max, p.min, p.median, p.max);
    return 0;
}
