// Times the chart control's tree and tidy layout (ChartForest + ChartLayout) on charts of 1,000
// and 10,000 contacts of the same shape, and the chart XML reading apart, each as the median of
// several runs, and prints the 10,000 / 1,000 ratio of each.

#include "suite/controls/chart/ChartDocument.h"
#include "suite/controls/chart/ChartForest.h"
#include "suite/controls/chart/ChartLayout.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace perikon::suite::chart;

namespace {

constexpr int kRuns = 15;
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

template<typename Work> double medianMs(Work work)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Timing
{
    double layout = 0; // forest and layout
    double parse = 0;  // reading the XML
};

Timing timeChart(int count)
{
    const QList<ChartEntry> entries = organisation(count);
    const QString xml = chartXml(entries);
    std::size_t placed = 0;
    Timing t;
    t.layout = medianMs([&] {
        const ChartForest forest(entries);
        placed += ChartLayout::layout(forest.parents()).size();
    });
    t.parse = medianMs([&] { placed += ChartDocument::parse(xml)->size(); });
    if (placed != std::size_t(count) * 2 * kRuns)
        std::fprintf(stderr, "placed %zu, expected %zu\n", placed, std::size_t(count) * 2 * kRuns);
    return t;
}

} // namespace

int main()
{
    timeChart(1000); // warm up allocators and caches
    const Timing small = timeChart(1000);
    const Timing large = timeChart(10000);
    const double layoutRatio = large.layout / small.layout;
    const double parseRatio = large.parse / small.parse;
    std::printf("chart of 1,000 / 10,000 contacts, median of %d runs, ms\n", kRuns);
    std::printf("forest + layout  %8.3f / %8.3f  ratio %5.2fx (limit %.0fx)\n", small.layout,
                large.layout, layoutRatio, kLargestRatio);
    std::printf("XML reading      %8.3f / %8.3f  ratio %5.2fx\n", small.parse, large.parse,
                parseRatio);
    const bool ok = layoutRatio <= kLargestRatio;
    std::printf("%s\n", ok ? "linear: OK" : "linear: ABOVE THE LIMIT");
    return ok ? 0 : 1;
}
