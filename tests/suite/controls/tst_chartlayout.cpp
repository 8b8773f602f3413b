// The chart control's tree: who hangs under whom when superiors loop, point at themselves or at
// contacts outside the chart, and the tidy layout of any forest: every contact placed once, no
// two boxes of a level overlapping, every superior centred over its subordinates.

#include "suite/controls/chart/ChartForest.h"
#include "suite/controls/chart/ChartLayout.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <map>

using namespace perikon::suite::chart;

namespace {

// "code>superior" per entry, blank-separated; "code" alone has no superior.
QList<ChartEntry> entriesOf(const QString &written)
{
    QList<ChartEntry> entries;
    for (const QString &item : written.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u'>');
        entries.append({parts[0], QStringLiteral("name"), QStringLiteral("NULL"),
                        parts.size() > 1 ? parts[1] : QStringLiteral("NULL")});
    }
    return entries;
}

// "code>parentcode" per entry, "code" for a root, "code!" for a root where a loop was cut.
QString forestOf(const QList<ChartEntry> &entries)
{
    const ChartForest forest(entries);
    QStringList out;
    for (int i = 0; i < forest.size(); ++i) {
        QString item = entries[i].code;
        if (forest.parent(i) >= 0)
            item += u'>' + entries[forest.parent(i)].code;
        if (forest.isCycleCut(i))
            item += u'!';
        out << item;
    }
    return out.join(u' ');
}

// Checks what every tidy layout promises; empty when it holds, else what broke.
QString layoutFaults(const std::vector<int> &parents)
{
    const std::vector<ChartLayout::Position> places = ChartLayout::layout(parents);
    if (places.size() != parents.size())
        return QStringLiteral("%1 places for %2 nodes").arg(places.size()).arg(parents.size());
    const int n = int(parents.size());
    std::vector<std::vector<int>> children(static_cast<size_t>(n));
    double leftmost = 1e300;
    for (int v = 0; v < n; ++v) {
        leftmost = std::min(leftmost, places[size_t(v)].x);
        const int p = parents[size_t(v)];
        if (p >= 0)
            children[size_t(p)].push_back(v);
        const int depth = p < 0 ? 0 : places[size_t(p)].depth + 1;
        if (places[size_t(v)].depth != depth)
            return QStringLiteral("node %1 at depth %2, not %3")
                .arg(v)
                .arg(places[size_t(v)].depth)
                .arg(depth);
    }
    if (n > 0 && qAbs(leftmost) > 1e-9)
        return QStringLiteral("leftmost node at %1").arg(leftmost);
    constexpr double kEpsilon = 1e-6;
    for (int v = 0; v < n; ++v) {
        const std::vector<int> &below = children[size_t(v)];
        if (below.empty())
            continue;
        const double middle
            = (places[size_t(below.front())].x + places[size_t(below.back())].x) / 2;
        if (qAbs(places[size_t(v)].x - middle) > kEpsilon)
            return QStringLiteral("node %1 at %2, its children centre at %3")
                .arg(v)
                .arg(places[size_t(v)].x)
                .arg(middle);
        for (size_t i = 1; i < below.size(); ++i) {
            if (places[size_t(below[i])].x <= places[size_t(below[i - 1])].x)
                return QStringLiteral("children of %1 out of order").arg(v);
        }
    }
    // Per level, in order of place: neighbours at least one unit apart.
    std::map<int, std::vector<double>> levels;
    for (const ChartLayout::Position &p : places)
        levels[p.depth].push_back(p.x);
    for (auto &[depth, xs] : levels) {
        std::sort(xs.begin(), xs.end());
        for (size_t i = 1; i < xs.size(); ++i) {
            if (xs[i] - xs[i - 1] < 1 - kEpsilon)
                return QStringLiteral("level %1: boxes at %2 and %3 overlap")
                    .arg(depth)
                    .arg(xs[i - 1])
                    .arg(xs[i]);
        }
    }
    return {};
}

// A random forest: each node's parent is an earlier node, or none.
std::vector<int> randomForest(int n, int rootEvery, int spread, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<int> parents(size_t(n), -1);
    for (int v = 1; v < n; ++v) {
        if (random.bounded(rootEvery) == 0)
            continue;
        const int window = std::min(v, spread);
        parents[size_t(v)] = v - 1 - int(random.bounded(window));
    }
    return parents;
}

} // namespace

class tst_ChartLayout : public QObject
{
    Q_OBJECT
private slots:
    void superiorsMakeTheForest_data();
    void superiorsMakeTheForest();
    void smallTreesLandWhereADrawerPutsThem_data();
    void smallTreesLandWhereADrawerPutsThem();
    void everyLayoutIsTidy_data();
    void everyLayoutIsTidy();
    void deepChainNeedsNoRecursion();
    void subordinatesHangUnderTheFirstOfTwinCodes();
    void chartOfThousandsPlacesEveryContactOnce();
};

