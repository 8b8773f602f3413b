// The list grid's column widths and order as the operator leaves them: stored through the public
// service and laid out again by getColSet the next time the list opens.

#include "perikon/data/db/Driver.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuitePubService.h"
#include "support/FailOnWarnings.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QHeaderView>
#include <QTest>

#include <algorithm>

using namespace perikon;

namespace {

struct ShownColumn
{
    QString field;
    int width = 0;
    bool operator==(const ShownColumn &) const = default;
};

char *toString(const ShownColumn &column)
{
    return qstrdup(qPrintable(column.field + u':' + QString::number(column.width)));
}

// The field columns left to right as the operator sees them.
QList<ShownColumn> shownColumns(const controls::HostGrid &grid)
{
    QList<std::pair<int, ShownColumn>> placed;
    for (int col = 1; col < grid.Cols(); ++col) {
        const QString field = grid.ColKey(col);
        if (field.isEmpty() || field == QLatin1String("cMark") || field == QLatin1String("ID"))
            continue;
        placed.append({grid.ColPosition(col), {field, grid.ColWidth(col)}});
    }
    std::sort(placed.begin(), placed.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<ShownColumn> columns;
    for (const auto &entry : placed)
        columns.append(entry.second);
    return columns;
}

int hostColumnOf(const controls::HostGrid &grid, const QString &field)
{
    for (int col = 1; col < grid.Cols(); ++col) {
        if (grid.ColKey(col).compare(field, Qt::CaseInsensitive) == 0)
            return col;
    }
    return -1;
}

using Move = std::pair<QString, int>; // field, host position it is dragged to

} // namespace

class tst_ColumnSave : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void layoutSurvivesReopen_data();
    void layoutSurvivesReopen();
    void storedCaptionsAndFlagsStay();
    void otherOperatorsLayoutStays();
    void failureLeavesStoredLayout_data();
    void failureLeavesStoredLayout();
    void gridWithoutFieldColumnsIsRefused();

private:
    // Lays `grid` out as the list does for `user`.
    void layOut(controls::HostGrid &grid, const QString &user = QStringLiteral("admin"));
    QStringList storedRows(const QString &user = QStringLiteral("admin"));
    void storeRow(const QString &user, const QString &field, const QString &caption, bool show,
                  int width, int order, bool mustInput);
    void refuseInsertOf(const QString &field);

    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_ColumnSave::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), false);
}

void tst_ColumnSave::layOut(controls::HostGrid &grid, const QString &user)
{
    suite::SuiteColumnSetService columns;
    QVERIFY(columns.Init(m_db.connection(), user));
    const QString info = columns.getColInfo(QStringLiteral("Crm_Contact"), 1);
    QVERIFY2(!info.isEmpty(), qPrintable(columns.lastError()));
    suite::SuitePubService service;
    QString selectList, orderText, message;
    int fixedCols = 0, reserved = 0;
    QVERIFY2(service.getColSet(info, selectList, fixedCols, orderText, reserved, &grid, message),
             qPrintable(message));
}

QStringList tst_ColumnSave::storedRows(const QString &user)
{
    // key|field|caption|show|width|order|must input, a row per column
    const auto cursor = m_db.connection().openCursor(
        QStringLiteral("select cKey, cFieldName, cCaption, bShow, iWidth, iOrder, bMustInput "
                       "from qz_ColumnLayout where cUser_Id=N'%1' order by cKey, cFieldName")
            .arg(user));
    QStringList rows;
    while (cursor && cursor->next()) {
        QStringList parts;
        for (int i = 0; i < 7; ++i) {
            const QVariant value = cursor->value(i);
            parts.append(value.isNull() ? QStringLiteral("(none)")
                         : value.metaType().id() == QMetaType::Bool
                             ? QString::number(value.toBool() ? 1 : 0)
                             : value.toString());
        }
        rows.append(parts.join(u'|'));
    }
    return rows;
}

