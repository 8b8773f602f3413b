// Times the contact card reading one contact (Fillallfields: the contact with its extended row,
// its write permission, the codes it refers to, the default-contact flag and its authorization
// grid) on a demo account (SQLite) of 100,000 contacts opened through IContact.Show, against the
// same statements read with the raw sqlite3 API, every column as text. The card moves between
// rows spread over the list so no contact is read twice in a row.
//
// The raw side is timed around the replay call, so both sides include their own bookkeeping.
//
// bench-cardload [contacts] [runs]: 100000 contacts and 21 runs unless told otherwise. Prints
// min, median and max in milliseconds and the median ratio.

#include "bench/saves/RawReplay.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/entry/IContact.h"
#include "perikon/list/frmContactList.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/portal/SuitePortal.h"
#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace perikon;

namespace {

struct Spread
{
    double min = 0;
    double median = 0;
    double max = 0;
};

Spread measure(int runs, const std::function<void(int)> &run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run(i);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

void print(const char *what, const Spread &spread)
{
    std::printf("  %-34s %9.3f %9.3f %9.3f ms\n", what, spread.min, spread.median, spread.max);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int contacts = argc > 1 ? std::max(1000, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 21;
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);

    QTemporaryDir folder;
    const auto files = suite::SchemaInstaller::createSqliteDatabases(folder.path());
    if (!files) {
        std::fprintf(stderr, "%s\n", qPrintable(files.error()));
        return 1;
    }
    if (const auto demo = suite::generateDemoData(files->account, contacts, 1); !demo) {
        std::fprintf(stderr, "%s\n", qPrintable(demo.error()));
        return 1;
    }
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("admin");
    login.IsAdmin = true;
    login.qzDBName
        = QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=QZDATA_001_2026")
              .arg(files->account);
    login.setLanguageRegion(QStringLiteral("zh-CN"));
    QTabWidget workspace;
    suite::SuiteProduct product;
    suite::SuiteFormManager formManager;
    suite::SuiteViewManager viewManager;
    suite::SuiteBusiness business;
    formManager.setWorkspace(&workspace);
    business.setLogin(&login);
    business.setFormManager(&formManager);
    workspace.resize(1200, 800);
    workspace.show();
    QApplication::setActiveWindow(&workspace);
    IContact contact;
    contact.Show(&login, true, &product, &formManager, &viewManager, &business);
    auto *list = qobject_cast<frmContactList *>(gListForm);
    if (!list || !QTest::qWaitFor([list] { return list->isReady(); }, 120000)) {
        std::fprintf(stderr, "the list did not open\n");
        return 1;
    }
    const int codeColumn = int(list->grid()->headerTexts().indexOf(QStringLiteral("联系人编码")));
    const int rows = list->grid()->Rows() - 1;
    if (codeColumn < 0 || rows < 2) {
        std::fprintf(stderr, "the list shows no contact codes\n");
        return 1;
    }
    frmContactEdit card(*list);
    card.InitData(2, codeColumn, 1);
    const auto rowOf = [rows](int run) {
        return 1 + (run * 7919) % rows;
    };

    // The statements one read sends, as the driver sends them.
    std::vector<std::vector<bench::CapturedStatement>> sent(static_cast<std::size_t>(runs));
    for (int run = 0; run < runs; ++run) {
        card.InitData(2, codeColumn, rowOf(run));
        db::Driver::setStatementObserver(
            [&sent, run](const QString &sql, const QVariantList &parameters) {
                sent[std::size_t(run)].push_back({sql, parameters});
            });
        card.Fillallfields();
        db::Driver::setStatementObserver({});
    }

    const Spread fill = measure(runs, [&](int run) { card.InitData(2, codeColumn, rowOf(run)); });
    // The same statements through the raw sqlite3 API on the session's own connection.
    QString failure;
    const Spread raw = measure(runs, [&](int run) {
        const bench::ReplayResult replay
            = bench::replayRaw(gClsCommon->connection()->driver(), sent[std::size_t(run)]);
        if (replay.failures > 0 && failure.isEmpty())
            failure = replay.firstFailure;
    });
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "raw replay: %s\n", qPrintable(failure));
        return 1;
    }

    std::printf("card load, %d contacts, %d runs, %zu statements per read\n", contacts, runs,
                sent.front().size());
    std::printf("  %-34s %9s %9s %9s\n", "", "min", "median", "max");
    print("Fillallfields", fill);
    print("raw sqlite3, same statements", raw);
    std::printf("  median ratio %.2f (target <= 2.00), median %.3f ms (target < 5 ms)\n",
                raw.median > 0 ? fill.median / raw.median : 0.0, fill.median);
    list->close();
    return 0;
}
