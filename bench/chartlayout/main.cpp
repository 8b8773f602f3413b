// Times the chart control's tree and tidy layout (ChartForest + ChartLayout) on charts of 1,000
// and 10,000 contacts of the same shape, and the chart XML reading apart, and prints the
// 10,000 / 1,000 ratio of the least and the median times of each.

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

constexpr int kRuns = 41;
constexpr double kLargestRatio = 12.0;

// An organisation of `count` contacts: a few tops, managers with a handful of staff, a long
// chain or two, some stray and own-code superiors and a loop now and then.
QList<ChartEntry> organisation(int count)
{
    std::mt19937 random(20261206);
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

// One chart's inputs, made once.
struct Chart
{
    explicit Chart(int count)
        : entries(organisation(count))
        , xml(chartXml(entries))
        , forest(entries)
    {}
    QList<ChartEntry> entries;
    QString xml;
    ChartForest forest;
};

// Per chart, ms, one value per run.
struct Timing
{
    std::vector<double> forest; // who hangs under whom
    std::vector<double> layout; // the tidy layout of that forest
    std::vector<double> parse;  // reading the XML
};

// The work repeated until it has run for a few milliseconds, as time per run: a small chart and
// a large one are each timed over as many runs as fill the same span, so both are measured in
// the same steady state (a single run of the large chart against ten of the small one would
// time the small chart in warm caches only).
template<typename Work> double timed(Work work)
{
    constexpr qint64 kSpanNs = 5'000'000;
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    do {
        work();
        ++runs;
    } while (timer.nsecsElapsed() < kSpanNs);
    return double(timer.nsecsElapsed()) / 1e6 / runs;
}

void measure(const Chart &chart, Timing &into, std::size_t &placed)
{
    into.forest.push_back(timed([&] { placed += ChartForest(chart.entries).parents().size(); }));
    into.layout.push_back(
        timed([&] { placed += ChartLayout::layout(chart.forest.parents()).size(); }));
    into.parse.push_back(timed([&] { placed += ChartDocument::parse(chart.xml)->size(); }));
}

void printRow(const char *what, const Spread &small, const Spread &large)
{
    std::printf("%-16s min %8.3f / %8.3f  ratio %5.2fx | median %8.3f / %8.3f  ratio %5.2fx\n",
                what, small.min, large.min, large.min / small.min, small.median, large.median,
                large.median / small.median);
}

} // namespace

int main()
{
    // Memory freed by one run serves the next: the timings are the layout's own work, not the
    // kernel's zeroing of fresh pages, which glibc would otherwise ask for on every large chart.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    const Chart small(1000);
    const Chart large(10000);
    Timing smallTimes;
    Timing largeTimes;
    std::size_t placed = 0;
    measure(small, smallTimes, placed); // warm up allocators
    measure(large, largeTimes, placed);
    smallTimes = {};
    largeTimes = {};
    // Small and large timings alternate, so both meet the same interruptions from whatever else
    // the machine runs. The least time is the one least disturbed.
    for (int run = 0; run < kRuns; ++run) {
        measure(small, smallTimes, placed);
        measure(large, largeTimes, placed);
    }
    if (placed == 0)
        return 2;

    std::printf("chart of 1,000 / 10,000 contacts, %d runs each, ms per chart\n", kRuns);
    printRow("forest", spreadOf(smallTimes.forest), spreadOf(largeTimes.forest));
    printRow("layout", spreadOf(smallTimes.layout), spreadOf(largeTimes.layout));
    printRow("XML reading", spreadOf(smallTimes.parse), spreadOf(largeTimes.parse));
    std::vector<double> smallBoth;
    std::vector<double> largeBoth;
    for (int run = 0; run < kRuns; ++run) {
        smallBoth.push_back(smallTimes.forest[size_t(run)] + smallTimes.layout[size_t(run)]);
        largeBoth.push_back(largeTimes.forest[size_t(run)] + largeTimes.layout[size_t(run)]);
    }
    const Spread both = spreadOf(smallBoth);
    const Spread bothLarge = spreadOf(largeBoth);
    printRow("forest + layout", both, bothLarge);
    const double ratio = bothLarge.min / both.min;
    const bool ok = ratio <= kLargestRatio;
    std::printf("forest + layout, 10,000 / 1,000: %.2fx, limit %.0fx: %s\n", ratio, kLargestRatio,
                ok ? "OK" : "ABOVE THE LIMIT");
    return ok ? 0 : 1;
}
