// Times the chart control's tree and tidy layout (ChartForest, then ChartLayout, as the control
// runs them once the XML is read) on charts of 1,000 and 10,000 contacts of the same shape, each
// part alone, the two together and the XML reading, and prints the 10,000 / 1,000 ratio of the
// least and the median times of each. The verdict is on the two together.
//
// Every run takes the next of several different charts of its size. Laying out one chart over
// and over lets the processor learn that chart's every branch: a small chart is then timed at
// well under what laying out a new one costs, and the ratio says more about the branch
// predictor's memory than about the layout. A clerk never lays out the same chart twice in a
// row. Before each run its input is read through once, as reading the XML leaves it in cache.

#include "suite/controls/chart/ChartDocument.h"
#include "suite/controls/chart/ChartForest.h"
#include "suite/controls/chart/ChartLayout.h"

#include <QElapsedTimer>
#include <QString>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace perikon::suite::chart;

namespace {

// Charts per size, taken in turn; more than the branch predictor can tell apart.
constexpr int kCharts = 16;
// Rounds of ten small runs and a large one.
constexpr int kRounds = 120;
constexpr double kLargestRatio = 12.0;

// An organisation of `count` contacts: a few tops, managers with a handful of staff, a long
// chain or two, some stray and own-code superiors and a loop now and then.
QList<ChartEntry> organisation(int count, unsigned seed)
{
    std::mt19937 random(seed);
    QList<ChartEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString superior;
        const unsigned kind = random() % 100;
        if (i == 0 || kind < 2)
            superior = QStringLiteral("NULL");
        else if (kind < 4)
            superior = QStringLiteral("OTHER%1").arg(i);
        else if (kind < 5)
            superior = QStringLiteral("C%1").arg(i);
        else if (kind < 6)
            superior = QStringLiteral("C%1").arg(random() % unsigned(count)); // may loop
        else if (kind < 20)
            superior = QStringLiteral("C%1").arg(i - 1); // chains
        else
            superior = QStringLiteral("C%1").arg(random() % unsigned(i)); // bushy
        entries.append({QStringLiteral("C%1").arg(i), QStringLiteral("联系人%1").arg(i),
                        QStringLiteral("经理"), superior});
    }
    return entries;
}

QString chartXml(const QList<ChartEntry> &entries)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding= \"UTF-8\"?><Chart Name = \"c\" "
                                 "Type = \"Organization\"><Picture><ReportTrees><Report>");
    for (const ChartEntry &e : entries)
        xml += QStringLiteral(
                   "<Contract Code = \"%1\" Name = \"%2\" Duty = \"%3\" Superior =\"%4\"/>")
                   .arg(e.code, e.name, e.duty, e.superior);
    return xml + QStringLiteral("</Report></ReportTrees></Picture></Chart>");
}

// One chart's inputs, made once.
struct Chart
{
    Chart(int count, unsigned seed)
        : entries(organisation(count, seed))
        , xml(chartXml(entries))
        , forest(entries)
    {}
    QList<ChartEntry> entries;
    QString xml;
    ChartForest forest;
};

// Reads what a run is about to read, as the step before it would have left it in cache.
std::size_t warm(const QList<ChartEntry> &entries)
{
    std::size_t sum = 0;
    for (const ChartEntry &e : entries) {
        for (const QString *text : {&e.code, &e.name, &e.duty, &e.superior}) {
            for (const QChar c : *text)
                sum += c.unicode();
        }
    }
    return sum;
}

std::size_t warm(const std::vector<int> &parents)
{
    std::size_t sum = 0;
    for (const int p : parents)
        sum += std::size_t(p);
    return sum;
}

// Microseconds per run, small and large charts.
struct Series
{
    std::vector<double> small;
    std::vector<double> large;
};

// One piece of work over the charts in turn. Small and large runs alternate, ten small ones to a
// large one, so both meet the same interruptions from whatever else the machine runs; the first
// round warms up the allocators and is not counted. `work` reads a chart and returns something
// of the result, so that nothing is optimised away; `prepare`, untimed, reads its input first.
template<typename Prepare, typename Work>
Series series(const std::vector<Chart> &small, const std::vector<Chart> &large, Prepare prepare,
              Work work, std::size_t &kept)
{
    Series times;
    const auto run = [&](const Chart &chart, std::vector<double> &into) {
        kept += prepare(chart);
        QElapsedTimer timer;
        timer.start();
        kept += work(chart);
        into.push_back(double(timer.nsecsElapsed()) / 1e3);
    };
    for (int round = 0; round <= kRounds; ++round) {
        if (round == 1)
            times = {};
        for (int i = 0; i < 10; ++i)
            run(small[size_t(round * 10 + i) % small.size()], times.small);
        run(large[size_t(round) % large.size()], times.large);
    }
    return times;
}

struct Spread
{
    double min = 0;
    double median = 0;
};

Spread spreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void printRow(const char *what, const Series &times)
{
    const Spread s = spreadOf(times.small);
    const Spread l = spreadOf(times.large);
    std::printf("%-16s min %8.1f / %8.1f  ratio %5.2fx | median %8.1f / %8.1f  ratio %5.2fx\n",
                what, s.min, l.min, l.min / s.min, s.median, l.median, l.median / s.median);
}

} // namespace

int main()
{
    // Memory freed by one run serves the next: the timings are the layout's own work, not the
    // kernel's zeroing of fresh pages, which glibc would otherwise ask for on every large chart.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    std::vector<Chart> small;
    std::vector<Chart> large;
    for (unsigned k = 0; k < kCharts; ++k) {
        small.emplace_back(1000, 20261206 + k);
        large.emplace_back(10000, 20261206 + k);
    }
    std::size_t kept = 0;
    const auto entries = [](const Chart &chart) {
        return warm(chart.entries);
    };
    const auto parents = [](const Chart &chart) {
        return warm(chart.forest.parents());
    };
    const auto nothing = [](const Chart &) {
        return std::size_t(0);
    };
    const Series forest = series(
        small, large, entries,
        [](const Chart &chart) { return ChartForest(chart.entries).parents().size(); }, kept);
    const Series layout = series(
        small, large, parents,
        [](const Chart &chart) { return ChartLayout::layout(chart.forest.parents()).size(); },
        kept);
    // The two as the chart control runs them once the XML is read.
    const Series both = series(
        small, large, entries,
        [](const Chart &chart) {
            const ChartForest forest(chart.entries);
            return ChartLayout::layout(forest.parents()).size();
        },
        kept);
    const Series parse = series(
        small, large, nothing,
        [](const Chart &chart) { return ChartDocument::parse(chart.xml)->size(); }, kept);
    if (kept == 0)
        return 2;

    std::printf("charts of 1,000 / 10,000 contacts, %d of each size in turn, %zu / %zu runs, "
                "microseconds per chart\n",
                kCharts, both.small.size(), both.large.size());
    printRow("forest", forest);
    printRow("layout", layout);
    printRow("XML reading", parse);
    printRow("forest + layout", both);
    const double ratio = spreadOf(both.large).min / spreadOf(both.small).min;
    const bool ok = ratio <= kLargestRatio;
    std::printf("forest + layout, 10,000 / 1,000: %.2fx, limit %.0fx: %s\n", ratio, kLargestRatio,
                ok ? "OK" : "ABOVE THE LIMIT");
    return ok ? 0 : 1;
}