void tst_ColumnSave::storeRow(const QString &user, const QString &field, const QString &caption,
                              bool show, int width, int order, bool mustInput)
{
    m_db.exec(
        QStringLiteral("insert into qz_ColumnLayout (cUser_Id, cKey, cFieldName, cCaption, "
                       "bShow, iWidth, iOrder, bMustInput) values (N'%1', N'crm_contact', "
                       "N'%2', %3, %4, %5, %6, %7)")
            .arg(user, field,
                 caption.isEmpty() ? QStringLiteral("null") : QStringLiteral("N'%1'").arg(caption))
            .arg(show ? 1 : 0)
            .arg(width)
            .arg(order)
            .arg(mustInput ? 1 : 0));
}

// The database refuses to store a row for `field`, as a full disk or a lost link would.
void tst_ColumnSave::refuseInsertOf(const QString &field)
{
    db::Driver &driver = m_db.connection().driver();
    if (m_db.connection().target() == db::SqlTarget::Postgres) {
        driver.execute(
            QStringLiteral("CREATE FUNCTION refuse_column() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN IF lower(NEW.cfieldname) = '%1' THEN RAISE EXCEPTION "
                           "'refused'; END IF; RETURN NEW; END $$")
                .arg(field.toLower()));
        driver.execute(QStringLiteral("CREATE TRIGGER refuse_column BEFORE INSERT ON "
                                      "qz_columnlayout FOR EACH ROW EXECUTE FUNCTION "
                                      "refuse_column()"));
    } else {
        driver.execute(QStringLiteral("CREATE TRIGGER refuse_column BEFORE INSERT ON "
                                      "qz_ColumnLayout WHEN lower(NEW.cFieldName) = '%1' BEGIN "
                                      "SELECT RAISE(ABORT, 'refused'); END")
                           .arg(field.toLower()));
    }
}

void tst_ColumnSave::layoutSurvivesReopen_data()
{
    QTest::addColumn<QList<Move>>("moves");
    QTest::addColumn<QStringList>("widened");
    QTest::addColumn<QString>("archive");
    QTest::addColumn<bool>("storedBefore");

    const QList<Move> none;
    QTest::newRow("widths only") << none
                                 << QStringList{QStringLiteral("cContactName"),
                                                QStringLiteral("cEmail")}
                                 << "Crm_Contact" << false;
    QTest::newRow("a column dragged to the front")
        << QList<Move>{{QStringLiteral("cEmail"), 2}} << QStringList() << "Crm_Contact" << false;
    QTest::newRow("the code dragged behind the name")
        << QList<Move>{{QStringLiteral("cContactCode"), 3}}
        << QStringList{QStringLiteral("cContactCode")} << "Crm_Contact" << false;
    QTest::newRow("moves and widths over a stored layout")
        << QList<Move>{{QStringLiteral("cMobilePhone"), 3}, {QStringLiteral("cCusName"), 8}}
        << QStringList{QStringLiteral("cCusName"), QStringLiteral("cDepName")} << "Crm_Contact"
        << true;
    QTest::newRow("archive in capitals")
        << QList<Move>{{QStringLiteral("cDepName"), 4}} << QStringList{QStringLiteral("cDepName")}
        << "CRM_CONTACT" << true;
    QTest::newRow("archive in lower case with blanks")
        << QList<Move>{{QStringLiteral("cSexName"), 2}}
        << QStringList{QStringLiteral("cOfficePhone")} << " crm_contact " << false;
}

