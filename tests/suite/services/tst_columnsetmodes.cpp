// The column-set service's starting points for the column-settings window (the operator's
// layout, every column, the default layout), storing a layout with the reason handed back, and
// the list's column information made from a layout that was not stored.

#include "support/SuiteFixture.h"

#include "suite/SuiteLogin.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuitePubService.h"

#include "support/ColInfoReader.h"

#include <QTest>

#include <pugixml.hpp>

#include <algorithm>

using namespace perikon;
using testing::ColSet;
using testing::fields;
using testing::findColumn;
using testing::parseColInfo;

namespace {

// The operator's layout: the mobile number first and renamed, the code second, e-mail hidden.
const QString kStoredLayout = QStringLiteral(
    "<ColInfo cKey='Crm_Contact'>"
    "<ColSet cFld='cMobilePhone' cCaption='Mobile!' bShow='true' iWidth='200' iOrder='1' "
    "bMustInput='false'/>"
    "<ColSet cFld='cContactCode' bShow='true' iWidth='90' iOrder='2' bMustInput='false'/>"
    "<ColSet cFld='cEmail' bShow='false' iWidth='150' iOrder='3' bMustInput='false'/>"
    "</ColInfo>");

constexpr int kOneArgument = -1;

} // namespace

class tst_ColumnSetModes : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startingPoints_data();
    void startingPoints();
    void modesAreKeptApart();
    void saveHandsTheReasonBack_data();
    void saveHandsTheReasonBack();
    void savedLayoutComesBack();
    void unsavedLayoutForTheList_data();
    void unsavedLayoutForTheList();
    void unsavedLayoutMatchesWhatTheListReadsWhenStored();

private:
    SuiteFixture m_db;
};

void tst_ColumnSetModes::init()
{
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    QVERIFY2(service.SaveColInfo(QStringLiteral("Crm_Contact"), kStoredLayout),
             qPrintable(service.lastError()));
}

void tst_ColumnSetModes::cleanup()
{
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
}

void tst_ColumnSetModes::startingPoints_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("firstField");
    QTest::addColumn<QString>("mobileCaption");
    QTest::addColumn<int>("mobileWidth");
    QTest::addColumn<bool>("emailShown");
    QTest::addColumn<bool>("everyColumnShown");
    QTest::newRow("one argument: the operator's layout") << kOneArgument << "cMobilePhone"
                                                         << "Mobile!" << 200 << false << false;
    QTest::newRow("0: the operator's layout") << 0 << "cMobilePhone"
                                              << "Mobile!" << 200 << false << false;
    QTest::newRow("15: every column shown, otherwise the operator's layout")
        << 15 << "cMobilePhone"
        << "Mobile!" << 200 << true << true;
    QTest::newRow("2: the default layout") << 2 << "cContactCode"
                                           << "手机" << 110 << true << false;
}

void tst_ColumnSetModes::startingPoints()
{
    QFETCH(int, mode);
    QFETCH(QString, firstField);
    QFETCH(QString, mobileCaption);
    QFETCH(int, mobileWidth);
    QFETCH(bool, emailShown);
    QFETCH(bool, everyColumnShown);
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QString xml = mode == kOneArgument
                            ? service.getColInfo(QStringLiteral("Crm_Contact"))
                            : service.getColInfo(QStringLiteral("Crm_Contact"), mode);
    QString key;
    const QList<ColSet> columns = parseColInfo(xml, &key);
    QCOMPARE(key, QStringLiteral("Crm_Contact"));
    // Every mode lists every column of the dictionary.
    QCOMPARE(columns.size(),
             int(m_db.count(QStringLiteral(
                 "select count(*) from QZMeta_001..aa_columndic where ckey=N'crm_contact'"))));
    QCOMPARE(columns.first().field, firstField);
    const ColSet *mobile = findColumn(columns, QStringLiteral("cMobilePhone"));
    QVERIFY(mobile);
    QCOMPARE(mobile->caption, mobileCaption);
    QCOMPARE(mobile->width, mobileWidth);
    QCOMPARE(findColumn(columns, QStringLiteral("cEmail"))->show, emailShown);
    const bool allShown = std::all_of(columns.cbegin(), columns.cend(),
                                      [](const ColSet &column) { return column.show; });
    QCOMPARE(allShown, everyColumnShown);
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(columns.at(i).order, i + 1);
}

void tst_ColumnSetModes::modesAreKeptApart()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QString key = QStringLiteral("Crm_Contact");
    // Asked one after the other on one service, each mode gives its own layout.
    const QList<ColSet> defaults = parseColInfo(service.getColInfo(key, 2));
    const QList<ColSet> all = parseColInfo(service.getColInfo(key, 15));
    const QList<ColSet> mine = parseColInfo(service.getColInfo(key, 0));
    const QList<ColSet> shown = parseColInfo(service.getColInfo(key, 1));
    QCOMPARE(defaults.first().field, QStringLiteral("cContactCode"));
    QVERIFY(findColumn(all, QStringLiteral("cEmail"))->show);
    QVERIFY(!findColumn(mine, QStringLiteral("cEmail"))->show);
    QCOMPARE(mine.first().field, QStringLiteral("cMobilePhone"));
    QVERIFY(shown.size() < mine.size());
    QVERIFY(!findColumn(shown, QStringLiteral("cEmail")));
    // And again, now from what the service kept.
    QCOMPARE(parseColInfo(service.getColInfo(key, 2)).first().field,
             QStringLiteral("cContactCode"));
    QVERIFY(!findColumn(parseColInfo(service.getColInfo(key)), QStringLiteral("cEmail"))->show);
}

