// 1000 contact Adds and 1000 Modifys through IClsCommon, against the very statements the component
// sent for them (seen at the driver), replayed through the raw sqlite3 or libpq API on an identical
// database in the same run, each save's statements right after it. Prints the ratios (min and
// median over the rounds) and the connections the saves opened. With PERIKON_TEST_PG set, the
// same against that PostgreSQL server. Not a test: run it by hand, `bench-saves [saves] [rounds]`.

#include "RawReplay.h"

#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <span>

using namespace perikon;
using perikon::bench::CapturedStatement;
using perikon::testing::Backend;
using perikon::testing::TestDatabase;

namespace {

constexpr int kDemoContacts = 50;
constexpr std::uint64_t kSeed = 7;

struct Timing
{
    double component = 0; // ms
    double raw = 0;       // ms
    qint64 statements = 0;
    quint64 connections = 0;
    double ratio() const { return raw > 0 ? component / raw : 0; }
};

struct Round
{
    Timing add;
    Timing modify;
};

QString addXml(int i)
{
    return QStringLiteral("<Crm_Contact><cContactName>联系人%1</cContactName>"
                          "<cCusCode>C0000003</cCusCode><cMobilePhone>139%2</cMobilePhone>"
                          "<cEmail>contact%1@example.com</cEmail><cConDepart>采购部</cConDepart>"
                          "<cMemo>新建</cMemo><cLDefine1>A%1</cLDefine1></Crm_Contact>")
        .arg(i)
        .arg(i, 8, 10, QLatin1Char('0'));
}

// The whole row, as the card sends it, with the phone and the memo changed.
QString modifyXml(const QString &code, int i)
{
    return QStringLiteral("<Crm_Contact><cContactCode>%1</cContactCode>"
                          "<cContactName>联系人%3</cContactName><cCusCode>C0000003</cCusCode>"
                          "<cMobilePhone>138%2</cMobilePhone><cEmail>contact%3@example.com</cEmail>"
                          "<cConDepart>采购部</cConDepart><cMemo>改过 %3</cMemo>"
                          "<cLDefine1>A%3</cLDefine1></Crm_Contact>")
        .arg(code)
        .arg(i, 8, 10, QLatin1Char('0'))
        .arg(i);
}

// Runs `save` for each of `count` saves with the driver's statements captured, and replays each
// save's statements on `replica` through the raw API right after it. Taking turns, the two meet
// the same state of the disk and the machine: the commits' flushes vary by several times from
// one second to the next, and timed one whole run after the other they swayed the ratio more
// than the component's own work.
template<typename Save> std::optional<Timing> measure(int count, db::Connection &replica, Save save)
{
    std::vector<CapturedStatement> captured;
    captured.reserve(std::size_t(count) * 32);
    const quint64 opened = db::Driver::connectionsOpened();
    qint64 elapsed = 0;
    bench::ReplayResult raw;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        const std::size_t from = captured.size();
        db::Driver::setStatementObserver([&](const QString &sql, const QVariantList &parameters) {
            captured.push_back({sql, parameters});
        });
        QElapsedTimer timer;
        timer.start();
        ok = save(i);
        elapsed += timer.nsecsElapsed();
        db::Driver::setStatementObserver({});
        if (!ok)
            break;
        const bench::ReplayResult part = bench::replayRaw(
            replica.driver(), std::span<const CapturedStatement>(captured).subspan(from));
        raw.nanoseconds += part.nanoseconds;
        if (part.failures != 0 && raw.failures == 0)
            raw.firstFailure = part.firstFailure;
        raw.failures += part.failures;
    }
    if (qEnvironmentVariableIsSet("PERIKON_BENCH_SHOW")) {
        for (const CapturedStatement &statement : captured)
            std::printf("    %s\n", qPrintable(statement.sql.simplified().left(160)));
    }
    Timing timing;
    timing.connections = db::Driver::connectionsOpened() - opened;
    if (!ok)
        return std::nullopt;
    if (raw.failures != 0) {
        std::fprintf(stderr, "raw replay: %d of %zu statements failed; first: %s\n", raw.failures,
                     captured.size(), qPrintable(raw.firstFailure));
        return std::nullopt;
    }
    timing.component = elapsed / 1e6;
    timing.raw = raw.nanoseconds / 1e6;
    timing.statements = qint64(captured.size());
    return timing;
}

