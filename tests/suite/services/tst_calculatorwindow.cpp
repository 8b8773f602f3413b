// The suite's calculator window: its keys and keyboard, and the calculator service a number
// editor opens, answered here as an operator would.

#include "perikon/host/contract/CalculatorService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/services/CalculatorWindow.h"
#include "support/FailOnWarnings.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace perikon;
using suite::CalculatorWindow;

namespace {

const QStringList kKeyNames
    = {"Calc_0",    "Calc_1",   "Calc_2",   "Calc_3",  "Calc_4",       "Calc_5",
       "Calc_6",    "Calc_7",   "Calc_8",   "Calc_9",  "Calc_Dot",     "Calc_Add",
       "Calc_Sub",  "Calc_Mul", "Calc_Div", "Calc_Eq", "Calc_Percent", "Calc_Sign",
       "Calc_Back", "Calc_C",   "Calc_CE",  "CalcOK",  "CalcCancel"};

QString displayOf(const QWidget *window)
{
    const auto *display = window->findChild<QLineEdit *>(QStringLiteral("CalcDisplay"));
    return display ? display->text() : QStringLiteral("<no display>");
}

// Clicks the named buttons in turn; false when one is missing.
bool clickAll(QWidget *window, const QStringList &names)
{
    for (const QString &name : names) {
        auto *button = window->findChild<QPushButton *>(name);
        if (!button)
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    return true;
}

// Keys typed at the window: '\n' Enter, '\b' Backspace, 'D' Delete, 'S' F9, 'X' Escape; any
// other character as typed.
void typeKeys(QWidget *window, const QString &keys)
{
    for (const QChar key : keys) {
        switch (key.unicode()) {
        case '\n':
            QTest::keyClick(window, Qt::Key_Enter);
            break;
        case '\b':
            QTest::keyClick(window, Qt::Key_Backspace);
            break;
        case 'D':
            QTest::keyClick(window, Qt::Key_Delete);
            break;
        case 'S':
            QTest::keyClick(window, Qt::Key_F9);
            break;
        case 'X':
            QTest::keyClick(window, Qt::Key_Escape);
            break;
        default:
            QTest::keyClick(window, key.toLatin1());
        }
    }
}

// What the operator met in the calculator the service opened.
struct CalculatorVisit
{
    bool seen = false;
    QString startDisplay;
    QString title;
    QRect geometry;
    QWidget *parent = nullptr;
    bool openAfterAnswer = false; // still open after the last button but one
};

// Answers the next calculator by clicking `buttons`; when it is still open after them, cancels.
void answerCalculator(CalculatorVisit &visit, const QStringList &buttons)
{
    QTimer::singleShot(0, qApp, [&visit, buttons] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != QLatin1String("Calculator"))
            return;
        visit.seen = true;
        visit.startDisplay = displayOf(dialog);
        visit.title = dialog->windowTitle();
        visit.geometry = dialog->frameGeometry();
        visit.parent = dialog->parentWidget();
        clickAll(dialog, buttons);
        visit.openAfterAnswer = dialog->isVisible();
        if (dialog->isVisible())
            clickAll(dialog, {QStringLiteral("CalcCancel")});
    });
}

} // namespace

class tst_CalculatorWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void startsWithEveryKeyAtTheStartingNumber();
    void buttonsDriveTheDisplay_data();
    void buttonsDriveTheDisplay();
    void errorIsShownInTheSessionLanguageAndRefusesOk_data();
    void errorIsShownInTheSessionLanguageAndRefusesOk();
    void keyboard_data();
    void keyboard();
    void placementStaysOnTheScreen_data();
    void placementStaysOnTheScreen();
    void calculateAnswersTheEditor_data();
    void calculateAnswersTheEditor();
    void calculatorOpensUnderTheEditorOnItsScreen_data();
    void calculatorOpensUnderTheEditorOnItsScreen();
};

void tst_CalculatorWindow::initTestCase()
{
    suite::registerServices();
}

