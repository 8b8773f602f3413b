// Locating a row of a list page: the settings an operator keeps per archive, and the dialog whose
// Find Next moves the current row to the next matching row, never changing a row or a mark.

#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/locate/LocateDialogs.h"
#include "suite/services/locate/LocateSearch.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace perikon;
using suite::locate::LocateMatch;

namespace {

// A page as the list shows it: column 1 the marks, then code and name.
void fillPage(controls::HostGrid &grid, const QList<QStringList> &rows)
{
    grid.setCols(4);
    grid.setRows(1 + int(rows.size()));
    grid.setRowTexts(0, {"", "Code", "Name"});
    for (int i = 0; i < rows.size(); ++i)
        grid.setRowTexts(i + 1, rows.at(i));
}

QList<QStringList> pageTexts(const controls::HostGrid &grid)
{
    QList<QStringList> texts;
    for (int row = 0; row < grid.Rows(); ++row)
        texts.append(grid.rowTexts(row));
    return texts;
}

void onDialog(std::function<void(QDialog &)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            act(*dialog);
    });
}

} // namespace

class tst_Locate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void nextRowWrapsFromTheCurrentOne_data();
    void nextRowWrapsFromTheCurrentOne();
    void settingsSurviveTheirText();
    void findNextMovesTheCurrentRowOnly();
    void settingsAreKeptPerOperatorAndArchive();

private:
    SuiteFixture m_db;
};

void tst_Locate::initTestCase()
{
    suite::MessageBoxScript::setInteractive(false);
}

void tst_Locate::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    suite::MessageBoxScript::takeShownMessages();
}

void tst_Locate::nextRowWrapsFromTheCurrentOne_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("match");
    QTest::addColumn<int>("found"); // 0: none
    const int contains = int(LocateMatch::Contains);
    const int starts = int(LocateMatch::StartsWith);
    const int equals = int(LocateMatch::Equals);
    // cells of rows 1..5: "Zhang San", "li si", "Li Siqi", "王 芳", "  O'Neil  "
    // clang-format off
    QTest::newRow("after the current row") << 2 << "li" << contains << 3;
    QTest::newRow("wraps past the last row") << 3 << "li" << contains << 2;
    QTest::newRow("the current row itself last") << 2 << "li si" << equals << 2;
    QTest::newRow("letter case does not count") << 0 << "ZHANG" << starts << 1;
    QTest::newRow("starts with, not inside") << 0 << "si" << starts << 0;
    QTest::newRow("equals the whole cell") << 0 << "Li Si" << equals << 2;
    QTest::newRow("padding does not count") << 0 << "o'neil" << equals << 5;
    QTest::newRow("chinese") << 1 << QStringLiteral("芳") << contains << 4;
    QTest::newRow("nothing matches") << 1 << "zz" << contains << 0;
    QTest::newRow("blank text finds nothing") << 1 << "  " << contains << 0;
    QTest::newRow("no current row starts at the first") << 0 << "an" << contains << 1;
    // clang-format on
}

void tst_Locate::nextRowWrapsFromTheCurrentOne()
{
    QFETCH(int, from);
    QFETCH(QString, text);
    QFETCH(int, match);
    QFETCH(int, found);
    const QStringList cells{"",          "Zhang San", "li si", "Li Siqi", QStringLiteral("王 芳"),
                            "  O'Neil  "};
    const std::optional<int> row
        = suite::locate::nextMatchingRow([&cells](int r) { return cells.value(r); },
                                         int(cells.size()), from, text, LocateMatch(match));
    QCOMPARE(row.value_or(0), found);
    QVERIFY(!suite::locate::nextMatchingRow([](int) { return QString("x"); }, 1, 0, "x",
                                            LocateMatch::Contains));
}

void tst_Locate::settingsSurviveTheirText()
{
    for (LocateMatch match :
         {LocateMatch::Contains, LocateMatch::StartsWith, LocateMatch::Equals}) {
        const suite::locate::LocateSettings kept{QStringLiteral("联系人\n名称"), match};
        const auto back = suite::locate::settingsFromText(suite::locate::settingsText(kept));
        QVERIFY(back);
        QCOMPARE(back->columnCaption, kept.columnCaption);
        QCOMPARE(int(back->match), int(match));
    }
    QVERIFY(!suite::locate::settingsFromText(QStringLiteral("nearly\nName")));
    QVERIFY(!suite::locate::settingsFromText(QString()));
}