std::optional<Round> runRound(Backend backend, int saves)
{
    // Two identical accounts: the component saves into one, the raw replay runs on the other.
    TestDatabase database(kDemoContacts, kSeed, backend);
    TestDatabase replicaDatabase(kDemoContacts, kSeed, backend);
    if (!database.ok() || !replicaDatabase.ok()) {
        std::fprintf(stderr, "cannot create the databases: %s%s\n", qPrintable(database.error()),
                     qPrintable(replicaDatabase.error()));
        return std::nullopt;
    }
    db::Connection replica;
    replica.open(replicaDatabase.connectionString());

    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("demo");
    login.cUserName = QStringLiteral("王经理");
    login.qzDBName = database.connectionString();
    login.setLanguageRegion(QStringLiteral("zh-CN"));
    gLogin = &login;
    gLastError.clear();
    gContactTs.clear();

    Round round;
    {
        IClsCommon com;
        QString cnn = database.connectionString();
        com.Init(cnn);
        com.SetLogin(&login);

        QStringList codes;
        static const QRegularExpression codeElement(
            QStringLiteral("<ccontactcode>([^<]*)</ccontactcode>"));
        auto add = measure(saves, replica, [&](int i) {
            QString xml = addXml(i), msg;
            if (!com.Add(xml, QStringLiteral("Crm_Contact"), msg)) {
                std::fprintf(stderr, "Add failed: %s\n", qPrintable(msg));
                return false;
            }
            codes << codeElement.match(xml).captured(1);
            return true;
        });
        auto modify = measure(saves, replica, [&](int i) {
            QString xml = modifyXml(codes.at(i), i), table = QStringLiteral("Crm_Contact"), msg;
            if (!com.Modify(xml, table, msg)) {
                std::fprintf(stderr, "Modify failed: %s\n", qPrintable(msg));
                return false;
            }
            return true;
        });
        com.Terminate();
        if (!add || !modify)
            return std::nullopt;
        round = {*add, *modify};
    }
    gLogin = nullptr;
    gPubService.reset();
    gColumnSet.reset();
    return round;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const char *what, const std::vector<Timing> &timings, int saves)
{
    std::vector<double> ratios, component, raw;
    for (const Timing &t : timings) {
        ratios.push_back(t.ratio());
        component.push_back(t.component);
        raw.push_back(t.raw);
    }
    const Timing &last = timings.back();
    std::printf("  %-7s component %8.1f ms  raw %8.1f ms (medians)  ratio min %5.2f median %5.2f"
                "  statements/save %5.1f  connections opened %llu\n",
                what, median(component), median(raw),
                *std::min_element(ratios.begin(), ratios.end()), median(ratios),
                double(last.statements) / saves, static_cast<unsigned long long>(last.connections));
}

int runBackend(Backend backend, int saves, int rounds)
{
    std::printf("%s: %d saves, %d rounds\n", TestDatabase::backendName(backend), saves, rounds);
    std::vector<Timing> adds, modifies;
    for (int r = 0; r < rounds; ++r) {
        const std::optional<Round> round = runRound(backend, saves);
        if (!round)
            return 1;
        adds.push_back(round->add);
        modifies.push_back(round->modify);
        std::printf("  round %d: Add %.2fx (%.1f / %.1f ms), Modify %.2fx (%.1f / %.1f ms)\n",
                    r + 1, round->add.ratio(), round->add.component, round->add.raw,
                    round->modify.ratio(), round->modify.component, round->modify.raw);
        std::fflush(stdout);
    }
    report("Add", adds, saves);
    report("Modify", modifies, saves);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int saves = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    suite::registerServices();
    QTemporaryDir logs;
    qputenv("PERIKON_LOG_DIR", logs.path().toLocal8Bit());

    int status = runBackend(Backend::Sqlite, saves, rounds);
    if (status == 0 && !TestDatabase::serverConnectionString().isEmpty())
        status = runBackend(Backend::Postgres, saves, rounds);
    return status;
}