void tst_CalculatorWindow::init()
{
    testing::failOnUnexpectedWarnings();
    suite::setSessionLanguage(QStringLiteral("en-US"));
}

void tst_CalculatorWindow::startsWithEveryKeyAtTheStartingNumber()
{
    CalculatorWindow window(QStringLiteral("12.50"));
    QCOMPARE(window.objectName(), QStringLiteral("Calculator"));
    QCOMPARE(displayOf(&window), QStringLiteral("12.5"));
    const auto *display = window.findChild<QLineEdit *>(QStringLiteral("CalcDisplay"));
    QVERIFY(display->isReadOnly());
    for (const QString &name : kKeyNames) {
        const auto *button = window.findChild<QPushButton *>(name);
        QVERIFY2(button, qPrintable(name));
        QVERIFY2(button->isEnabled(), qPrintable(name));
        QVERIFY2(!button->text().isEmpty(), qPrintable(name));
    }
    QCOMPARE(window.resultText(), QString());
}

void tst_CalculatorWindow::buttonsDriveTheDisplay_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("buttons"); // after "Calc_"
    QTest::addColumn<QString>("display");

    QTest::newRow("digits and point") << "" << QStringList{"1", "Dot", "2", "5"} << "1.25";
    QTest::newRow("chained left to right")
        << "" << QStringList{"2", "Add", "3", "Mul", "4", "Eq"} << "20";
    QTest::newRow("subtract and divide")
        << "" << QStringList{"9", "Sub", "1", "Div", "4", "Eq"} << "2";
    QTest::newRow("percent of the first operand")
        << "200" << QStringList{"Add", "1", "0", "Percent", "Eq"} << "220";
    QTest::newRow("sign") << "7" << QStringList{"Sign"} << "-7";
    QTest::newRow("back") << "" << QStringList{"4", "2", "Back"} << "4";
    QTest::newRow("clear entry") << "" << QStringList{"5", "Add", "3", "CE", "1", "Eq"} << "6";
    QTest::newRow("clear") << "" << QStringList{"5", "Add", "3", "C", "1", "Eq"} << "1";
    QTest::newRow("repeated equals") << "" << QStringList{"2", "Mul", "3", "Eq", "Eq"} << "18";
}

void tst_CalculatorWindow::buttonsDriveTheDisplay()
{
    QFETCH(QString, start);
    QFETCH(QStringList, buttons);
    QFETCH(QString, display);
    CalculatorWindow window(start);
    window.show();
    QStringList names;
    for (const QString &button : buttons)
        names << QStringLiteral("Calc_") + button;
    QVERIFY(clickAll(&window, names));
    QCOMPARE(displayOf(&window), display);
    QVERIFY(window.isVisible());
}

void tst_CalculatorWindow::errorIsShownInTheSessionLanguageAndRefusesOk_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("message");

    QTest::newRow("divide by zero, en-US")
        << "en-US"
        << "5" << QStringList{"Calc_Div", "Calc_0", "Calc_Eq"} << "Cannot divide by zero";
    QTest::newRow("divide by zero, zh-CN")
        << "zh-CN"
        << "5" << QStringList{"Calc_Div", "Calc_0", "Calc_Eq"} << "除数不能为零";
    QTest::newRow("division by zero pending at OK")
        << "en-US"
        << "5" << QStringList{"Calc_Div", "Calc_0", "CalcOK"} << "Cannot divide by zero";
    QTest::newRow("overflow, en-US")
        << "en-US"
        << "999999999999999" << QStringList{"Calc_Add", "Calc_1", "Calc_Eq"} << "Result too large";
    QTest::newRow("overflow, zh-CN")
        << "zh-CN"
        << "999999999999999" << QStringList{"Calc_Mul", "Calc_Eq"} << "结果超出范围";
}