void tst_ColumnSave::layoutSurvivesReopen()
{
    QFETCH(QList<Move>, moves);
    QFETCH(QStringList, widened);
    QFETCH(QString, archive);
    QFETCH(bool, storedBefore);
    if (storedBefore) {
        storeRow(QStringLiteral("admin"), QStringLiteral("cContactName"), QString(), true, 130, 1,
                 true);
        storeRow(QStringLiteral("admin"), QStringLiteral("cDepName"), QString(), true, 110, 4,
                 false);
    }

    controls::HostGrid grid;
    layOut(grid);
    const QList<ShownColumn> before = shownColumns(grid);
    QVERIFY(before.size() > 5);
    // What the operator does with the mouse: drag sections and their edges in the header.
    QHeaderView *header = grid.horizontalHeader();
    for (const auto &[field, position] : moves) {
        const int col = hostColumnOf(grid, field);
        QVERIFY2(col > 0, qPrintable(field));
        header->moveSection(header->visualIndex(col - 1), position - 1);
    }
    for (int i = 0; i < widened.size(); ++i) {
        const int col = hostColumnOf(grid, widened.at(i));
        QVERIFY2(col > 0, qPrintable(widened.at(i)));
        header->resizeSection(col - 1, 240 + 10 * i);
    }
    // The list fills its rows after the operator arranged the columns.
    grid.setRows(4);
    const QList<ShownColumn> arranged = shownColumns(grid);
    QVERIFY(arranged != before);

    suite::SuitePubService service;
    DataAccessStub com(&m_db.connection());
    bool saved = false;
    // Scripts reach it by name, as the automation bridge does.
    QVERIFY(QMetaObject::invokeMethod(&service, "SaveColSet", Qt::DirectConnection,
                                      Q_RETURN_ARG(bool, saved), Q_ARG(QObject *, &com),
                                      Q_ARG(QWidget *, &grid), Q_ARG(QString, archive),
                                      Q_ARG(QString, QStringLiteral("admin"))));
    QVERIFY(saved);

    // The code comes back right after the marks wherever it was dragged, since commands read it
    // there; the other columns keep the places and widths they were given.
    QList<ShownColumn> expected = arranged;
    const auto code = std::find_if(expected.begin(), expected.end(), [](const ShownColumn &c) {
        return c.field == QLatin1String("cContactCode");
    });
    QVERIFY(code != expected.end());
    const ShownColumn codeColumn = *code;
    expected.erase(code);
    expected.prepend(codeColumn);
    controls::HostGrid reopened;
    layOut(reopened);
    QCOMPARE(shownColumns(reopened), expected);
    QCOMPARE(m_db.count(QStringLiteral(
                 "select count(*) from qz_ColumnLayout where cKey <> N'crm_contact'")),
             0);
}

void tst_ColumnSave::storedCaptionsAndFlagsStay()
{
    storeRow(QStringLiteral("admin"), QStringLiteral("cContactName"), QStringLiteral("Person"),
             true, 130, 2, true);
    storeRow(QStringLiteral("admin"), QStringLiteral("cEmail"), QStringLiteral("Mail"), false, 90,
             5, false);
    storeRow(QStringLiteral("admin"), QStringLiteral("cMobilePhone"), QString(), true, 120, 3,
             true);
    controls::HostGrid grid;
    layOut(grid);
    QCOMPARE(hostColumnOf(grid, QStringLiteral("cEmail")), -1); // hidden by the operator
    QHeaderView *header = grid.horizontalHeader();
    const int name = hostColumnOf(grid, QStringLiteral("cContactName"));
    header->moveSection(header->visualIndex(name - 1), header->count() - 2);
    header->resizeSection(name - 1, 250);

    suite::SuitePubService service;
    DataAccessStub com(&m_db.connection());
    QVERIFY(
        service.SaveColSet(&com, &grid, QStringLiteral("Crm_Contact"), QStringLiteral("admin")));

    const QStringList rows = storedRows();
    const auto rowOf = [&rows](const QString &field) -> QStringList {
        for (const QString &row : rows) {
            const QStringList parts = row.split(u'|');
            if (parts.at(1).compare(field, Qt::CaseInsensitive) == 0)
                return parts;
        }
        return {};
    };
    // key | field | caption | show | width | order | must input
    const QStringList person = rowOf(QStringLiteral("cContactName"));
    QCOMPARE(person.value(2), QStringLiteral("Person"));
    QCOMPARE(person.value(3), QStringLiteral("1"));
    QCOMPARE(person.value(4), QStringLiteral("250"));
    QCOMPARE(person.value(6), QStringLiteral("1"));
    const QStringList mail = rowOf(QStringLiteral("cEmail"));
    QCOMPARE(mail.mid(2, 3),
             (QStringList{QStringLiteral("Mail"), QStringLiteral("0"), QStringLiteral("90")}));
    QCOMPARE(mail.value(6), QStringLiteral("0"));
    QCOMPARE(rowOf(QStringLiteral("cMobilePhone")).value(6), QStringLiteral("1"));
    // A shown column stored for the first time keeps the dictionary caption.
    const QStringList customer = rowOf(QStringLiteral("cCusName"));
    QCOMPARE(customer.value(2), QStringLiteral("(none)"));
    QCOMPARE(customer.value(3), QStringLiteral("1"));
    QCOMPARE(customer.value(4), QString::number(grid.ColWidth(hostColumnOf(grid, "cCusName"))));
    QCOMPARE(int(rows.size()), int(shownColumns(grid).size()) + 1); // and the hidden mail row
}