void tst_ColumnSetModes::saveHandsTheReasonBack_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("dropTable");
    QTest::newRow("not XML") << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cEmail'" << false;
    QTest::newRow("no archive named")
        << "<ColInfo><ColSet cFld='cEmail' bShow='true' iOrder='1'/></ColInfo>" << false;
    QTest::newRow("column without a field")
        << "<ColInfo cKey='Crm_Contact'><ColSet bShow='true' iOrder='1'/></ColInfo>" << false;
    QTest::newRow("the database refuses")
        << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cEmail' bShow='true' iOrder='1'/>"
           "</ColInfo>"
        << true;
}

void tst_ColumnSetModes::saveHandsTheReasonBack()
{
    QFETCH(QString, xml);
    QFETCH(bool, dropTable);
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    const QString before = service.getColInfo(QStringLiteral("Crm_Contact"), 1);
    if (dropTable)
        m_db.exec(QStringLiteral("drop table qz_ColumnLayout"));
    QString colInfo = xml;
    QVERIFY(!service.Save(colInfo));
    QVERIFY(colInfo != xml);
    QVERIFY2(colInfo.startsWith(QStringLiteral("栏目设置没有保存")), qPrintable(colInfo));
    QVERIFY(!service.lastError().isEmpty());
    QVERIFY2(colInfo.contains(service.lastError()), qPrintable(colInfo));
    if (!dropTable) {
        suite::SuiteColumnSetService fresh;
        QVERIFY(fresh.Init(m_db.connectionString(), QStringLiteral("u1")));
        QCOMPARE(fresh.getColInfo(QStringLiteral("Crm_Contact"), 1), before);
    }
}

void tst_ColumnSetModes::savedLayoutComesBack()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    // Kept before the save: the save must make the service read again.
    QCOMPARE(parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1)).first().field,
             QStringLiteral("cMobilePhone"));
    QString colInfo = QStringLiteral(
        "<ColInfo cKey='Crm_Contact'>"
        "<ColSet cFld='cContactCode' bShow='true' iWidth='80' iOrder='1'/>"
        "<ColSet cFld='cEmail' cCaption='Mail' bShow='true' iWidth='170' iOrder='2'/>"
        "<ColSet cFld='cMobilePhone' bShow='false' iWidth='200' iOrder='3'/></ColInfo>");
    QVERIFY(service.Save(colInfo));
    const QList<ColSet> shown = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1));
    QCOMPARE(fields(shown).mid(0, 2),
             (QStringList{QStringLiteral("cContactCode"), QStringLiteral("cEmail")}));
    QCOMPARE(shown.at(1).caption, QStringLiteral("Mail"));
    QCOMPARE(shown.at(1).width, 170);
    QVERIFY(!findColumn(shown, QStringLiteral("cMobilePhone")));
}

void tst_ColumnSetModes::unsavedLayoutForTheList_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("readable");
    QTest::newRow("hidden columns dropped, the rest by iOrder")
        << "<ColInfo cKey='Crm_Contact'>"
           "<ColSet cFld='cEmail' cCaption='Mail' bShow='true' iWidth='170' iOrder='3'/>"
           "<ColSet cFld='cMemo' bShow='false' iOrder='1'/>"
           "<ColSet cFld='cContactCode' cCaption='Code' bShow='true' iWidth='80' iOrder='1'/>"
           "<ColSet cFld='cMobilePhone' cCaption='Mobile' bShow='true' iWidth='120' "
           "iOrder='2'/></ColInfo>"
        << QStringList{"cContactCode", "cMobilePhone", "cEmail"} << true;
    QTest::newRow("nothing shown") << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cMemo' "
                                      "bShow='false' iOrder='1'/></ColInfo>"
                                   << QStringList{} << true;
    QTest::newRow("not XML") << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cMemo'" << QStringList{}
                             << false;
}

void tst_ColumnSetModes::unsavedLayoutForTheList()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, expected);
    QFETCH(bool, readable);
    suite::SuitePubService service;
    const QString listInfo = service.GetUnSavedColSet(xml);
    QCOMPARE(listInfo.isEmpty(), !readable);
    if (!readable)
        return;
    QString key;
    const QList<ColSet> columns = parseColInfo(listInfo, &key);
    QCOMPARE(key, QStringLiteral("Crm_Contact"));
    QCOMPARE(fields(columns), expected);
    // Each column keeps what the layout gave it.
    const QList<ColSet> given = parseColInfo(xml);
    for (const ColSet &column : columns) {
        const ColSet *source = findColumn(given, column.field);
        QCOMPARE(column.caption, source->caption);
        QCOMPARE(column.width, source->width);
        QCOMPARE(column.order, source->order);
        QVERIFY(column.show);
    }
}

void tst_ColumnSetModes::unsavedLayoutMatchesWhatTheListReadsWhenStored()
{
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("u1")));
    suite::SuitePubService pub;
    const QList<ColSet> made
        = parseColInfo(pub.GetUnSavedColSet(service.getColInfo(QStringLiteral("Crm_Contact"), 0)));
    const QList<ColSet> read = parseColInfo(service.getColInfo(QStringLiteral("Crm_Contact"), 1));
    QVERIFY(!made.isEmpty());
    QCOMPARE(fields(made), fields(read));
    for (int i = 0; i < made.size(); ++i) {
        QCOMPARE(made.at(i).caption, read.at(i).caption);
        QCOMPARE(made.at(i).width, read.at(i).width);
    }
}

QTEST_GUILESS_MAIN(tst_ColumnSetModes)
#include "tst_columnsetmodes.moc"
