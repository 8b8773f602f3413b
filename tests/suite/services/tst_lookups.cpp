// The public service's lookups: a reference editor set up over the account's tables and the
// operator's customer rules, and choosing a row of a recordset, by its text or in the lookup
// dialog the operator answers.

#include "perikon/data/db/Recordset.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/RefEdit.h"
#include "suite/services/RefDialog.h"
#include "suite/services/SuitePubService.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace perikon;

namespace {

// What the operator met in the lookup dialog and did there.
struct DialogVisit
{
    bool seen = false;
    QString initialFilter;
    int shownRows = -1;
    bool okEnabled = false;
};

// Answers the next lookup dialog: replaces its filter by `filter` (kept when empty), then
// clicks OK, or Cancel when `answer` says so.
void answerLookup(DialogVisit &visit, const QString &filter, const QString &answer)
{
    QTimer::singleShot(0, qApp, [&visit, filter, answer] {
        auto *dialog = qobject_cast<suite::RefDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("RefDialog"))
            return;
        visit.seen = true;
        auto *line = dialog->findChild<QLineEdit *>(QStringLiteral("RefFilter"));
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("RefGrid"));
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("RefOK"));
        auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("RefCancel"));
        if (!line || !grid || !ok || !cancel) {
            dialog->reject();
            return;
        }
        visit.initialFilter = line->text();
        if (!filter.isEmpty()) {
            line->clear();
            testing::typeText(line, filter);
        }
        visit.shownRows = grid->model()->rowCount();
        visit.okEnabled = ok->isEnabled();
        QTest::mouseClick(answer == QLatin1String("cancel") ? cancel : ok, Qt::LeftButton);
        // OK without a row leaves the dialog open: the operator cancels then.
        if (dialog->isVisible())
            QTest::mouseClick(cancel, Qt::LeftButton);
    });
}

} // namespace

class tst_Lookups : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void findMatchChoosesTheFittingRow_data();
    void findMatchChoosesTheFittingRow();
    void lookupShowsCodeAndNameFirst();
    void lookupKeysAndSorting();
    void refEditFollowsCatalogueAndRules_data();
    void refEditFollowsCatalogueAndRules();
    void onlyReferenceEditorsAreSetUp();
    void changedTextIsUncheckedUntilMatched();

private:
    SuiteFixture m_db;
};

void tst_Lookups::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(
        QStringLiteral("insert into Customer (cCusCode, iId, cCusName, cCusAbbName) values "
                       "(N'C01', 11, N'Acme Trading', N'AT'), (N'C02', 12, N'O''Neil Ltd', N'ON'), "
                       "(N'C03', 13, N'Acme', N'AC'), (N'Acme', 14, N'Other', N'OT'), "
                       "(N'C05', 15, N'上海贸易公司', N'上贸')"));
    m_db.exec(QStringLiteral("insert into Person (cPersonCode, cPersonName) values "
                             "(N'P01', N'李四')"));
}

void tst_Lookups::findMatchChoosesTheFittingRow_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("cursorType");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<QString>("filter"); // typed over the dialog's filter line
    QTest::addColumn<QString>("answer"); // "ok" or "cancel"
    QTest::addColumn<int>("shownRows");  // after the filter
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("code");

    const int forward = db::Recordset::OpenForwardOnly;
    const int stat = db::Recordset::OpenStatic;
    // clang-format off
    QTest::newRow("exact code") << "1=1" << stat << "C03" << false << "" << "" << -1 << true << "C03";
    QTest::newRow("exact code, forward only") << "1=1" << forward << "C03" << false << "" << "" << -1 << true << "C03";
    QTest::newRow("code before name") << "1=1" << stat << "Acme" << false << "" << "" << -1 << true << "Acme";
    QTest::newRow("exact name") << "1=1" << stat << "Acme Trading" << false << "" << "" << -1 << true << "C01";
    QTest::newRow("trailing blanks of the text") << "1=1" << stat << "C02   " << false << "" << "" << -1 << true << "C02";
    QTest::newRow("the only row") << "cCusCode=N'C05'" << stat << "whatever" << false << "" << "" << -1 << true << "C05";
    QTest::newRow("no row") << "1=2" << stat << "C01" << false << "" << "" << -1 << false << "";
    QTest::newRow("several rows: filter and pick") << "1=1" << stat << "Ac" << true << "trading" << "ok" << 1 << true << "C01";
    QTest::newRow("several rows, forward only: pick") << "1=1" << forward << "Ac" << true << "o'neil" << "ok" << 1 << true << "C02";
    QTest::newRow("several rows: chinese filter") << "1=1" << stat << "x" << true << QStringLiteral("贸易") << "ok" << 1 << true << "C05";
    QTest::newRow("several rows: text starts the filter") << "1=1" << stat << "ac" << true << "" << "ok" << 3 << true << "C01";
    QTest::newRow("several rows: cancel") << "1=1" << stat << "Ac" << true << "acme" << "cancel" << 3 << false << "";
    QTest::newRow("filter leaves nothing") << "1=1" << stat << "Ac" << true << "zzz" << "ok" << 0 << false << "";
    // clang-format on
}

