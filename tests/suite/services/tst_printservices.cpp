// What the list hands the print control: the grid as the operator sees it, the export's column
// types, and the print style each operator keeps.

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Recordset.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/printer/PrintData.h"
#include "suite/services/GridPrintData.h"
#include "suite/services/SuitePubService.h"
#include "support/FailOnWarnings.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

namespace {

// A list grid as the list lays it out: row numbers, marks, then the field columns.
void fillGrid(controls::HostGrid &grid, const QStringList &header, const QList<QStringList> &rows)
{
    grid.setRows(int(rows.size()) + 1);
    grid.setCols(int(header.size()) + 1);
    grid.setRowTexts(0, header, 1);
    for (int r = 0; r < rows.size(); ++r)
        grid.setRowTexts(r + 1, rows.at(r), 1);
    for (int col = 1; col < grid.Cols(); ++col)
        grid.setColWidth(col, 80);
}

} // namespace

class tst_PrintServices : public QObject
{
    Q_OBJECT
private slots:
    void init() { testing::failOnUnexpectedWarnings(); }
    void printDataIsTheGridAsShown();
    void exportTypesFollowTheColumnTypes_data();
    void exportTypesFollowTheColumnTypes();
    void typesAndSizesLineUpWithThePrintedColumns();
    void stylesAreKeptPerOperatorAndKey();
    void yearComesFromTheAccountDatabase();

private:
    SuiteFixture m_db;
};

void tst_PrintServices::printDataIsTheGridAsShown()
{
    controls::HostGrid grid;
    const QString awkward = QStringLiteral("Smith & \"Sons\" <Ltd>, 第二\n行");
    fillGrid(grid, {"", "Code", "Name", "Amount", "ID"},
             {{"√ ", "0007", awkward, "1,234.50", "x1"},
              {"", "0002", "王芳", "-3", "x2"},
              {"√ ", "0010", "", "", "x3"}});
    grid.setColWidth(5, 0);    // the hidden ID
    grid.setColPosition(3, 2); // the name dragged before the code
    suite::PrintHeading heading{"联系人档案列表", "王经理", "001", "2026", "2026-12-06"};

    // Read back as the print control reads it.
    const std::optional<suite::printer::PrintData> page
        = suite::printer::PrintData::parse(suite::printDataXml(grid, heading));
    QVERIFY(page);
    QCOMPARE(page->title, heading.title);
    QCOMPARE(page->operatorName, heading.operatorName);
    QCOMPARE(page->account, QStringLiteral("001"));
    QCOMPARE(page->year, QStringLiteral("2026"));
    QCOMPARE(page->date, heading.date);
    // No row numbers, no marks, no hidden column; the name first, as on screen.
    QStringList captions;
    QList<bool> right;
    for (const suite::printer::PrintColumn &column : page->columns) {
        captions.append(column.caption);
        right.append(column.align.testFlag(Qt::AlignRight));
    }
    QCOMPARE(captions, (QStringList{"Name", "Code", "Amount"}));
    QCOMPARE(right, (QList<bool>{false, false, true}));
    QCOMPARE(page->rows,
             (QList<QStringList>{
                 {awkward, "0007", "1,234.50"}, {"王芳", "0002", "-3"}, {"", "0010", ""}}));
}

void tst_PrintServices::exportTypesFollowTheColumnTypes_data()
{
    namespace type = db::ColumnType;
    QTest::addColumn<int>("columnType");
    QTest::addColumn<int>("exportType");
    QTest::newRow("text") << type::VarWChar << 1;
    QTest::newRow("fixed text") << type::WChar << 1;
    QTest::newRow("long text") << type::LongVarWChar << 1;
    QTest::newRow("guid as text") << type::Guid << 1;
    QTest::newRow("flag as text") << type::Boolean << 1;
    QTest::newRow("integer") << type::Integer << 3;
    QTest::newRow("small integer as integer") << type::SmallInt << 3;
    QTest::newRow("big integer as integer") << type::BigInt << 3;
    QTest::newRow("double") << type::Double << 5;
    QTest::newRow("money") << type::Currency << 6;
    QTest::newRow("numeric") << type::Numeric << 131;
    QTest::newRow("date") << type::Date << 135;
    QTest::newRow("timestamp") << type::DBTimeStamp << 135;
}

void tst_PrintServices::exportTypesFollowTheColumnTypes()
{
    QFETCH(int, columnType);
    QFETCH(int, exportType);
    QCOMPARE(suite::exportTypeCode(columnType), exportType);
}

