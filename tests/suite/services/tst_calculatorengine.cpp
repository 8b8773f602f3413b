// The suite calculator's arithmetic: what the display shows after the keys an operator presses,
// and the number it hands back to the editor.

#include "suite/services/CalculatorEngine.h"

#include <QTest>

using perikon::suite::CalculatorEngine;

namespace {

// One character a key: digits, '.', + - * /, '=', '%', 'n' change sign, 'b' backspace, 'C'
// clear, 'E' clear entry.
void press(CalculatorEngine &engine, const QString &keys)
{
    using Op = CalculatorEngine::Operation;
    for (const QChar key : keys) {
        if (key.isDigit()) {
            engine.digit(key.digitValue());
            continue;
        }
        switch (key.unicode()) {
        case '.':
            engine.point();
            break;
        case '+':
            engine.operation(Op::Add);
            break;
        case '-':
            engine.operation(Op::Subtract);
            break;
        case '*':
            engine.operation(Op::Multiply);
            break;
        case '/':
            engine.operation(Op::Divide);
            break;
        case '=':
            engine.equals();
            break;
        case '%':
            engine.percent();
            break;
        case 'n':
            engine.changeSign();
            break;
        case 'b':
            engine.backspace();
            break;
        case 'C':
            engine.clear();
            break;
        case 'E':
            engine.clearEntry();
            break;
        default:
            QTest::qFail(qPrintable(QStringLiteral("no key '%1'").arg(key)), __FILE__, __LINE__);
            return;
        }
    }
}

// The display, or the error standing in for it.
QString shown(const CalculatorEngine &engine)
{
    switch (engine.error()) {
    case CalculatorEngine::Error::DivideByZero:
        return QStringLiteral("<divide by zero>");
    case CalculatorEngine::Error::Overflow:
        return QStringLiteral("<overflow>");
    case CalculatorEngine::Error::None:
        break;
    }
    return engine.display();
}

} // namespace

class tst_CalculatorEngine : public QObject
{
    Q_OBJECT
private slots:
    void keysShowOnTheDisplay_data();
    void keysShowOnTheDisplay();
    void startingNumberAndResult_data();
    void startingNumberAndResult();
    void finishingCompletesOnlyAPendingOperation_data();
    void finishingCompletesOnlyAPendingOperation();
    void valuesAreRoundedToTheDisplay_data();
    void valuesAreRoundedToTheDisplay();
};

void tst_CalculatorEngine::keysShowOnTheDisplay_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");

    // clang-format off
    QTest::newRow("nothing pressed") << "" << "0";
    QTest::newRow("digits") << "123" << "123";
    QTest::newRow("leading zeros dropped") << "0012" << "12";
    QTest::newRow("decimal entry") << "1.5" << "1.5";
    QTest::newRow("second point ignored") << "1..5.2" << "1.52";
    QTest::newRow("point first") << ".5" << "0.5";
    QTest::newRow("typed trailing zeros stay while typing") << "1.50" << "1.50";
    QTest::newRow("sixteenth digit ignored") << "1234567890123456" << "123456789012345";
    QTest::newRow("zero before the point not counted") << "0.1234567890123456" << "0.123456789012345";
    QTest::newRow("point after fifteen digits ignored") << "123456789012345.6" << "123456789012345";

    QTest::newRow("left to right, not by precedence") << "2+3*4=" << "20";
    QTest::newRow("running result after an operator") << "2+3*" << "5";
    QTest::newRow("subtractions chain") << "10-4-3=" << "3";
    QTest::newRow("division") << "7/2=" << "3.5";
    QTest::newRow("second operator replaces the first") << "2+*3=" << "6";
    QTest::newRow("equals repeats the last operation") << "2+3==" << "8";
    QTest::newRow("repeat applies to a new number") << "2+3=7=" << "10";
    QTest::newRow("repeat of a division") << "100/2==" << "25";
    QTest::newRow("missing operand is the first one") << "3*=" << "9";
    QTest::newRow("operator after a result continues") << "2+3=*2=" << "10";
    QTest::newRow("digit after a result starts anew") << "2+3=4" << "4";
    QTest::newRow("trailing point of an operand") << "1.+1=" << "2";

    QTest::newRow("decimal sum exact") << "0.1+0.2=" << "0.3";
    QTest::newRow("decimal difference exact") << "0.1+0.2-0.3=" << "0";
    QTest::newRow("third") << "1/3=" << "0.333333333333333";
    QTest::newRow("two thirds rounded") << "2/3=" << "0.666666666666667";
    QTest::newRow("rounded value carries on") << "1/3*3=" << "0.999999999999999";
    QTest::newRow("large and small") << "123456789*0.001=" << "123456.789";

    QTest::newRow("percent of the first operand") << "50+10%" << "5";
    QTest::newRow("percent added") << "50+10%=" << "55";
    QTest::newRow("percent subtracted") << "200-5%=" << "190";
    QTest::newRow("percent as a factor") << "50*10%=" << "5";
    QTest::newRow("percent alone") << "20%" << "0.2";

    QTest::newRow("sign of the entry") << "5n" << "-5";
    QTest::newRow("sign twice") << "5nn" << "5";
    QTest::newRow("sign on zero stays zero") << "n" << "0";
    QTest::newRow("negative operand") << "5n+3=" << "-2";
    QTest::newRow("sign of a result") << "2+3=n" << "-5";
    QTest::newRow("sign makes the second operand") << "5+n=" << "0";
    QTest::newRow("digits after the sign") << "5n1" << "-51";

    QTest::newRow("backspace") << "123b" << "12";
    QTest::newRow("backspace to zero") << "1b" << "0";
    QTest::newRow("backspace keeps no lone minus") << "5nb" << "0";
    QTest::newRow("backspace leaves a result alone") << "2+3=b" << "5";
    QTest::newRow("backspace over the point") << "1.5bb" << "1";

    QTest::newRow("clear entry") << "12+3E" << "0";
    QTest::newRow("clear entry keeps the operation") << "12+3E4=" << "16";
    QTest::newRow("clear") << "12+3C" << "0";
    QTest::newRow("clear drops the operation") << "12+3C4=" << "4";
    QTest::newRow("clear drops the repeat") << "2+3=C4=" << "4";

    QTest::newRow("divide by zero") << "1/0=" << "<divide by zero>";
    QTest::newRow("zero by zero") << "0/0=" << "<divide by zero>";
    QTest::newRow("divide by zero when chaining") << "8/0+" << "<divide by zero>";
    QTest::newRow("operators ignored in error") << "1/0=+5=" << "5";
    QTest::newRow("equals ignored in error") << "1/0==" << "<divide by zero>";
    QTest::newRow("sign ignored in error") << "1/0=n" << "<divide by zero>";
    QTest::newRow("digit starts over after error") << "1/0=7" << "7";
    QTest::newRow("digit after error forgets the operation") << "1/0=7+1=" << "8";
    QTest::newRow("point starts over after error") << "1/0=.5" << "0.5";
    QTest::newRow("clear after error") << "1/0=C" << "0";
    QTest::newRow("clear entry after error") << "1/0=E" << "0";

    QTest::newRow("overflow by addition") << "999999999999999+1=" << "<overflow>";
    QTest::newRow("overflow by product") << "99999999*99999999=" << "<overflow>";
    QTest::newRow("largest value fits") << "999999999999998+1=" << "999999999999999";
    QTest::newRow("negative overflow") << "999999999999999n-1=" << "<overflow>";
    // clang-format on
}