void tst_Lookups::findMatchChoosesTheFittingRow()
{
    QFETCH(QString, where);
    QFETCH(int, cursorType);
    QFETCH(QString, text);
    QFETCH(bool, dialog);
    QFETCH(QString, filter);
    QFETCH(QString, answer);
    QFETCH(int, shownRows);
    QFETCH(bool, found);
    QFETCH(QString, code);

    db::Recordset rows;
    rows.open(QStringLiteral("select cCusCode, cCusName, iId from Customer where ") + where
                  + QStringLiteral(" order by iId"),
              &m_db.connection(), cursorType);
    QWidget parent;
    DialogVisit visit;
    answerLookup(visit, filter, answer);
    suite::SuitePubService service;
    QCOMPARE(service.FindMatch(&rows, QStringLiteral("cCusCode"), text, QStringLiteral("cCusName"),
                               &parent),
             found);
    QCoreApplication::processEvents(); // a timer that found no dialog has run out
    QCOMPARE(visit.seen, dialog);
    if (dialog) {
        QCOMPARE(visit.initialFilter, text);
        QCOMPARE(visit.shownRows, shownRows);
        QCOMPARE(visit.okEnabled, shownRows > 0);
    }
    if (found) {
        QVERIFY(!rows.eof());
        QCOMPARE(rows.value(QStringLiteral("cCusCode")).toString().trimmed(), code);
    }
}

void tst_Lookups::lookupShowsCodeAndNameFirst()
{
    db::Recordset rows;
    rows.open(QStringLiteral("select iId, cCusName, cCusAbbName, cCusCode from Customer order by "
                             "iId"),
              &m_db.connection(), db::Recordset::OpenStatic);
    QStringList headers;
    QTimer::singleShot(0, qApp, [&headers] {
        auto *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("RefGrid"));
        for (int column = 0; grid && column < grid->model()->columnCount(); ++column)
            headers.append(grid->model()->headerData(column, Qt::Horizontal).toString());
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    suite::SuitePubService service;
    QVERIFY(!service.FindMatch(&rows, QStringLiteral("cCusCode"), QStringLiteral("nothing"),
                               QStringLiteral("cCusName"), nullptr));
    QCOMPARE(headers, (QStringList{"cCusCode", "cCusName", "iId", "cCusAbbName"}));
}

void tst_Lookups::lookupKeysAndSorting()
{
    const QStringList fields{"code", "name"};
    const QList<QStringList> rows{
        {"B2", QStringLiteral("北京")}, {"A1", "Shanghai"}, {"C3", "Berlin"}};
    suite::RefDialog dialog(fields, rows, {{"code", "Code"}, {"name", "Name"}});
    auto *grid = dialog.findChild<QTableView *>(QStringLiteral("RefGrid"));
    auto *line = dialog.findChild<QLineEdit *>(QStringLiteral("RefFilter"));
    QVERIFY(grid && line);
    QAbstractItemModelTester tester(grid->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Rows keep the given order until a header is clicked; the first is preselected.
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("B2"));
    QCOMPARE(grid->selectionModel()->selectedRows().value(0).row(), 0);
    grid->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("A1"));

    // Down from the filter line moves the selection; Enter chooses it.
    line->setFocus();
    grid->selectRow(0);
    QTest::keyClick(line, Qt::Key_Down);
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenRow(), 0); // "B2" is second once sorted, first as given
}

