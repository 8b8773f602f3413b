// A batch modification as a clerk runs it on a large account: 10,000 marked contacts of 100,000
// get a new mobile number (the path that probes each contact's customer), through the whole
// modify event (checks, count, confirmation, lock, transaction, log). The statements it sent
// (seen at the driver) are then replayed through the raw sqlite3 or libpq API on an identical
// account, and the ratio printed per round and as the median. Not a test: run it by hand,
// `bench-batchmodify [contacts] [marked] [rounds]`.

#include "RawReplay.h"

#include "perikon/batch/BatchCatalog.h"
#include "perikon/batch/BatchModify.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/services/SuitePubService.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace perikon;
using perikon::bench::CapturedStatement;
using perikon::testing::Backend;
using perikon::testing::TestDatabase;

namespace {

constexpr std::uint64_t kSeed = 7;
constexpr int kYes = 6;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QStringList markedCodes(IClsCommon &com, int contacts, int marked)
{
    QStringList codes;
    const std::unique_ptr<db::Recordset> rows(
        com.OpenX(QStringLiteral("select cContactCode from Crm_Contact order by cContactCode")));
    const int step = std::max(1, contacts / std::max(1, marked));
    for (int i = 0; rows && !rows->eof() && codes.size() < marked; rows->moveNext(), ++i) {
        if (i % step == 0)
            codes << rows->value(0).toString();
    }
    return codes;
}

int runBackend(Backend backend, int contacts, int marked, int rounds)
{
    std::printf("%s: %d contacts, %d marked, %d rounds\n", TestDatabase::backendName(backend),
                contacts, marked, rounds);
    QElapsedTimer setup;
    setup.start();
    TestDatabase database(contacts, kSeed, backend);
    TestDatabase replicaDatabase(contacts, kSeed, backend);
    if (!database.ok() || !replicaDatabase.ok()) {
        std::fprintf(stderr, "cannot create the databases: %s%s\n", qPrintable(database.error()),
                     qPrintable(replicaDatabase.error()));
        return 1;
    }
    db::Connection replica;
    replica.open(replicaDatabase.connectionString());
    std::printf("  accounts made in %.1f s\n", setup.elapsed() / 1000.0);

    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("demo");
    login.cUserName = QStringLiteral("王经理");
    login.IsAdmin = true;
    login.qzDBName = database.connectionString();
    login.setLanguageRegion(QStringLiteral("zh-CN"));
    gLogin = &login;
    gUserId = login.cUserId;
    gUserName = login.cUserName;
    gAccountDb = database.connectionString();
    gClsCommon = std::make_shared<IClsCommon>();
    QString cnn = database.connectionString();
    gClsCommon->Init(cnn);
    gClsCommon->SetLogin(&login);
    gPubService = std::make_unique<suite::SuitePubService>();
    gUiHelper = HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper"));
    gColumnSet = HostRegistry::createAs<ColumnSetService>(QStringLiteral("ColumnSetService"));
    gColumnSet->Init(database.connectionString(), login.cUserId);
    gRowAuthWrite = QStringLiteral("1=1");
    if (const std::optional<ErrorInfo> error = Const::BuildBatchCatalog()) {
        std::fprintf(stderr, "catalogue: %s\n", qPrintable(error->description));
        return 1;
    }

    const QStringList codes = markedCodes(*gClsCommon, contacts, marked);
    QStringList quoted;
    quoted.reserve(codes.size());
    for (const QString &code : codes)
        quoted << db::sqlNQuoted(code);
    const QString where = QStringLiteral("cContactCode in (") + quoted.join(u',') + u')';

    int status = 0;
    std::vector<double> ratios, component, raw;
    for (int r = 0; r < rounds && status == 0; ++r) {
        std::vector<CapturedStatement> captured;
        captured.reserve(std::size_t(codes.size()) + 64);
        db::Driver::setStatementObserver([&](const QString &sql, const QVariantList &parameters) {
            captured.push_back({sql, parameters});
        });
        suite::MessageBoxScript::queueAnswers({kYes});
        batch::BatchModifyEvent event(QStringLiteral("客户联系人批量修改"));
        qint64 probes = 0;
        event.setProgress([&](qint64 done, qint64) { probes = done; });
        QElapsedTimer timer;
        timer.start();
        const batch::BatchModifyEvent::Outcome outcome
            = event.run(QStringLiteral("cMobilePhone"),
                        QStringLiteral("1390000%1").arg(r, 4, 10, QChar(u'0')), where);
        const double elapsed = timer.nsecsElapsed() / 1e6;
        db::Driver::setStatementObserver({});
        suite::MessageBoxScript::takeShownMessages();
        if (outcome != batch::BatchModifyEvent::Outcome::Modified) {
            std::fprintf(stderr, "the batch did not run: %s\n", qPrintable(gLastError));
            status = 1;
            break;
        }
        const bench::ReplayResult replay = bench::replayRaw(replica.driver(), captured);
        if (replay.failures != 0) {
            std::fprintf(stderr, "raw replay: %d of %zu statements failed; first: %s\n",
                         replay.failures, captured.size(), qPrintable(replay.firstFailure));
            status = 1;
            break;
        }
        const double rawMs = replay.nanoseconds / 1e6;
        component.push_back(elapsed);
        raw.push_back(rawMs);
        ratios.push_back(elapsed / rawMs);
        std::printf("  round %d: %.2fx (%.1f / %.1f ms), %zu statements, %lld probes\n", r + 1,
                    elapsed / rawMs, elapsed, rawMs, captured.size(),
                    static_cast<long long>(probes));
        std::fflush(stdout);
    }
    if (status == 0 && !ratios.empty())
        std::printf("  batch   event %8.1f ms  raw %8.1f ms (medians)  ratio min %5.2f median "
                    "%5.2f\n",
                    median(component), median(raw), *std::min_element(ratios.begin(), ratios.end()),
                    median(ratios));
    gClsCommon->Terminate();
    gClsCommon.reset();
    gPubService.reset();
    gColumnSet.reset();
    gUiHelper.reset();
    gLogin = nullptr;
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int contacts = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const int marked = argc > 2 ? QByteArray(argv[2]).toInt() : 10000;
    const int rounds = argc > 3 ? QByteArray(argv[3]).toInt() : 5;
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
    QTemporaryDir logs;
    qputenv("PERIKON_LOG_DIR", logs.path().toLocal8Bit());

    int status = runBackend(Backend::Sqlite, contacts, marked, rounds);
    if (status == 0 && !TestDatabase::serverConnectionString().isEmpty())
        status = runBackend(Backend::Postgres, contacts, marked, rounds);
    return status;
}
