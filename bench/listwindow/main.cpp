// Times the contact list window as a clerk uses it, against the raw database, on a demo account
// (SQLite) opened through IContact.Show as the administrator:
//
//   refresh   DataRefresh of the whole list (the statement runs, the result is kept, the first
//             page is shown) against reading the same statement with the raw sqlite3 API, every
//             column as text;
//   filtered  DataRefresh with a filter of the filter dialog (a name part, or a part of the
//             customer's name) against the raw read of the same filtered statement;
//   flip      showing another page of the kept result (no query) at pages of 10000 rows, and at
//             pages of 1000 rows on the large list against the same on a list of 1000 contacts,
//             so a flip's cost shows whether it depends on the size of the whole result.
//
// bench-listwindow [contacts] [runs]: 100000 contacts and 7 runs unless told otherwise. Prints
// min, median and max in milliseconds and the median ratios.

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
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
#include "suite/services/filter/FilterSql.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

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

Spread measure(int runs, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

void print(const char *what, const Spread &spread)
{
    std::printf("  %-34s %9.2f %9.2f %9.2f ms\n", what, spread.min, spread.median, spread.max);
}

// Reads every row of `sql`, every column as text, as a minimal reader would.
qint64 rawRead(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr)
        != SQLITE_OK) {
        std::fprintf(stderr, "raw read: %s\n", sqlite3_errmsg(db));
        return -1;
    }
    qint64 rows = 0;
    std::size_t bytes = 0;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            sqlite3_column_text(statement, c);
            bytes += std::size_t(sqlite3_column_bytes(statement, c));
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    // Keeps the reads from being optimised away.
    [[maybe_unused]] static volatile std::size_t readBytes = 0;
    readBytes = bytes;
    return rows;
}

// What a clerk confirms in the filter dialog: contacts whose name holds 李, or whose customer's
// name holds 物流.
QString contactFilter(const QString &connectionString)
{
    namespace filter = suite::filter;
    try {
        db::Connection connection;
        connection.open(connectionString);
        const QList<filter::FilterField> fields
            = filter::contactFilterFields(connection, QStringLiteral("zh-CN"));
        QList<filter::FilterRow> rows;
        rows.append({QStringLiteral("cContactName"), filter::FilterOperator::Contains,
                     QStringLiteral("李"), true});
        rows.append({QStringLiteral("cCusCode"), filter::FilterOperator::Contains,
                     QStringLiteral("物流"), false});
        return filter::filterFragment(fields, rows);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "filter fields: %s\n", error.what());
        return {};
    }
}

// One demo account with the list open in a shell-like workspace.
class OpenList
{
public:
    bool open(const QString &folder, int contacts)
    {
        const auto files = suite::SchemaInstaller::createSqliteDatabases(folder);
        if (!files) {
            std::fprintf(stderr, "%s\n", qPrintable(files.error()));
            return false;
        }
        const auto demo = suite::generateDemoData(files->account, contacts, 1);
        if (!demo) {
            std::fprintf(stderr, "%s\n", qPrintable(demo.error()));
            return false;
        }
        m_accountPath = files->account;
        m_login.cUserId = QStringLiteral("admin");
        m_login.IsAdmin = true;
        m_login.qzDBName
            = QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=QZDATA_001_2026")
                  .arg(files->account);
        m_login.setLanguageRegion(QStringLiteral("zh-CN"));
        m_formManager.setWorkspace(&m_workspace);
        m_business.setLogin(&m_login);
        m_business.setFormManager(&m_formManager);
        m_workspace.resize(1200, 800);
        m_workspace.show();
        QApplication::setActiveWindow(&m_workspace);
        m_contact.Show(&m_login, true, &m_product, &m_formManager, &m_viewManager, &m_business);
        m_window = qobject_cast<frmContactList *>(gListForm);
        return m_window && QTest::qWaitFor([this] { return m_window->isReady(); }, 60000);
    }

    ~OpenList()
    {
        if (m_window)
            m_window->close();
        QApplication::processEvents();
    }

