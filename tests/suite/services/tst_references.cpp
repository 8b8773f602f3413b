// The suite's lookups over queries: conditions a window hands in, rows read page by page and
// narrowed in the database, multiple choice, and the reference services built on them.

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "suite/services/RefDialog.h"
#include "suite/services/RefQueryModel.h"
#include "suite/services/ReferenceConditions.h"
#include "suite/services/SuiteReferences.h"
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

#include <functional>

using namespace perikon;

namespace {

// Runs `act` on the next modal dialog once it shows.
void onDialog(std::function<void(QDialog *)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            act(dialog);
    });
}

void clickOk(QDialog *dialog)
{
    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("RefOK"));
    if (ok && ok->isEnabled())
        QTest::mouseClick(ok, Qt::LeftButton);
    if (dialog->isVisible())
        dialog->reject();
}

// Waits out the filter line's pause before it queries.
void settleFilter()
{
    QTest::qWait(400);
}

} // namespace

class tst_References : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void filterConditionsBecomeSql_data();
    void filterConditionsBecomeSql();
    void lastDataAndMultiSelect();
    void rowsArriveInPagesInKeyOrder();
    void typedFilterNarrowsInTheDatabase_data();
    void typedFilterNarrowsInTheDatabase();
    void exactlyTypedRowIsTheOneTaken();
    void multipleChoiceKeepsEarlierChoices();
    void clientChoosesRowsOfAnyQuery();
    void clientRefusesWhatCannotOpen_data();
    void clientRefusesWhatCannotOpen();
    void itemReferenceOffersOpenItemsWithTheirClass();
    void baseCodeReferenceGivesTheName();
    void personArchiveGivesTheChosenRow();

private:
    QObject *login();
    SuiteFixture m_db;
    std::unique_ptr<QObject> m_login;
};

void tst_References::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(
        QStringLiteral("insert into Customer (cCusCode, iId, cCusName, cCusAbbName) values "
                       "(N'C01', 11, N'Acme Trading', N'AT'), (N'C02', 12, N'O''Neil Ltd', N'ON'), "
                       "(N'C03', 13, N'100% Cotton', N'PC'), (N'C04', 14, N'snake_case Ltd', "
                       "N'SC'), (N'C05', 15, N'上海贸易公司', N'上贸')"));
    m_login.reset();
}

QObject *tst_References::login()
{
    if (!m_login) {
        m_login = std::make_unique<QObject>();
        m_login->setProperty("qzDBName", m_db.connectionString());
        m_login->setProperty("cUserId", QStringLiteral("admin"));
        m_login->setProperty("IsAdmin", true);
    }
    return m_login.get();
}

void tst_References::filterConditionsBecomeSql_data()
{
    QTest::addColumn<QString>("conditions");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("codes"); // customers the SQL selects

    const auto one = [](const QString &name, const QString &value) {
        QString escaped = value;
        escaped.replace(u'&', QLatin1String("&amp;"))
            .replace(u'\'', QLatin1String("&apos;"))
            .replace(u'<', QLatin1String("&lt;"));
        return QStringLiteral("<RefConditions><Condition paramName='%1' paramValue='%2' />"
                              "</RefConditions>")
            .arg(name, escaped);
    };
    // clang-format off
    QTest::newRow("plain value") << one("@cCusCode", "C01") << "#FN[cCusCode]=@cCusCode" << true << QStringList{"C01"};
    QTest::newRow("quote in the value") << one("@cCusName", "O'Neil Ltd") << "#FN[cCusName]=@cCusName" << true << QStringList{"C02"};
    QTest::newRow("value that tries to widen") << one("@c", "x' OR 1=1 --") << "#FN[cCusCode]=@c" << true << QStringList{};
    QTest::newRow("non-ascii value") << one("@n", QStringLiteral("上海贸易公司")) << "#FN[cCusName]=@n" << true << QStringList{"C05"};
    QTest::newRow("names ignore case") << one("@CusCode", "C03") << "#fn[cCusCode]=@cuscode" << true << QStringList{"C03"};
    QTest::newRow("subquery with a parameter") << one("@cCusName", "Acme Trading") << "#FN[cCusCode] in (select cCusCode from Customer where cCusName= @cCusName)" << true << QStringList{"C01"};
    QTest::newRow("empty value and a literal of the filter") << one("@v", "") << "isnull(#FN[cCusAbbName],'')=@v" << true << QStringList{};
    QTest::newRow("an @ inside a literal is text") << one("@v", "C01") << "#FN[cCusCode]=@v or #FN[cCusName]='@v'" << true << QStringList{"C01"};
    QTest::newRow("empty filter narrows nothing") << "" << "" << true << QStringList{"C01", "C02", "C03", "C04", "C05"};
    QTest::newRow("column that is not a name") << one("@v", "C01") << "#FN[cCusCode) or (1]=@v" << false << QStringList{};
    QTest::newRow("parameter without a value") << one("@v", "C01") << "#FN[cCusCode]=@w" << false << QStringList{};
    QTest::newRow("conditions that are not xml") << "<RefConditions><Condition" << "#FN[cCusCode]=@v" << false << QStringList{};
    QTest::newRow("unclosed literal") << one("@v", "C01") << "#FN[cCusCode]='C01" << false << QStringList{};
    // clang-format on
}