void tst_CalculatorWindow::errorIsShownInTheSessionLanguageAndRefusesOk()
{
    QFETCH(QString, language);
    QFETCH(QString, start);
    QFETCH(QStringList, buttons);
    QFETCH(QString, message);
    suite::setSessionLanguage(language);
    CalculatorWindow window(start);
    window.show();
    auto *ok = window.findChild<QPushButton *>(QStringLiteral("CalcOK"));
    QVERIFY(clickAll(&window, buttons));
    QCOMPARE(displayOf(&window), message);
    QVERIFY(!ok->isEnabled());
    window.accept();
    QVERIFY(window.isVisible());
    QCOMPARE(window.resultText(), QString());

    // A digit starts over, and OK takes the new number.
    QVERIFY(clickAll(&window, {QStringLiteral("Calc_8")}));
    QCOMPARE(displayOf(&window), QStringLiteral("8"));
    QVERIFY(ok->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(window.resultText(), QStringLiteral("8"));
}

void tst_CalculatorWindow::keyboard_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("outcome"); // "open", "rejected", or the accepted result

    // clang-format off
    QTest::newRow("typing") << "" << "12.5" << "12.5" << "open";
    QTest::newRow("comma is the point") << "" << "3,25" << "3.25" << "open";
    QTest::newRow("operators") << "" << "8-2*3/9=" << "2" << "open";
    QTest::newRow("percent") << "" << "50+10%" << "5" << "open";
    QTest::newRow("enter completes the operation") << "" << "12*2\n" << "24" << "open";
    QTest::newRow("second enter takes the result") << "" << "12*2\n\n" << "24" << "24";
    QTest::newRow("enter with nothing pending takes the result") << "7.50" << "\n" << "7.5" << "7.5";
    QTest::newRow("backspace") << "" << "123\b" << "12" << "open";
    QTest::newRow("delete clears the entry") << "" << "5+3D1=" << "6" << "open";
    QTest::newRow("F9 changes the sign") << "" << "4S" << "-4" << "open";
    QTest::newRow("escape cancels") << "3" << "*2X" << "2" << "rejected";
    QTest::newRow("enter refused in error") << "" << "1/0=\n" << "Cannot divide by zero" << "open";
    // clang-format on
}

void tst_CalculatorWindow::keyboard()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, outcome);
    CalculatorWindow window(start);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    typeKeys(&window, keys);
    QCOMPARE(displayOf(&window), display);
    if (outcome == QLatin1String("open")) {
        QVERIFY(window.isVisible());
    } else if (outcome == QLatin1String("rejected")) {
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(window.resultText(), QString());
    } else {
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.resultText(), outcome);
    }
}

void tst_CalculatorWindow::placementStaysOnTheScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<QPoint>("placed");

    const QRect screen(0, 0, 800, 600);
    const QRect right(800, 0, 1024, 768); // a second screen right of the first
    QTest::newRow("room below the editor") << screen << QPoint(100, 200) << QPoint(100, 200);
    QTest::newRow("fits exactly") << screen << QPoint(600, 400) << QPoint(600, 400);
    QTest::newRow("past the right edge") << screen << QPoint(700, 100) << QPoint(600, 100);
    QTest::newRow("past the bottom") << screen << QPoint(100, 500) << QPoint(100, 400);
    QTest::newRow("past both") << screen << QPoint(790, 590) << QPoint(600, 400);
    QTest::newRow("left of the screen") << screen << QPoint(-50, -10) << QPoint(0, 0);
    QTest::newRow("second screen") << right << QPoint(1700, 700) << QPoint(1624, 568);
    QTest::newRow("larger than the screen")
        << QRect(0, 0, 150, 100) << QPoint(40, 40) << QPoint(0, 0);
}

void tst_CalculatorWindow::placementStaysOnTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, topLeft);
    QFETCH(QPoint, placed);
    QCOMPARE(CalculatorWindow::placedOnScreen(available, topLeft, QSize(200, 200)), placed);
}

