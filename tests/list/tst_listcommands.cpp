// The list's keys and cells apart from the window: which key runs which command, and how a result
// value reads in the grid.

#include "perikon/data/db/ColumnType.h"
#include "perikon/list/ListCellFormat.h"
#include "perikon/list/ListCommands.h"

#include <QDateTime>
#include <QTest>

using namespace perikon;

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

class tst_ListCommands : public QObject
{
    Q_OBJECT
private slots:
    void hookCommand_data();
    void hookCommand();
    void cellText_data();
    void cellText();
    void formatCell_data();
    void formatCell();
};

void tst_ListCommands::hookCommand_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("gridHasFocus");
    QTest::addColumn<QString>("command"); // empty: the key passes on
    QTest::addColumn<bool>("swallow");
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("F1 help") << int(Qt::Key_F1) << none << false << "Help" << false;
    QTest::newRow("F3 find") << int(Qt::Key_F3) << none << false << "Find" << false;
    QTest::newRow("Ctrl+F3 locate")
        << int(Qt::Key_F3) << Qt::KeyboardModifiers(Qt::ControlModifier) << false << "Pos" << false;
    QTest::newRow("Shift+F3 still find")
        << int(Qt::Key_F3) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << "Find" << false;
    QTest::newRow("F5 add, never reaches the grid")
        << int(Qt::Key_F5) << none << true << "Add" << true;
    QTest::newRow("F7 modify") << int(Qt::Key_F7) << none << true << "Modify" << false;
    QTest::newRow("F9 refresh") << int(Qt::Key_F9) << none << false << "Refresh" << false;
    QTest::newRow("Delete in the grid") << int(Qt::Key_Delete) << none << true << "Del" << false;
    QTest::newRow("Delete in a text field edits the text")
        << int(Qt::Key_Delete) << none << false << "" << false;
    QTest::newRow("Ctrl+P print") << int(Qt::Key_P) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                  << false << "Print" << false;
    QTest::newRow("P alone is a letter") << int(Qt::Key_P) << none << false << "" << false;
    QTest::newRow("Page Down passes on") << int(Qt::Key_PageDown) << none << true << "" << false;
    QTest::newRow("Enter passes on") << int(Qt::Key_Return) << none << true << "" << false;
}

void tst_ListCommands::hookCommand()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, gridHasFocus);
    QFETCH(QString, command);
    QFETCH(bool, swallow);
    const auto found = list::hookCommand(key, modifiers, gridHasFocus);
    if (command.isEmpty()) {
        QVERIFY(!found);
        return;
    }
    QVERIFY(found);
    QCOMPARE(found->command, command);
    QCOMPARE(found->swallow, swallow);
}

void tst_ListCommands::cellText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 5, 9), Qt::UTC);
    QTest::newRow("null") << QVariant() << int(db::ColumnType::VarWChar) << "";
    QTest::newRow("boolean") << QVariant(true) << int(db::ColumnType::Boolean) << "true";
    QTest::newRow("date column shows no time")
        << QVariant(noon) << int(db::ColumnType::DBDate) << "2026-03-01";
    QTest::newRow("timestamp shows seconds")
        << QVariant(noon) << int(db::ColumnType::DBTimeStamp) << "2026-03-01 12:05:09";
    QTest::newRow("money without float noise")
        << QVariant(0.1 + 0.2) << int(db::ColumnType::Currency) << "0.3";
    QTest::newRow("text as stored") << QVariant(QStringLiteral(" 张 ")) << 202 << " 张 ";
}

void tst_ListCommands::cellText()
{
    QFETCH(QVariant, value);
    QFETCH(int, type);
    QFETCH(QString, text);
    QCOMPARE(list::cellText(value, type), text);
}

void tst_ListCommands::formatCell_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("hasDecimals");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shown");
    const int text = db::ColumnType::VarWChar;
    QTest::newRow("true in any case") << int(db::ColumnType::Boolean) << "bEmail" << false << "TRUE"
                                      << "Yes";
    QTest::newRow("anything else is false")
        << int(db::ColumnType::Boolean) << "bEmail" << false << ""
        << "No";
    QTest::newRow("picture present") << text << "PictureGuid" << false << "{A-B}"
                                     << "yes";
    QTest::newRow("no picture stays empty") << text << "pictureguid" << false << ""
                                            << "";
    QTest::newRow("decimals set") << text << "cConDefine13" << true << "2.5"
                                  << "[2.5]";
    QTest::newRow("no decimals: as it is") << text << "cConDefine13" << false << "2.5"
                                           << "2.5";
}

void tst_ListCommands::formatCell()
{
    QFETCH(int, type);
    QFETCH(QString, field);
    QFETCH(bool, hasDecimals);
    QFETCH(QString, cell);
    QFETCH(QString, shown);
    const list::CellTexts texts{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("yes")};
    const auto bracket = [](const QString &number) {
        return u'[' + number + u']';
    };
    QCOMPARE(list::formatCell(list::cellFormatOf(type, field, hasDecimals), cell, texts, bracket),
             shown);
}

QTEST_MAIN(tst_ListCommands)
#include "tst_listcommands.moc"