void tst_References::filterConditionsBecomeSql()
{
    QFETCH(QString, conditions);
    QFETCH(QString, filter);
    QFETCH(bool, valid);
    QFETCH(QStringList, codes);

    const std::optional<QString> sql = suite::referenceFilterSql(conditions, filter, "refrows");
    QCOMPARE(sql.has_value(), valid);
    if (!valid)
        return;
    QString select = QStringLiteral("select refrows.cCusCode from Customer refrows");
    if (!sql->isEmpty())
        select += QStringLiteral(" where ") + *sql;
    QCOMPARE(m_db.column(select + QStringLiteral(" order by refrows.cCusCode")), codes);
}

void tst_References::lastDataAndMultiSelect()
{
    const QString settings = QStringLiteral(
        "<Ref><RefSet bMultiSel='1' iFilterStyle='0' /><LastData><Item keyVal='a&amp;b' />"
        "<Item keyVal=\"it's\" /></LastData></Ref>");
    QCOMPARE(suite::referenceLastData(settings), (QStringList{"a&b", "it's"}));
    QVERIFY(suite::referenceMultiSelect(settings));
    QVERIFY(!suite::referenceMultiSelect(QStringLiteral("<Ref><RefSet bMultiSel='0'/></Ref>")));
    QVERIFY(!suite::referenceMultiSelect(QStringLiteral("<Ref><RefSet")));
    QVERIFY(suite::referenceLastData(QString()).isEmpty());
}

void tst_References::rowsArriveInPagesInKeyOrder()
{
    QStringList values;
    for (int i = 0; i < 450; ++i)
        values.append(QStringLiteral("(N'X%1', %2, N'Name %1')")
                          .arg(i, 4, 10, QLatin1Char('0'))
                          .arg(1000 + i));
    m_db.exec(QStringLiteral("insert into Customer (cCusCode, iId, cCusName) values ")
              + values.join(u','));

    suite::RefQueryModel model(m_db.connection(),
                               {QStringLiteral("SELECT * FROM Customer"), "cCusCode", {"cCusName"}},
                               {"cCusCode", "cCusName"}, {"Code", "Name"});
    QCOMPARE(model.rowCount(), suite::RefQueryModel::kPageSize);
    QVERIFY(model.canFetchMore({}));
    // The tester reads on through fetchMore as views do.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    while (model.canFetchMore({}))
        model.fetchMore({});
    QCOMPARE(model.rowCount(), 455);
    QVERIFY(model.lastError().isEmpty());
    QStringList keys;
    for (int row = 0; row < model.rowCount(); ++row)
        keys.append(model.keyAt(row));
    QStringList sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(keys, sorted);
    QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()).size(), 455);
    QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
             QStringLiteral("Acme Trading"));
}

void tst_References::typedFilterNarrowsInTheDatabase_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    // clang-format off
    QTest::newRow("any case") << "acme" << QStringList{"C01"};
    QTest::newRow("quote") << "o'n" << QStringList{"C02"};
    QTest::newRow("percent is a character") << "%" << QStringList{"C03"};
    QTest::newRow("underscore is a character") << "_" << QStringList{"C04"};
    QTest::newRow("backslash finds nothing") << "\\" << QStringList{};
    QTest::newRow("chinese") << QStringLiteral("贸易") << QStringList{"C05"};
    QTest::newRow("code or name") << "c0" << QStringList{"C01", "C02", "C03", "C04", "C05"};
    QTest::newRow("nothing") << "zzz" << QStringList{};
    // clang-format on
}

void tst_References::typedFilterNarrowsInTheDatabase()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);

    suite::RefDialog dialog(m_db.connection(),
                            {QStringLiteral("SELECT cCusCode, cCusName FROM Customer"),
                             "cCusCode",
                             {"cCusCode", "cCusName"}},
                            {{"cCusCode", "Code"}, {"cCusName", "Name"}});
    auto *line = dialog.findChild<QLineEdit *>(QStringLiteral("RefFilter"));
    auto *grid = dialog.findChild<QTableView *>(QStringLiteral("RefGrid"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("RefOK"));
    QVERIFY(line && grid && ok);
    QCOMPARE(grid->model()->rowCount(), 5);
    testing::typeText(line, typed);
    settleFilter();
    QVERIFY(dialog.queryError().isEmpty());
    QStringList shown;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        shown.append(grid->model()->index(row, 0).data().toString());
    QCOMPARE(shown, codes);
    QCOMPARE(ok->isEnabled(), !codes.isEmpty());
}