void tst_Lookups::refEditFollowsCatalogueAndRules_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("rules"); // values of an insert into qz_RowAuth
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("tag");

    const QString write = QStringLiteral("<Ref><RefSet bAuth='1' authFunID='W'/></Ref>");
    // clang-format off
    QTest::newRow("customer by name") << "Customer_AA" << "" << false << "" << "Acme Trading" << true << "C01";
    QTest::newRow("customer by abbreviation") << "Customer_AA" << "" << false << "" << QStringLiteral("上贸") << true << "C05";
    QTest::newRow("customer the operator may write")
        << "Customer_AA" << "(N'u1', N'customer', N'W', N'C01')" << false << write << "Acme Trading" << true << "C01";
    QTest::newRow("customer outside his rules")
        << "Customer_AA" << "(N'u1', N'customer', N'W', N'C01')" << false << write << "C02" << false << "";
    QTest::newRow("the rules decide between two names")
        << "Customer_AA" << "(N'u1', N'customer', N'W', N'C03')" << false << write << "Acme" << true << "C03";
    QTest::newRow("reading rules leave writing free")
        << "Customer_AA" << "(N'u1', N'customer', N'R', N'C01')" << false << write << "C02" << true << "C02";
    QTest::newRow("without the authorization setting")
        << "Customer_AA" << "(N'u1', N'customer', N'W', N'C01')" << false << "" << "C02" << true << "C02";
    QTest::newRow("administrator is not narrowed")
        << "Customer_AA" << "(N'u1', N'customer', N'W', N'C01')" << true << write << "C02" << true << "C02";
    QTest::newRow("rule reaching no customer")
        << "Customer_AA" << "(N'u1', N'customer', N'', N'C99')" << false << write << "C01" << false << "";
    QTest::newRow("person") << "Person_AA" << "" << false << write << QStringLiteral("李四") << true << "P01";
    QTest::newRow("key without table") << "Vendor_AA" << "" << false << write << "Anywhere 1" << true << "";
    // clang-format on
}

void tst_Lookups::refEditFollowsCatalogueAndRules()
{
    QFETCH(QString, key);
    QFETCH(QString, rules);
    QFETCH(bool, admin);
    QFETCH(QString, settings);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, tag);

    if (!rules.isEmpty())
        m_db.exec(QStringLiteral("insert into qz_RowAuth (cUser_Id, cKind, cFuncId, cValue) "
                                 "values ")
                  + rules);
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("u1");
    login.IsAdmin = admin;
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(QStringLiteral("zh-CN"));

    controls::RefEdit edit;
    suite::SuitePubService service;
    QVERIFY(service.InitRefEdit(&edit, &login, key, false, settings));
    QCOMPARE(edit.referenceKey(), key);
    edit.setText(text);
    QCOMPARE(edit.recheck(), valid);
    QCOMPARE(edit.tag().trimmed(), tag);
}

void tst_Lookups::onlyReferenceEditorsAreSetUp()
{
    suite::SuiteLogin login;
    login.qzDBName = m_db.connectionString();
    suite::SuitePubService service;
    controls::HostEdit plain;
    QVERIFY(!service.InitRefEdit(&plain, &login, QStringLiteral("Customer_AA"), false, {}));
    QVERIFY(!service.InitRefEdit(nullptr, &login, QStringLiteral("Customer_AA"), false, {}));
}

void tst_Lookups::changedTextIsUncheckedUntilMatched()
{
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("u1");
    login.qzDBName = m_db.connectionString();
    controls::RefEdit edit;
    suite::SuitePubService service;
    QVERIFY(service.InitRefEdit(&edit, &login, QStringLiteral("Customer_AA"), false, {}));
    edit.setReference(QStringLiteral("C01"), QStringLiteral("Acme Trading"));
    QVERIFY(edit.isValidReference());
    service.SetRefEdt(&edit, nullptr);
    QVERIFY(!edit.isValidReference());
    QVERIFY(edit.recheck());
    QCOMPARE(edit.tag(), QStringLiteral("C01"));
    QLineEdit other;
    service.SetRefEdt(&other, nullptr); // not a reference editor: nothing to mark
}

QTEST_MAIN(tst_Lookups)
#include "tst_lookups.moc"