void tst_ColumnSave::otherOperatorsLayoutStays()
{
    storeRow(QStringLiteral("clerk"), QStringLiteral("cContactName"), QStringLiteral("Who"), true,
             140, 7, false);
    storeRow(QStringLiteral("clerk"), QStringLiteral("cCusName"), QString(), false, 100, 1, true);
    const QStringList clerkBefore = storedRows(QStringLiteral("clerk"));
    controls::HostGrid grid;
    layOut(grid);
    QHeaderView *header = grid.horizontalHeader();
    header->moveSection(header->visualIndex(hostColumnOf(grid, "cCusName") - 1), 1);
    suite::SuitePubService service;
    DataAccessStub com(&m_db.connection());
    QVERIFY(
        service.SaveColSet(&com, &grid, QStringLiteral("Crm_Contact"), QStringLiteral("admin")));
    QVERIFY(!storedRows().isEmpty());
    QCOMPARE(storedRows(QStringLiteral("clerk")), clerkBefore);
}

void tst_ColumnSave::failureLeavesStoredLayout_data()
{
    QTest::addColumn<bool>("connected");
    QTest::newRow("a row refused midway") << true;
    QTest::newRow("a data-access object without a connection") << false;
}

void tst_ColumnSave::failureLeavesStoredLayout()
{
    QFETCH(bool, connected);
    storeRow(QStringLiteral("admin"), QStringLiteral("cContactName"), QString(), true, 130, 2,
             true);
    storeRow(QStringLiteral("admin"), QStringLiteral("cCusName"), QStringLiteral("Company"), true,
             150, 3, true);
    controls::HostGrid grid;
    layOut(grid);
    QHeaderView *header = grid.horizontalHeader();
    header->moveSection(header->visualIndex(hostColumnOf(grid, "cCusName") - 1), 1);
    header->resizeSection(hostColumnOf(grid, "cContactName") - 1, 260);
    const QStringList before = storedRows();
    // cEmail is shown by default and stored last, after the stored rows were rewritten.
    QVERIFY(hostColumnOf(grid, QStringLiteral("cEmail")) > 0);
    refuseInsertOf(QStringLiteral("cEmail"));

    suite::SuitePubService service;
    DataAccessStub com(connected ? &m_db.connection() : nullptr);
    QVERIFY(
        !service.SaveColSet(&com, &grid, QStringLiteral("Crm_Contact"), QStringLiteral("admin")));
    QCOMPARE(storedRows(), before);
    QVERIFY(!m_db.connection().inTransaction());
}

void tst_ColumnSave::gridWithoutFieldColumnsIsRefused()
{
    controls::HostGrid grid; // not laid out from column information
    grid.setCols(4);
    suite::SuitePubService service;
    DataAccessStub com(&m_db.connection());
    QVERIFY(
        !service.SaveColSet(&com, &grid, QStringLiteral("Crm_Contact"), QStringLiteral("admin")));
    QVERIFY(storedRows().isEmpty());
}

QTEST_MAIN(tst_ColumnSave)
#include "tst_columnsave.moc"