void tst_Locate::findNextMovesTheCurrentRowOnly()
{
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("wang");
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(QStringLiteral("en-US"));
    QWidget window;
    auto *grid = new controls::HostGrid(&window);
    QList<QStringList> rows;
    for (int i = 1; i <= 300; ++i)
        rows.append({i % 7 == 0 ? QStringLiteral("√ ") : QString(),
                     QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')),
                     i % 100 == 0 ? QStringLiteral("Target %1").arg(i) : QStringLiteral("Other")});
    fillPage(*grid, rows);
    window.resize(400, 300);
    window.show();
    grid->setRow(250);
    grid->setCol(3);
    const QList<QStringList> before = pageTexts(*grid);

    QList<int> visited;
    int topRowAtFirst = -1;
    QStringList shown;
    onDialog([&](QDialog &dialog) {
        auto *text = dialog.findChild<QLineEdit *>(QStringLiteral("txtFind"));
        auto *next = dialog.findChild<QPushButton *>(QStringLiteral("cmdFindNext"));
        testing::typeText(text, QStringLiteral("target"));
        for (int i = 0; i < 4; ++i) {
            QTest::mouseClick(next, Qt::LeftButton);
            visited.append(grid->Row());
            if (i == 0)
                topRowAtFirst = grid->TopRow();
        }
        text->clear();
        testing::typeText(text, QStringLiteral("nowhere"));
        QTest::mouseClick(next, Qt::LeftButton);
        visited.append(grid->Row());
        shown = suite::MessageBoxScript::takeShownMessages();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdClose")),
                          Qt::LeftButton);
    });
    suite::SuitePubService service;
    service.FindPos(&window, grid);
    // From row 250 on: 300, then round to 100, 200, 300; nothing found keeps 300.
    QCOMPARE(visited, (QList<int>{300, 100, 200, 300, 300}));
    QVERIFY(topRowAtFirst > 200); // row 300 was scrolled into view
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().contains(QStringLiteral("nowhere")));
    QCOMPARE(pageTexts(*grid), before);
}

void tst_Locate::settingsAreKeptPerOperatorAndArchive()
{
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("wang");
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(QStringLiteral("en-US"));
    QWidget window;
    auto *grid = new controls::HostGrid(&window);
    fillPage(*grid, {{"", "K1", "Li Si"}, {"", "K2", "Li Siqi"}, {"", "LI", "Zhang"}});
    grid->setRow(1);
    grid->setCol(2); // locating would read the code column without settings
    suite::SuitePubService service;

    QStringList offered;
    onDialog([&offered](QDialog &dialog) {
        auto *column = dialog.findChild<QComboBox *>(QStringLiteral("cboColumn"));
        auto *match = dialog.findChild<QComboBox *>(QStringLiteral("cboMatch"));
        for (int i = 0; i < column->count(); ++i)
            offered.append(column->itemText(i));
        column->setCurrentIndex(column->findText(QStringLiteral("Name")));
        match->setCurrentIndex(match->findText(QStringLiteral("Equals")));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    service.FindSet(&login, QStringLiteral("联系人档案"), &window);
    QCOMPARE(offered, (QStringList{"Code", "Name"}));
    QVERIFY(!service
                 .GetRegEdit(QStringLiteral("联系人档案"), QStringLiteral("locate"), false,
                             QStringLiteral("wang"))
                 .isEmpty());
    QVERIFY(service
                .GetRegEdit(QStringLiteral("联系人档案"), QStringLiteral("locate"), false,
                            QStringLiteral("li"))
                .isEmpty());

    // The name column, whole cells only: "li si" finds row 1, not the code "LI" nor "Li Siqi".
    QList<int> visited;
    onDialog([&](QDialog &dialog) {
        testing::typeText(dialog.findChild<QLineEdit *>(QStringLiteral("txtFind")),
                          QStringLiteral("li si"));
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdFindNext")),
                              Qt::LeftButton);
            visited.append(grid->Row());
        }
        suite::MessageBoxScript::takeShownMessages();
        dialog.reject();
    });
    grid->setRow(3);
    service.FindPos(&window, grid);
    QCOMPARE(visited, (QList<int>{1, 1}));

    // Cancelled settings change nothing that is kept.
    const QString kept = service.GetRegEdit(QStringLiteral("联系人档案"), QStringLiteral("locate"),
                                            false, QStringLiteral("wang"));
    onDialog([](QDialog &dialog) {
        dialog.findChild<QComboBox *>(QStringLiteral("cboMatch"))->setCurrentIndex(0);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
    });
    service.FindSet(&login, QStringLiteral("联系人档案"), &window);
    QCOMPARE(service.GetRegEdit(QStringLiteral("联系人档案"), QStringLiteral("locate"), false,
                                QStringLiteral("wang")),
             kept);
}

QTEST_MAIN(tst_Locate)
#include "tst_locate.moc"