    frmContactList *window() const { return m_window; }
    QString accountPath() const { return m_accountPath; }
    QString connectionString() const { return m_login.qzDBName; }

    // Shows page `page` of `pageSize` rows of the kept result, as the window's paging does.
    void flip(int pageSize, int page)
    {
        QObject *kept = m_window->resultCopy();
        int pages = 0;
        gPubService->FlipPageFillGrid(m_window, m_window->grid(), kept, pageSize, page, pages);
    }

private:
    QString m_accountPath;
    suite::SuiteLogin m_login;
    QTabWidget m_workspace;
    suite::SuiteProduct m_product;
    suite::SuiteFormManager m_formManager;
    suite::SuiteViewManager m_viewManager;
    suite::SuiteBusiness m_business;
    IContact m_contact;
    QPointer<frmContactList> m_window;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int contacts = argc > 1 ? std::max(1000, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);

    QTemporaryDir bigFolder;
    QTemporaryDir smallFolder;
    Spread refresh, raw, filtered, filteredRaw, flip10000, flipBig, flipSmall;
    qint64 rows = 0;
    qint64 filteredRows = 0;
    {
        OpenList list;
        if (!list.open(bigFolder.path(), contacts))
            return 1;
        // The statement as the driver sends it, for the raw read.
        const auto sentStatement = [&list](const QString &extra) {
            QString listSql;
            db::Driver::setStatementObserver([&listSql](const QString &sql, const QVariantList &) {
                if (sql.contains(QLatin1String("v_Crm_Contact"), Qt::CaseInsensitive))
                    listSql = sql;
            });
            list.window()->DataRefresh(extra);
            db::Driver::setStatementObserver({});
            return listSql.toUtf8();
        };
        const QByteArray sql = sentStatement(QString());
        const QString filter = contactFilter(list.connectionString());
        const QByteArray filteredSql = filter.isEmpty() ? QByteArray() : sentStatement(filter);
        if (sql.isEmpty() || filteredSql.isEmpty()) {
            std::fprintf(stderr, "the list sent no statement\n");
            return 1;
        }
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(list.accountPath()).constData(), &db,
                        SQLITE_OPEN_READONLY, nullptr);
        raw = measure(runs, [&] { rows = rawRead(db, sql); });
        filteredRaw = measure(runs, [&] { filteredRows = rawRead(db, filteredSql); });
        sqlite3_close(db);
        refresh = measure(runs, [&] { list.window()->DataRefresh(QString()); });
        filtered = measure(runs, [&] { list.window()->DataRefresh(filter); });
        int page = 1;
        flip10000 = measure(runs, [&] { list.flip(10000, page = page == 1 ? 2 : 1); });
        flipBig = measure(runs, [&] { list.flip(1000, page = page == 1 ? 2 : 1); });
    }
    {
        OpenList list;
        if (!list.open(smallFolder.path(), 1000))
            return 1;
        flipSmall = measure(runs, [&] { list.flip(1000, 1); });
    }
    std::printf("contact list window, %d contacts (%lld rows read), %d runs: min median max\n",
                contacts, rows, runs);
    print("raw read of the list statement", raw);
    print("DataRefresh", refresh);
    std::printf("filtered (%lld rows read)\n", filteredRows);
    print("raw read of the filtered statement", filteredRaw);
    print("DataRefresh with the filter", filtered);
    print("page flip, 10000 rows", flip10000);
    print("page flip, 1000 rows", flipBig);
    print("page flip, 1000 rows of 1000 contacts", flipSmall);
    std::printf("refresh / raw read: %.2fx (target <= 1.5x)\n", refresh.median / raw.median);
    std::printf("filtered refresh / raw read: %.2fx (target <= 1.5x)\n",
                filtered.median / filteredRaw.median);
    std::printf("flip of 10000 rows: %.2f ms (target <= 16 ms)\n", flip10000.median);
    std::printf("flip, %d contacts / 1000 contacts: %.2fx (target <= 1.1x)\n", contacts,
                flipBig.median / flipSmall.median);
    return 0;
}