void tst_References::exactlyTypedRowIsTheOneTaken()
{
    // "副总经理" sorts before "总经理": typing the whole name still takes the named one.
    suite::RefDialog dialog(
        m_db.connection(),
        {QStringLiteral("SELECT cName FROM Crm_BaseCode WHERE cType=N'Duty'"), "cName", {"cName"}},
        {{"cName", "Name"}});
    auto *line = dialog.findChild<QLineEdit *>(QStringLiteral("RefFilter"));
    testing::typeText(line, QStringLiteral("总经理"));
    settleFilter();
    QCOMPARE(dialog.shownRowCount(), 2);
    onDialog([](QDialog *d) { clickOk(d); });
    dialog.exec();
    QCOMPARE(dialog.chosenKey(), QStringLiteral("总经理"));
}

void tst_References::multipleChoiceKeepsEarlierChoices()
{
    suite::RefDialog dialog(m_db.connection(),
                            {QStringLiteral("SELECT cCusCode, cCusName FROM Customer"),
                             "cCusCode",
                             {"cCusCode", "cCusName"}},
                            {{"cCusCode", "Code"}, {"cCusName", "Name"}});
    dialog.setMultiSelect({"C04", "C02"});
    auto *line = dialog.findChild<QLineEdit *>(QStringLiteral("RefFilter"));
    auto *grid = dialog.findChild<QTableView *>(QStringLiteral("RefGrid"));
    QVERIFY(line && grid);
    QCOMPARE(grid->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(grid->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    // Narrowed to a row that was not chosen: checking it keeps the earlier ones.
    testing::typeText(line, QStringLiteral("acme"));
    settleFilter();
    QCOMPARE(grid->model()->rowCount(), 1);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Space);
    // Unchecking a preselected row removes it.
    line->clear();
    settleFilter();
    grid->setCurrentIndex(grid->model()->index(3, 1));
    QTest::keyClick(grid, Qt::Key_Space);
    onDialog([](QDialog *d) { clickOk(d); });
    dialog.exec();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenKeys(), (QStringList{"C02", "C01"}));
}

void tst_References::clientChoosesRowsOfAnyQuery()
{
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (OID, cContactCode, cContactName, cCusCode) values "
        "(N'o1', N'K1', N'Ann', N'C01'), (N'o2', N'K2', N'Bob', N'C02'), (N'o3', N'K3', N'Cy', "
        "N'C01')"));
    suite::SuiteReferenceClient client;
    client.SetLogin(login());
    QString error;
    // Both tables have cCusCode: the rows still open.
    QVERIFY2(client.StrRefInit(QStringLiteral("SELECT * FROM Crm_Contact left join Customer on "
                                              "Crm_Contact.cCusCode =Customer.cCusCode WHERE  "
                                              "Customer.cCusCode = N'C01'"),
                               "cContactCode", "cContactCode,cContactName", {}, {}, error),
             qPrintable(error));
    int shown = -1;
    onDialog([&shown](QDialog *d) {
        auto *grid = d->findChild<QTableView *>(QStringLiteral("RefGrid"));
        shown = grid ? grid->model()->rowCount() : -1;
        grid->setCurrentIndex(grid->model()->index(1, 0));
        clickOk(d);
    });
    QVERIFY(client.Show(nullptr));
    QCOMPARE(shown, 2);
    auto *chosen = qobject_cast<db::Recordset *>(client.recmx());
    QVERIFY(chosen);
    QCOMPARE(chosen->value(QStringLiteral("cContactName")).toString(), QStringLiteral("Cy"));

    onDialog([](QDialog *d) { d->reject(); });
    QVERIFY(!client.Show(nullptr));
    QVERIFY(!client.recmx());
}

void tst_References::clientRefusesWhatCannotOpen_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("no such table") << "SELECT * FROM NoSuchTable" << "cCode" << "cCode";
    QTest::newRow("no such key") << "SELECT cCusCode FROM Customer" << "cNope" << "cCusCode";
    QTest::newRow("key that is an expression") << "SELECT cCusCode FROM Customer" << "cCusCode) x; --" << "cCusCode";
    QTest::newRow("shown column missing") << "SELECT cCusCode FROM Customer" << "cCusCode" << "cCusCode,cCusName";
    // clang-format on
}