void tst_CalculatorWindow::calculateAnswersTheEditor_data()
{
    QTest::addColumn<QString>("editorText");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("startDisplay");
    QTest::addColumn<bool>("refusedOk"); // still open after the buttons
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text");

    QTest::newRow("times two") << "12.5" << QStringList{"Calc_Mul", "Calc_2", "CalcOK"} << "12.5"
                               << false << true << "25";
    QTest::newRow("OK completes the pending operation")
        << "3" << QStringList{"Calc_Add", "Calc_4", "CalcOK"} << "3" << false << true << "7";
    QTest::newRow("plain text of a fraction")
        << "1" << QStringList{"Calc_Div", "Calc_8", "CalcOK"} << "1" << false << true << "0.125";
    QTest::newRow("editor without a number")
        << "n/a" << QStringList{"Calc_7", "CalcOK"} << "0" << false << true << "7";
    QTest::newRow("empty editor") << "" << QStringList{"CalcOK"} << "0" << false << true << "0";
    QTest::newRow("cancel") << "12.5" << QStringList{"Calc_Mul", "Calc_2", "CalcCancel"} << "12.5"
                            << false << false << "12.5";
    QTest::newRow("OK refused in error, then cancel")
        << "12.5" << QStringList{"Calc_Div", "Calc_0", "CalcOK"} << "12.5" << true << false
        << "12.5";
}

void tst_CalculatorWindow::calculateAnswersTheEditor()
{
    QFETCH(QString, editorText);
    QFETCH(QStringList, buttons);
    QFETCH(QString, startDisplay);
    QFETCH(bool, refusedOk);
    QFETCH(bool, taken);
    QFETCH(QString, text);

    QWidget editorWindow;
    auto *editor = new QLineEdit(editorText, &editorWindow);
    (new QVBoxLayout(&editorWindow))->addWidget(editor);
    editorWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editorWindow));

    std::unique_ptr<CalculatorService> service
        = HostRegistry::createAs<CalculatorService>(QStringLiteral("CalculatorService"));
    QVERIFY(service);
    CalculatorVisit visit;
    answerCalculator(visit, buttons);
    QString value = editor->text();
    const bool ok = service->Calculate(editor, editor->mapToGlobal(QPoint(0, editor->height())),
                                       QStringLiteral("Amount"), value);
    QVERIFY(visit.seen);
    QCOMPARE(visit.startDisplay, startDisplay);
    QCOMPARE(visit.title, QStringLiteral("Amount"));
    QCOMPARE(visit.parent, &editorWindow);
    QCOMPARE(visit.openAfterAnswer, refusedOk);
    QCOMPARE(ok, taken);
    QCOMPARE(value, text);
}

void tst_CalculatorWindow::calculatorOpensUnderTheEditorOnItsScreen_data()
{
    QTest::addColumn<QPoint>("offset"); // of the asked top left from the screen's top left
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");

    QTest::newRow("room below") << QPoint(20, 30) << "Price"
                                << "Price";
    QTest::newRow("at the bottom right corner") << QPoint(100000, 100000) << ""
                                                << "Calculator";
}

void tst_CalculatorWindow::calculatorOpensUnderTheEditorOnItsScreen()
{
    QFETCH(QPoint, offset);
    QFETCH(QString, caption);
    QFETCH(QString, title);

    QWidget editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QRect available = editor.screen()->availableGeometry();
    const QPoint asked = available.topLeft() + offset;

    std::unique_ptr<CalculatorService> service
        = HostRegistry::createAs<CalculatorService>(QStringLiteral("CalculatorService"));
    QVERIFY(service);
    CalculatorVisit visit;
    answerCalculator(visit, {QStringLiteral("CalcCancel")});
    QString value = QStringLiteral("1");
    QVERIFY(!service->Calculate(&editor, asked, caption, value));
    QVERIFY(visit.seen);
    QCOMPARE(visit.title, title);
    QVERIFY2(available.contains(visit.geometry), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(visit.geometry.x())
                                                                .arg(visit.geometry.y())
                                                                .arg(visit.geometry.width())
                                                                .arg(visit.geometry.height())));
    if (available.contains(QRect(asked, visit.geometry.size())))
        QCOMPARE(visit.geometry.topLeft(), asked);
    else
        QCOMPARE(visit.geometry.bottomRight(), available.bottomRight());
}

QTEST_MAIN(tst_CalculatorWindow)
#include "tst_calculatorwindow.moc"