void tst_ChartLayout::superiorsMakeTheForest_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("forest");
    QTest::newRow("plain tree") << "A B>A C>A D>B"
                                << "A B>A C>A D>B";
    QTest::newRow("subordinate listed before its superior") << "B>A A"
                                                            << "B>A A";
    QTest::newRow("own superior is a root") << "A>A B>A"
                                            << "A B>A";
    QTest::newRow("superior outside the chart is a root") << "A>ZZ B>A C>other"
                                                          << "A B>A C";
    QTest::newRow("NULL and empty superiors") << "A>NULL B>"
                                              << "A B";
    QTest::newRow("loop of two cut at the lower code") << "B>A A>B C>B"
                                                       << "B>A A! C>B";
    QTest::newRow("loop of three cut at its lowest code, whatever the order") << "Q>R P>Q R>P S>R"
                                                                              << "Q>R P! R>P S>R";
    QTest::newRow("tail hanging into a loop") << "T>U U>V V>W W>V"
                                              << "T>U U>V V! W>V";
    QTest::newRow("two separate loops") << "A>B B>A C>D D>C"
                                        << "A! B>A C! D>C";
    QTest::newRow("code given twice: the first is the superior") << "A B>A A C>A"
                                                                 << "A B>A A C>A";
    QTest::newRow("codes that begin like others") << "C1 C10>C1 C100>C10 C1000>C1 C>C100"
                                                  << "C1 C10>C1 C100>C10 C1000>C1 C>C100";
    QTest::newRow("CJK and outside the basic plane") << "张三 李四>张三 𠀀>李四 王五>𠀁"
                                                     << "张三 李四>张三 𠀀>李四 王五";
    // K10456 and K28962 hash alike in the code index: only their texts tell them apart.
    QTest::newRow("codes hashing alike") << "K10456 X>K28962 K28962 Y>K10456"
                                         << "K10456 X>K28962 K28962 Y>K10456";
    QTest::newRow("superior hashing like a code in the chart") << "K10456 X>K28962"
                                                               << "K10456 X";
}

void tst_ChartLayout::superiorsMakeTheForest()
{
    QFETCH(QString, entries);
    QFETCH(QString, forest);
    const QList<ChartEntry> parsed = entriesOf(entries);
    QCOMPARE(forestOf(parsed), forest);
    QVERIFY(layoutFaults(ChartForest(parsed).parents()).isEmpty());
}

void tst_ChartLayout::smallTreesLandWhereADrawerPutsThem_data()
{
    QTest::addColumn<QList<int>>("parents");
    QTest::addColumn<QList<double>>("xs");
    QTest::newRow("one node") << QList<int>{-1} << QList<double>{0};
    QTest::newRow("root over three") << QList<int>{-1, 0, 0, 0} << QList<double>{1, 0, 1, 2};
    QTest::newRow("two roots side by side") << QList<int>{-1, -1} << QList<double>{0, 1};
    // The narrow left subtree does not push the right one away: only its leaf level touches.
    QTest::newRow("two subtrees packed at their closest level")
        << QList<int>{-1, 0, 0, 1, 1, 2, 2} << QList<double>{1.5, 0.5, 2.5, 0, 1, 2, 3};
    // The middle child of a root with children at the ends is spread between them, not left
    // against the first (what Walker's algorithm adds to a plain packing).
    QTest::newRow("small subtrees spread between big ones")
        << QList<int>{-1, 0, 0, 0, 1, 1, 1, 3, 3, 3}
        << QList<double>{2.5, 1, 2.5, 4, 0, 1, 2, 3, 4, 5};
}

void tst_ChartLayout::smallTreesLandWhereADrawerPutsThem()
{
    QFETCH(QList<int>, parents);
    QFETCH(QList<double>, xs);
    const std::vector<ChartLayout::Position> places
        = ChartLayout::layout(std::vector<int>(parents.begin(), parents.end()));
    QList<double> placed;
    for (const ChartLayout::Position &p : places)
        placed << p.x;
    QCOMPARE(placed, xs);
}

void tst_ChartLayout::everyLayoutIsTidy_data()
{
    QTest::addColumn<int>("nodes");
    QTest::addColumn<int>("rootEvery");
    QTest::addColumn<int>("spread");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("bushy") << 500 << 50 << 500 << 1u;
    QTest::newRow("deep and narrow") << 500 << 1000 << 3 << 2u;
    QTest::newRow("many small trees") << 800 << 4 << 6 << 3u;
    QTest::newRow("one wide level") << 300 << 1000000 << 1 << 4u;
    for (quint32 seed = 10; seed < 40; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("mixed %1").arg(seed)))
            << int(50 + seed * 7) << int(2 + seed % 13) << int(1 + seed % 17) << seed;
}