void tst_References::clientRefusesWhatCannotOpen()
{
    QFETCH(QString, sql);
    QFETCH(QString, key);
    QFETCH(QString, shown);
    suite::SuiteReferenceClient client;
    client.SetLogin(login());
    QString error;
    QVERIFY(!client.StrRefInit(sql, key, shown, {}, {}, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!client.Show(nullptr)); // nothing to show, no dialog
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Customer")), 5);
}

void tst_References::itemReferenceOffersOpenItemsWithTheirClass()
{
    m_db.exec(QStringLiteral("insert into fitem (citem_class, citem_name) values (N'97', N'Mkt')"));
    m_db.exec(QStringLiteral("insert into fitemss97 (citemcode, citemname, bclose) values "
                             "(N'P1', N'Open one', 0), (N'P2', N'Closed', 1), (N'P3', N'Open two', "
                             "0)"));
    suite::SuiteReferenceClient client;
    client.SetLogin(login());
    QString error;
    QVERIFY(!client.ItemRefInit(QStringLiteral("98"), {}, error));
    QVERIFY(error.contains(QStringLiteral("98")));
    QVERIFY(!client.ItemRefInit(QStringLiteral("9;drop"), {}, error));
    QVERIFY2(client.ItemRefInit(QStringLiteral("97"), QStringLiteral(" isnull(bclose,0)=0"), error),
             qPrintable(error));
    QStringList offered;
    onDialog([&offered](QDialog *d) {
        auto *grid = d->findChild<QTableView *>(QStringLiteral("RefGrid"));
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            offered.append(grid->model()->index(row, 0).data().toString());
        grid->setCurrentIndex(grid->model()->index(1, 0));
        clickOk(d);
    });
    QVERIFY(client.Show(nullptr));
    QCOMPARE(offered, (QStringList{"P1", "P3"}));
    auto *item = qobject_cast<db::Recordset *>(client.RstSelClass());
    QVERIFY(item);
    QCOMPARE(item->value(QStringLiteral("citem_class")).toString(), QStringLiteral("97"));
    QCOMPARE(item->value(QStringLiteral("citemname")).toString(), QStringLiteral("Open two"));
}

void tst_References::baseCodeReferenceGivesTheName()
{
    suite::SuiteBaseCodeReference reference;
    QStringList offered;
    onDialog([&offered](QDialog *d) {
        auto *grid = d->findChild<QTableView *>(QStringLiteral("RefGrid"));
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            offered.append(grid->model()->index(row, 0).data().toString());
        auto *line = d->findChild<QLineEdit *>(QStringLiteral("RefFilter"));
        testing::typeText(line, QStringLiteral("钓"));
        QTimer::singleShot(400, d, [d] { clickOk(d); });
    });
    QString name;
    QVERIFY(reference.Show(login(), QStringLiteral("Taste"), nullptr, name));
    QCOMPARE(name, QStringLiteral("钓鱼"));
    QCOMPARE(
        offered.size(),
        int(m_db.count(QStringLiteral("select count(*) from Crm_BaseCode where cType=N'Taste'"))));
    onDialog([](QDialog *d) { d->reject(); });
    name = QStringLiteral("kept");
    QVERIFY(!reference.Show(login(), QStringLiteral("Duty"), nullptr, name));
    QCOMPARE(name, QStringLiteral("kept"));
}

void tst_References::personArchiveGivesTheChosenRow()
{
    m_db.exec(QStringLiteral("insert into Person (cPersonCode, cPersonName, cDepCode) values "
                             "(N'P01', N'李四', N'D1'), (N'P02', N'O''Hara', N'D2')"));
    suite::SuiteArchiveReference persons(QStringLiteral("Person_AA"));
    QString filterSeen;
    onDialog([&filterSeen](QDialog *d) {
        filterSeen = d->findChild<QLineEdit *>(QStringLiteral("RefFilter"))->text();
        QTimer::singleShot(400, d, [d] { clickOk(d); });
    });
    QString error;
    auto *row = qobject_cast<db::Recordset *>(persons.GetRecordRst(
        login(), QStringLiteral("o'h"), QStringLiteral("cDepCode=N'D2'"), nullptr, error));
    QVERIFY2(row, qPrintable(error));
    QCOMPARE(filterSeen, QStringLiteral("o'h"));
    QCOMPARE(row->value(QStringLiteral("cPersonCode")).toString(), QStringLiteral("P02"));
    QCOMPARE(row->value(QStringLiteral("cPersonName")).toString(), QStringLiteral("O'Hara"));
}

QTEST_MAIN(tst_References)
#include "tst_references.moc"
