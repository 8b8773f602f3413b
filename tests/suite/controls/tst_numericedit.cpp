// The page fields: digits only, typed or pasted, never more than the field allows.

#include "suite/controls/NumericEdit.h"
#include "support/FailOnWarnings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "support/TypeText.h"

using perikon::controls::NumericEdit;

namespace {

using perikon::testing::typeText;

} // namespace

class tst_NumericEdit : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void takesDigitsOnly_data()
    {
        QTest::addColumn<int>("maxDigits");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("value");
        QTest::newRow("digits") << 5 << "500"
                                << "500" << 500;
        QTest::newRow("letters refused") << 5 << "5a0b0"
                                         << "500" << 500;
        QTest::newRow("sign refused") << 5 << "-20"
                                      << "20" << 20;
        QTest::newRow("plus refused") << 5 << "+7"
                                      << "7" << 7;
        QTest::newRow("spaces refused") << 5 << " 1 2"
                                        << "12" << 12;
        QTest::newRow("decimal point refused") << 5 << "1.5"
                                               << "15" << 15;
        QTest::newRow("full-width digits refused") << 5 << QStringLiteral("１２3") << "3" << 3;
        QTest::newRow("too many digits") << 5 << "1234567"
                                         << "12345" << 12345;
        QTest::newRow("one digit") << 1 << "42"
                                   << "4" << 4;
        QTest::newRow("nothing") << 5 << "abc"
                                 << "" << 0;
    }

    void takesDigitsOnly()
    {
        QFETCH(int, maxDigits);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(int, value);
        NumericEdit edit;
        edit.setMaxDigits(maxDigits);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        typeText(&edit, typed);
        QCOMPARE(edit.text(), expected);
        QCOMPARE(edit.value(), value);
    }

    void refusesPastedNonDigits_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits") << "25"
                                << "125";
        QTest::newRow("letters") << "2a"
                                 << "1";
        QTest::newRow("negative number") << "-2"
                                         << "1";
        QTest::newRow("too long") << "123456"
                                  << "112345";
    }

    void refusesPastedNonDigits()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        NumericEdit edit;
        edit.setMaxDigits(6);
        edit.setText("1");
        QGuiApplication::clipboard()->setText(pasted);
        edit.end(false);
        edit.paste();
        QCOMPARE(edit.text(), expected);
    }

    void valueRoundTrips_data()
    {
        QTest::addColumn<int>("maxDigits");
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::newRow("page size") << 5 << 500 << "500" << 500;
        QTest::newRow("zero") << 5 << 0 << "0" << 0;
        QTest::newRow("negative shows zero") << 5 << -3 << "0" << 0;
        QTest::newRow("largest that fits") << 5 << 123456 << "99999" << 99999;
        QTest::newRow("default field takes any int") << 9 << 999999999 << "999999999" << 999999999;
        QTest::newRow("wide field") << 12 << 2147483647 << "2147483647" << 2147483647;
    }

    void valueRoundTrips()
    {
        QFETCH(int, maxDigits);
        QFETCH(int, set);
        QFETCH(QString, shown);
        QFETCH(int, value);
        NumericEdit edit;
        edit.setMaxDigits(maxDigits);
        edit.setValue(set);
        QCOMPARE(edit.text(), shown);
        QCOMPARE(edit.value(), value);
    }

    void valueOfTooLargeDigitsIsTheLargestInt()
    {
        NumericEdit edit;
        edit.setMaxDigits(12);
        typeText(&edit, "999999999999");
        QCOMPARE(edit.value(), std::numeric_limits<int>::max());
        edit.clear();
        QCOMPARE(edit.value(), 0);
    }
};

QTEST_MAIN(tst_NumericEdit)
#include "tst_numericedit.moc"
