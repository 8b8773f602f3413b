// The card's date fields: which texts are dates, the calendar drop-down, and when a wrong date is
// reported.

#include "suite/controls/DatePicker.h"
#include "support/FailOnWarnings.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using perikon::controls::DatePicker;

class tst_DatePicker : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void startsEmpty()
    {
        DatePicker picker;
        QVERIFY(picker.isEmpty());
        QVERIFY(picker.isoText().isEmpty());
        QVERIFY(!picker.date().isValid());
        QVERIFY(picker.findChild<QLineEdit *>("DatePickerEdit"));
        QVERIFY(picker.findChild<QToolButton *>("DatePickerButton"));
        auto *calendar = picker.findChild<QCalendarWidget *>("DatePickerCalendar");
        QVERIFY(calendar);
        QVERIFY(!calendar->isVisible());
    }

    void validatesTypedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("iso");
        QTest::addColumn<bool>("valid");
        QTest::newRow("iso") << "2026-03-05"
                             << "2026-03-05" << true;
        QTest::newRow("slashes") << "2026/3/5"
                                 << "2026-03-05" << true;
        QTest::newRow("slashes two digits") << "2026/12/31"
                                            << "2026-12-31" << true;
        QTest::newRow("digits only") << "20260305"
                                     << "2026-03-05" << true;
        QTest::newRow("points") << "2026.3.5"
                                << "2026-03-05" << true;
        QTest::newRow("leap day") << "2024-02-29"
                                  << "2024-02-29" << true;
        QTest::newRow("no such day") << "2026-02-30"
                                     << "" << false;
        QTest::newRow("no leap day") << "2025/2/29"
                                     << "" << false;
        QTest::newRow("no such month") << "2026.13.1"
                                       << "" << false;
        QTest::newRow("dashes need two digits") << "2026-3-5"
                                                << "" << false;
        QTest::newRow("two-digit year") << "26/3/5"
                                        << "" << false;
        QTest::newRow("too few digits") << "2026035"
                                        << "" << false;
        QTest::newRow("mixed separators") << "2026-03/05"
                                          << "" << false;
        QTest::newRow("garbage") << "tomorrow"
                                 << "" << false;
        QTest::newRow("empty") << ""
                               << "" << true;
        QTest::newRow("blanks") << "   "
                                << "" << true;
    }

    void validatesTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, iso);
        QFETCH(bool, valid);
        DatePicker picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QSignalSpy edits(&picker, &DatePicker::edited);
        QSignalSpy invalids(&picker, &DatePicker::invalid);
        auto *edit = picker.findChild<QLineEdit *>("DatePickerEdit");
        QTest::keyClicks(edit, typed);
        QCOMPARE(edits.size(), typed.size());
        QCOMPARE(invalids.size(), 0); // nothing judged while typing

        QCOMPARE(picker.validate(), valid);
        QCOMPARE(invalids.size(), valid ? 0 : 1);
        QCOMPARE(picker.isoText(), iso);
        QCOMPARE(picker.date().isValid(), !iso.isEmpty());
        QCOMPARE(picker.isEmpty(), typed.trimmed().isEmpty());
        // A wrong text stays for the operator to correct; a right one shows as yyyy-MM-dd.
        QCOMPARE(picker.text(), valid ? iso : typed);
        QCOMPARE(edits.size(), typed.size());
    }

    void setIsoTextIsNoEdit()
    {
        DatePicker picker;
        QSignalSpy edits(&picker, &DatePicker::edited);
        picker.setIsoText(QStringLiteral("2026-07-01"));
        QCOMPARE(picker.date(), QDate(2026, 7, 1));
        QVERIFY(!picker.isEmpty());
        picker.clear();
        QVERIFY(picker.isEmpty());
        QCOMPARE(edits.size(), 0);
    }

    void calendarPickSetsTheDate()
    {
        DatePicker picker;
        picker.setIsoText(QStringLiteral("2026-03-05"));
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QSignalSpy edits(&picker, &DatePicker::edited);
        auto *calendar = picker.findChild<QCalendarWidget *>("DatePickerCalendar");

        QTest::mouseClick(picker.findChild<QToolButton *>("DatePickerButton"), Qt::LeftButton);
        QTRY_VERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 5));
        QVERIFY(calendar->window()->windowFlags().testFlag(Qt::Popup));

        auto *days = calendar->findChild<QWidget *>("qt_calendar_calendarview");
        QVERIFY(days);
        QTest::keyClick(days, Qt::Key_Right); // the next day
        QTest::keyClick(days, Qt::Key_Return);
        QTRY_VERIFY(!calendar->isVisible());
        QCOMPARE(picker.isoText(), QStringLiteral("2026-03-06"));
        QCOMPARE(edits.size(), 1);
    }

    void leavingTheFieldValidates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("invalids");
        QTest::newRow("garbage") << "2026-02-30"
                                 << "2026-02-30" << 1;
        QTest::newRow("date") << "2026/3/5"
                              << "2026-03-05" << 0;
        QTest::newRow("empty") << ""
                               << "" << 0;
    }

    void leavingTheFieldValidates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, invalids);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *picker = new DatePicker(&window);
        auto *next = new QLineEdit(&window);
        next->setObjectName("NextField");
        layout->addWidget(picker);
        layout->addWidget(next);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy invalid(picker, &DatePicker::invalid);
        auto *edit = picker->findChild<QLineEdit *>("DatePickerEdit");
        edit->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClicks(edit, typed);
        QCOMPARE(invalid.size(), 0);

        QTest::keyClick(edit, Qt::Key_Tab);
        QTRY_VERIFY(next->hasFocus());
        QCOMPARE(invalid.size(), invalids);
        QCOMPARE(picker->text(), shown);
    }

    void fitsItsText_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("placeholder");
        QTest::newRow("english") << QLocale(QLocale::English, QLocale::UnitedStates) << "Birthday";
        QTest::newRow("chinese") << QLocale(QLocale::Chinese, QLocale::China)
                                 << QStringLiteral("出生日期");
    }

    // With PERIKON_GRAB_DIR set, the field is also saved as a picture to look at.
    void fitsItsText()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, placeholder);
        QWidget window;
        window.setLocale(locale);
        auto *layout = new QVBoxLayout(&window);
        auto *empty = new DatePicker(&window);
        empty->setPlaceholderText(placeholder);
        auto *filled = new DatePicker(&window);
        filled->setIsoText(QStringLiteral("2026-12-31"));
        layout->addWidget(empty);
        layout->addWidget(filled);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (DatePicker *picker : {empty, filled}) {
            auto *edit = picker->findChild<QLineEdit *>("DatePickerEdit");
            auto *button = picker->findChild<QToolButton *>("DatePickerButton");
            const int room = edit->contentsRect().width() - 4;
            QVERIFY(edit->fontMetrics().horizontalAdvance(placeholder) <= room);
            QVERIFY(edit->fontMetrics().horizontalAdvance(QStringLiteral("2026-12-31")) <= room);
            QVERIFY(picker->rect().contains(button->geometry()));
            QVERIFY(!button->geometry().intersects(edit->geometry()));
        }
        // The calendar speaks the card's language too.
        QTest::mouseClick(filled->findChild<QToolButton *>("DatePickerButton"), Qt::LeftButton);
        auto *calendar = filled->findChild<QCalendarWidget *>("DatePickerCalendar");
        QTRY_VERIFY(calendar->isVisible());
        QCOMPARE(calendar->locale(), locale);
        const QString dir = qEnvironmentVariable("PERIKON_GRAB_DIR");
        if (!dir.isEmpty()) {
            const QString tag = QString::fromLatin1(QTest::currentDataTag());
            QVERIFY(window.grab().save(dir + "/datepicker-" + tag + ".png"));
            QVERIFY(calendar->window()->grab().save(dir + "/datepicker-calendar-" + tag + ".png"));
        }
    }
};

QTEST_MAIN(tst_DatePicker)
#include "tst_datepicker.moc"