void tst_ChartLayout::everyLayoutIsTidy()
{
    QFETCH(int, nodes);
    QFETCH(int, rootEvery);
    QFETCH(int, spread);
    QFETCH(quint32, seed);
    std::vector<int> parents = randomForest(nodes, rootEvery, spread, seed);
    if (spread == 1 && rootEvery > nodes) // one root over all the rest
        std::fill(parents.begin() + 1, parents.end(), 0);
    const QString faults = layoutFaults(parents);
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
}

void tst_ChartLayout::deepChainNeedsNoRecursion()
{
    constexpr int kDepth = 200000;
    std::vector<int> parents(kDepth);
    for (int v = 0; v < kDepth; ++v)
        parents[size_t(v)] = v - 1;
    const std::vector<ChartLayout::Position> places = ChartLayout::layout(parents);
    QCOMPARE(int(places.size()), kDepth);
    QCOMPARE(places.back().depth, kDepth - 1);
    QCOMPARE(places.back().x, 0.0);
}

void tst_ChartLayout::subordinatesHangUnderTheFirstOfTwinCodes()
{
    // Codes that differ in one character and twins far apart, so that the index must tell
    // equal texts from equal hashes and keep the first of the twins.
    QList<ChartEntry> entries;
    for (int i = 0; i < 3000; ++i)
        entries.append({QStringLiteral("K%1").arg(i), {}, {}, QStringLiteral("NULL")});
    entries.append({QStringLiteral("K7"), {}, {}, QStringLiteral("NULL")});
    entries.append({QStringLiteral("S1"), {}, {}, QStringLiteral("K7")});
    entries.append({QStringLiteral("S2"), {}, {}, QStringLiteral("K2999")});
    entries.append({QStringLiteral("S3"), {}, {}, QStringLiteral("K")});
    const ChartForest forest(entries);
    QCOMPARE(forest.parent(3001), 7);
    QCOMPARE(forest.parent(3002), 2999);
    QCOMPARE(forest.parent(3003), -1);
    QCOMPARE(forest.parent(3000), -1);
}

void tst_ChartLayout::chartOfThousandsPlacesEveryContactOnce()
{
    // 5,000 contacts of one customer with every kind of superior: chains, stray codes, their
    // own code, loops.
    QList<ChartEntry> entries;
    QRandomGenerator random(7);
    constexpr int kCount = 5000;
    for (int i = 0; i < kCount; ++i) {
        QString superior;
        switch (random.bounded(10)) {
        case 0:
            superior = QStringLiteral("NULL");
            break;
        case 1:
            superior = QStringLiteral("OTHER%1").arg(i); // another customer's contact
            break;
        case 2:
            superior = QStringLiteral("C%1").arg(i); // himself
            break;
        default:
            superior = QStringLiteral("C%1").arg(random.bounded(kCount)); // loops likely
        }
        entries.append(
            {QStringLiteral("C%1").arg(i), QStringLiteral("n"), QStringLiteral("d"), superior});
    }
    // Loops of one to three contacts, besides what chance made.
    for (int loop = 0; loop < 3; ++loop) {
        for (int i = 0; i <= loop; ++i)
            entries[kCount - 10 * loop - i - 1].superior = QStringLiteral("C%1").arg(
                i == loop ? kCount - 10 * loop - 1 : kCount - 10 * loop - i - 2);
    }
    const ChartForest forest(entries);
    QCOMPARE(forest.size(), kCount);
    // Every contact reaches a root, and a root is a contact with no superior in the chart, its
    // own superior, or a cut loop.
    int cuts = 0;
    for (int i = 0; i < kCount; ++i) {
        int at = i;
        for (int steps = 0; forest.parent(at) >= 0; ++steps) {
            QVERIFY2(steps <= kCount, "a loop was left in the forest");
            at = forest.parent(at);
        }
        if (forest.isCycleCut(i)) {
            ++cuts;
            QCOMPARE(forest.parent(i), -1);
        }
        if (forest.parent(i) < 0 && !forest.isCycleCut(i)) {
            const QString &superior = entries[i].superior;
            QVERIFY(superior == QLatin1String("NULL") || superior.startsWith(u'O')
                    || superior == entries[i].code);
        }
    }
    QVERIFY(cuts >= 2); // the loop of one is a contact under himself
    const QString faults = layoutFaults(forest.parents());
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
}

QTEST_GUILESS_MAIN(tst_ChartLayout)
#include "tst_chartlayout.moc"
