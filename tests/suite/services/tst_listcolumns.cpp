// The contact list's columns from a layout: what the grid shows and a select list that runs.

#include "perikon/data/db/Recordset.h"
#include "perikon/list/ListStatement.h"
#include "suite/services/ListColumns.h"
#include "suite/services/SuiteColumnSetService.h"
#include "support/SuiteFixture.h"

#include <QTest>

#include <algorithm>

using namespace perikon;

class tst_ListColumns : public QObject
{
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void unreadableLayout();
    void codeIsShownRightAfterTheMarks_data();
    void codeIsShownRightAfterTheMarks();
    void everyDictionaryColumnRuns();
};

void tst_ListColumns::layout_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("selectList");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<int>>("widths");
    const QString mark = QStringLiteral("'' as cMark, ");
    const QString id = QStringLiteral(", Crm_Contact.cContactCode as ID");
    QTest::newRow("code first whatever the layout's order, joined columns from their tables")
        << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cCusName' cCaption='所属客户' "
           "iWidth='120'/><ColSet cFld='cContactCode' cCaption='联系人编码' iWidth='80'/>"
           "<ColSet cFld='cDepName' cCaption='所属部门'/></ColInfo>"
        << mark
               + "Crm_Contact.cContactCode as cContactCode, Customer.cCusName as cCusName, "
                 "Department.cDepName as cDepName"
               + id
        << QStringList{"", "联系人编码", "所属客户", "所属部门", "ID"}
        << QList<int>{28, 80, 120, 90, 0};
    QTest::newRow("hidden, unnamed and unsafe columns are left out")
        << "<colinfo><colset cfld='cMemo' ccaption='Remarks' bshow='true'/>"
           "<colset cfld='cEmail' ccaption='E-mail' bshow='false'/>"
           "<colset cfld='' ccaption='x'/><colset cfld='a;drop table x' ccaption='y'/>"
           "<colset cfld='cmemo' ccaption='twice'/><colset cfld='cLDefine2' "
           "coriginalcaption='Ext 2'/></colinfo>"
        << mark
               + "Crm_Contact.cContactCode as cContactCode, Crm_Contact.cMemo as cMemo, "
                 "Crm_Contact_extradefine.cLDefine2 as cLDefine2"
               + id
        << QStringList{"", "", "Remarks", "Ext 2", "ID"} << QList<int>{28, 90, 90, 90, 0};
}

void tst_ListColumns::layout()
{
    QFETCH(QString, xml);
    QFETCH(QString, selectList);
    QFETCH(QStringList, captions);
    QFETCH(QList<int>, widths);
    const std::optional<suite::ListColumns> columns = suite::listColumns(xml);
    QVERIFY(columns);
    QCOMPARE(columns->selectList, selectList);
    QStringList shownCaptions;
    QList<int> shownWidths;
    for (const suite::ListColumn &column : columns->columns) {
        shownCaptions.append(column.caption);
        shownWidths.append(column.width);
    }
    QCOMPARE(shownCaptions, captions);
    QCOMPARE(shownWidths, widths);
}

void tst_ListColumns::unreadableLayout()
{
    QString error;
    QVERIFY(!suite::listColumns(QStringLiteral("<ColInfo><ColSet"), &error));
    QVERIFY(!error.isEmpty());
}

void tst_ListColumns::codeIsShownRightAfterTheMarks_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("shownOrder");
    QTest::addColumn<QString>("codeCaption");
    QTest::newRow("code placed last")
        << "<ColInfo><ColSet cFld='cEmail' cCaption='E-mail' iOrder='1'/>"
           "<ColSet cFld='cMemo' cCaption='Remarks' iOrder='2'/>"
           "<ColSet cFld='cContactCode' cCaption='Code' iOrder='3'/></ColInfo>"
        << QStringList{"cMark", "cContactCode", "cEmail", "cMemo", "ID"} << "Code";
    QTest::newRow("code placed between others")
        << "<ColInfo><ColSet cFld='cEmail' cCaption='E-mail'/>"
           "<ColSet cFld='cContactCode' cCaption='Code'/>"
           "<ColSet cFld='cMemo' cCaption='Remarks'/></ColInfo>"
        << QStringList{"cMark", "cContactCode", "cEmail", "cMemo", "ID"} << "Code";
    QTest::newRow("code hidden by the layout")
        << "<ColInfo><ColSet cFld='cMemo' cCaption='Remarks' bShow='true'/>"
           "<ColSet cFld='cContactCode' cCaption='Code' bShow='false' iWidth='70'/></ColInfo>"
        << QStringList{"cMark", "cContactCode", "cMemo", "ID"} << "Code";
}

void tst_ListColumns::codeIsShownRightAfterTheMarks()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, shownOrder);
    QFETCH(QString, codeCaption);
    std::optional<suite::ListColumns> columns = suite::listColumns(xml);
    QVERIFY(columns);
    QList<suite::ListColumn> shown = columns->columns;
    std::stable_sort(
        shown.begin(), shown.end(),
        [](const suite::ListColumn &a, const suite::ListColumn &b) { return a.place < b.place; });
    QStringList aliases;
    for (const suite::ListColumn &column : shown)
        aliases.append(column.alias);
    QCOMPARE(aliases, shownOrder);
    QCOMPARE(shown.at(1).caption, codeCaption);
    QVERIFY(shown.at(1).width > 0);
}

void tst_ListColumns::everyDictionaryColumnRuns()
{
    SuiteFixture db;
    const QString error = db.create(3);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    suite::SuiteColumnSetService columnSet;
    QVERIFY(columnSet.Init(db.connectionString(), QStringLiteral("admin")));
    // Every column of the dictionary shown, as an operator could set it.
    QString xml = columnSet.getColInfo(QStringLiteral("Crm_Contact"), 0);
    xml.replace(QStringLiteral("bShow='false'"), QStringLiteral("bShow='true'"));
    const std::optional<suite::ListColumns> columns = suite::listColumns(xml);
    QVERIFY(columns);
    QVERIFY(columns->columns.size() > 40);

    db::Recordset rs;
    rs.open(list::listStatement(
                {columns->selectList, QStringLiteral("1=1"), {}, {}, {}, columns->orderText}),
            &db.connection());
    QCOMPARE(rs.fieldCount(), int(columns->columns.size()));
    QCOMPARE(rs.recordCount(), qint64(3));
    for (int i = 0; i < rs.fieldCount(); ++i)
        QCOMPARE(rs.field(i).name().toLower(), columns->columns.at(i).alias.toLower());
    QCOMPARE(rs.value(QStringLiteral("ID")), rs.value(QStringLiteral("cContactCode")));
}

QTEST_GUILESS_MAIN(tst_ListColumns)
#include "tst_listcolumns.moc"