void tst_CalculatorEngine::keysShowOnTheDisplay()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    CalculatorEngine engine;
    press(engine, keys);
    QCOMPARE(shown(engine), display);
}

void tst_CalculatorEngine::startingNumberAndResult_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");

    // clang-format off
    QTest::newRow("editor's number") << "12.5" << "" << "12.5";
    QTest::newRow("blanks around it") << " 7 " << "" << "7";
    QTest::newRow("trailing zeros dropped") << "12.50" << "" << "12.5";
    QTest::newRow("negative") << "-3.25" << "" << "-3.25";
    QTest::newRow("negative zero") << "-0" << "" << "0";
    QTest::newRow("empty starts at zero") << "" << "" << "0";
    QTest::newRow("text starts at zero") << "abc" << "" << "0";
    QTest::newRow("too large starts at zero") << "1234567890123456" << "" << "0";
    QTest::newRow("more places than the display") << "0.12345678901234567" << "" << "0.123456789012346";
    QTest::newRow("digit replaces the start") << "12.5" << "3" << "3";
    QTest::newRow("start is the first operand") << "12.5" << "*2=" << "25";
    QTest::newRow("typed point and zeros dropped") << "" << "1.50" << "1.5";
    QTest::newRow("typed trailing point dropped") << "" << "4." << "4";
    QTest::newRow("no exponent for small values") << "" << "0.00001/100=" << "0.0000001";
    QTest::newRow("no exponent for large values") << "" << "1000000*1000000=" << "1000000000000";
    QTest::newRow("no result in error") << "5" << "/0=" << "";
    // clang-format on
}

void tst_CalculatorEngine::startingNumberAndResult()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    CalculatorEngine engine;
    engine.reset(start);
    press(engine, keys);
    QCOMPARE(engine.result(), result);
}

void tst_CalculatorEngine::finishingCompletesOnlyAPendingOperation_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");

    QTest::newRow("pending addition") << "2+3"
                                      << "5";
    QTest::newRow("pending without second operand") << "4*"
                                                    << "16";
    QTest::newRow("after equals: no repeat") << "2+3="
                                             << "5";
    QTest::newRow("nothing pending") << "42"
                                     << "42";
    QTest::newRow("pending division by zero") << "2/0"
                                              << "<divide by zero>";
}

void tst_CalculatorEngine::finishingCompletesOnlyAPendingOperation()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    CalculatorEngine engine;
    press(engine, keys);
    engine.finishPending();
    QCOMPARE(shown(engine), display);
    QVERIFY(!engine.hasPendingOperation());
}

void tst_CalculatorEngine::valuesAreRoundedToTheDisplay_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text"); // empty: does not fit

    QTest::newRow("binary noise") << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("fifteen integer digits") << 100000000000000.0 << "100000000000000";
    QTest::newRow("sixteen integer digits") << 1e15 << "";
    QTest::newRow("rounds down below the limit") << 999999999999999.4 << "999999999999999";
    QTest::newRow("rounds up past the limit") << 999999999999999.6 << "";
    QTest::newRow("rounding carries into the integer") << 0.9999999999999996 << "1";
    QTest::newRow("places left by the integer digits") << 123456.7890123456 << "123456.789012346";
    QTest::newRow("below the last place") << 1e-16 << "0";
    QTest::newRow("negative below the last place") << -1e-16 << "0";
    QTest::newRow("infinite") << qInf() << "";
    QTest::newRow("not a number") << qQNaN() << "";
}

void tst_CalculatorEngine::valuesAreRoundedToTheDisplay()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(CalculatorEngine::format(value), text);
    const std::optional<double> kept = CalculatorEngine::displayable(value);
    QCOMPARE(kept.has_value(), !text.isEmpty());
    if (kept)
        QCOMPARE(CalculatorEngine::format(*kept), text);
}

QTEST_GUILESS_MAIN(tst_CalculatorEngine)
#include "tst_calculatorengine.moc"