void tst_PrintServices::typesAndSizesLineUpWithThePrintedColumns()
{
    QVERIFY2(m_db.create().isEmpty(), "no database");
    db::Recordset probe;
    probe.setCursorLocation(db::Recordset::UseClient);
    probe.open(QStringLiteral("SELECT N'' as cMark, Crm_Contact.cContactCode, "
                              "Crm_Contact.cConDefine11, Crm_Contact.dBirthday, "
                              "Crm_Contact.cConDefine13, Crm_Contact.OID FROM Crm_Contact "
                              "WHERE 1=2"),
               &m_db.connection(), db::Recordset::OpenStatic, db::Recordset::LockOptimistic);
    controls::HostGrid grid;
    fillGrid(grid, {"", "Code", "Integer", "Birthday", "Decimal", "ID"},
             {{"", "1", "2", "", "", ""}});
    grid.setColWidth(6, 0);    // the hidden ID
    grid.setColPosition(4, 2); // the birthday dragged to the front
    suite::SuitePubService service;
    QString types, sizes;
    service.GetTypeSize(&probe, &grid, types, sizes);
    QCOMPARE(types, QStringLiteral("135,1,3,5"));
    QCOMPARE(sizes.split(u',').size(), 4);
    QCOMPARE(sizes.split(u',').at(1), QStringLiteral("60")); // the code's declared size
}

void tst_PrintServices::stylesAreKeptPerOperatorAndKey()
{
    QVERIFY2(m_db.create().isEmpty(), "no database");
    auto admin = testing::operatorLogin(m_db, QStringLiteral("admin"), true);
    suite::SuitePubService service;
    QObject dataAccess; // a data-access object that knows its operator
    dataAccess.setProperty("login", QVariant::fromValue<QObject *>(admin.get()));
    const QString landscape = QStringLiteral("<PrnStyle orientation=\"landscape\" note=\"O'N\"/>");

    QCOMPARE(service.GetPrnStyle(QStringLiteral("Crm_Contact"), QStringLiteral("admin")),
             QString());
    QVERIFY(service.SavePrnStyle(&dataAccess, QStringLiteral("Crm_Contact"), landscape));
    QCOMPARE(service.GetPrnStyle(QStringLiteral("crm_contact"), QStringLiteral("admin")),
             landscape);
    QCOMPARE(service.GetPrnStyle(QStringLiteral("Crm_Contact"), QStringLiteral("clerk")),
             QString());
    QCOMPARE(service.GetPrnStyle(QStringLiteral("Other"), QStringLiteral("admin")), QString());

    // Without a login the style goes to the operator who last read it; a second save replaces.
    QObject anonymous;
    QCOMPARE(service.GetPrnStyle(QStringLiteral("Crm_Contact"), QStringLiteral("clerk")),
             QString());
    QVERIFY(
        service.SavePrnStyle(&anonymous, QStringLiteral("Crm_Contact"), QStringLiteral("<A/>")));
    QVERIFY(
        service.SavePrnStyle(&anonymous, QStringLiteral("Crm_Contact"), QStringLiteral("<B/>")));
    QCOMPARE(service.GetPrnStyle(QStringLiteral("Crm_Contact"), QStringLiteral("clerk")),
             QStringLiteral("<B/>"));
    QCOMPARE(service.GetPrnStyle(QStringLiteral("Crm_Contact"), QStringLiteral("admin")),
             landscape);
    // Nobody read the key and nobody is named: nothing is stored.
    QVERIFY(
        !service.SavePrnStyle(&anonymous, QStringLiteral("Never read"), QStringLiteral("<C/>")));
}

void tst_PrintServices::yearComesFromTheAccountDatabase()
{
    suite::SuitePubService service;
    QObject dataAccess;
    dataAccess.setProperty("m_CnnString",
                           QStringLiteral("Provider=SQLite;Data Source=/x/QZDATA_001_2026.db;"
                                          "Initial Catalog=QZDATA_001_2026"));
    QCOMPARE(service.InitParameter(&dataAccess, QStringLiteral("iYear")), QStringLiteral("2026"));
    QCOMPARE(service.InitParameter(&dataAccess, QStringLiteral("Other")), QString());
    dataAccess.setProperty("m_CnnString", QStringLiteral("Provider=SQLite;Data Source=/x/a.db"));
    QCOMPARE(service.InitParameter(&dataAccess, QStringLiteral("iYear")), QString());
}

QTEST_MAIN(tst_PrintServices)
#include "tst_printservices.moc"
