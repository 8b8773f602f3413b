#include "ListReadRuns.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <stdexcept>
#include <string>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

using namespace perikon;

namespace {

// Folds a value into a checksum in a way that needs the converted value itself, so a reader that
// defers the conversion cannot skip it.
qint64 weigh(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Double:
        return qint64(value.toDouble());
    case QMetaType::QString:
        return value.toString().size();
    case QMetaType::QByteArray:
        return value.toByteArray().size();
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        return moment.date().day() + moment.time().second();
    }
    default:
        return value.isNull() ? 0 : 1;
    }
}

qint64 readEveryValue(db::Recordset &rs)
{
    qint64 sum = 0;
    const int columns = rs.fieldCount();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < columns; ++i)
            sum += weigh(rs.value(i));
    }
    return sum;
}

qint64 processCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Variant
{
    const char *name;
    std::function<qint64()> run; // gives a checksum, so the work cannot be left out
    std::vector<qint64> wall;
    std::vector<qint64> cpu;

    void measure()
    {
        QElapsedTimer timer;
        const qint64 cpuStart = processCpuNanoseconds();
        timer.start();
        if (run() == 0)
            throw std::runtime_error(std::string(name) + ": no values read");
        wall.push_back(timer.nsecsElapsed());
        cpu.push_back(processCpuNanoseconds() - cpuStart);
    }
};

qint64 median(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

} // namespace

int runListRead(const ListReadSetup &setup, const char *listSql)
{
    const QString sql = QString::fromUtf8(listSql);
    db::Connection connection;
    IClsCommon com;
    try {
        connection.open(setup.connectionString);
        QString cnn = setup.connectionString;
        com.Init(cnn);
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "%s: %s\n", setup.backend, qPrintable(e.description()));
        return 1;
    }

    const qint64 expectedPage = std::min(setup.contacts, setup.pageSize);
    qint64 rows = 0, pageRows = 0;
    bool pageFailed = false;
    auto openRecordset = [&] {
        auto rs = std::make_unique<db::Recordset>();
        rs->setCursorLocation(db::Recordset::UseClient);
        rs->open(sql, &connection, db::Recordset::OpenStatic, db::Recordset::LockOptimistic);
        rows = rs->recordCount();
        return rs;
    };
    auto openPage = [&] {
        int page = 1, pages = 0;
        db::Recordset *raw = nullptr;
        QString msg;
        bool ok = false;
        com.OpenPage(sql, setup.pageSize, page, pages, raw, msg, ok);
        std::unique_ptr<db::Recordset> rs(raw);
        pageFailed = pageFailed || !ok;
        pageRows = rs ? rs->recordCount() : -1;
        return rs;
    };
    std::vector<Variant> variants;
    variants.push_back({"raw (C API, every value)", setup.readRaw, {}, {}});
    variants.push_back({"recordset open", [&] { return openRecordset()->recordCount(); }, {}, {}});
    variants.push_back(
        {"recordset open + read all", [&] { return readEveryValue(*openRecordset()); }, {}, {}});
    variants.push_back({"OpenPage (page 1)", [&] { return openPage()->recordCount(); }, {}, {}});
    variants.push_back(
        {"OpenPage + read all page", [&] { return readEveryValue(*openPage()); }, {}, {}});

    // Alternate the readers, so each sees the same warm caches and the same neighbours' load.
    for (int i = 0; i < setup.repeats; ++i) {
        for (Variant &variant : variants) {
            try {
                variant.measure();
            } catch (const db::DbError &e) {
                std::fprintf(stderr, "%s: %s\n", variant.name, qPrintable(e.description()));
                return 1;
            } catch (const std::exception &e) {
                std::fprintf(stderr, "%s: %s\n", setup.backend, e.what());
                return 1;
            }
        }
    }
    if (rows != setup.contacts || pageFailed || pageRows != expectedPage) {
        std::fprintf(stderr,
                     "%s: the recordset holds %lld rows (expected %d), the page %lld (expected "
                     "%lld)%s\n",
                     setup.backend, rows, setup.contacts, pageRows, expectedPage,
                     pageFailed ? ", OpenPage failed" : "");
        return 1;
    }

    std::printf("%s: %d contacts, list statement of 35 columns read in full; OpenPage with page "
                "size %d, page 1 (%lld rows on the page); %d runs each\n",
                setup.backend, setup.contacts, setup.pageSize, expectedPage, setup.repeats);
    std::printf("  %-26s %8s %8s %8s %9s   %s\n", "ms", "min", "median", "max", "cpu med",
                "x raw: min, median, cpu median");
    const Variant &raw = variants.front();
    const qint64 rawMin = *std::min_element(raw.wall.begin(), raw.wall.end());
    const qint64 rawMedian = median(raw.wall);
    const qint64 rawCpu = median(raw.cpu);
    for (const Variant &variant : variants) {
        const auto [low, high] = std::minmax_element(variant.wall.begin(), variant.wall.end());
        const qint64 middle = median(variant.wall);
        const qint64 cpu = median(variant.cpu);
        std::printf("  %-26s %8.2f %8.2f %8.2f %9.2f   %5.2f %5.2f %5.2f\n", variant.name,
                    *low / 1e6, middle / 1e6, *high / 1e6, cpu / 1e6, double(*low) / double(rawMin),
                    double(middle) / double(rawMedian), double(cpu) / double(rawCpu));
    }
    return 0;
}
