// The paging spinners: two named halves beside a field; a click is only reported, the window
// decides what it does.

#include "suite/controls/SpinButtons.h"
#include "support/FailOnWarnings.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using perikon::controls::SpinButtons;

class tst_SpinButtons : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void halvesAreNamedAndStackedBesideAField()
    {
        QWidget row;
        auto *layout = new QHBoxLayout(&row);
        auto *field = new QLineEdit(&row);
        auto *spin = new SpinButtons(&row);
        layout->addWidget(field);
        layout->addWidget(spin);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        auto *up = spin->findChild<QToolButton *>(QStringLiteral("Up"));
        auto *down = spin->findChild<QToolButton *>(QStringLiteral("Down"));
        QVERIFY(up);
        QVERIFY(down);
        QCOMPARE(up->arrowType(), Qt::UpArrow);
        QCOMPARE(down->arrowType(), Qt::DownArrow);
        QVERIFY(up->geometry().bottom() < down->geometry().top() + 1);
        QCOMPARE(up->x(), down->x());
        QVERIFY(up->height() >= 8);
        QVERIFY(spin->height() <= field->height());
    }

    void clicksAreReportedAndNeverClamped_data()
    {
        QTest::addColumn<QString>("half");
        QTest::addColumn<int>("clicks");
        QTest::newRow("up past the maximum") << "Up" << 4;
        QTest::newRow("down past the minimum") << "Down" << 3;
    }

    void clicksAreReportedAndNeverClamped()
    {
        QFETCH(QString, half);
        QFETCH(int, clicks);
        SpinButtons spin;
        QCOMPARE(spin.property("Increment").toInt(), 1);
        spin.setProperty("Min", 5);
        spin.setProperty("Max", 10);
        spin.setProperty("Increment", 5);
        QCOMPARE(spin.min(), 5);
        QCOMPARE(spin.max(), 10);
        QCOMPARE(spin.increment(), 5);
        spin.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spin));
        QSignalSpy up(&spin, &SpinButtons::upClicked);
        QSignalSpy down(&spin, &SpinButtons::downClicked);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(spin.findChild<QToolButton *>(half), Qt::LeftButton);
        QCOMPARE(up.count(), half == "Up" ? clicks : 0);
        QCOMPARE(down.count(), half == "Down" ? clicks : 0);
        // Its limits are the window's to apply.
        QCOMPARE(spin.min(), 5);
        QCOMPARE(spin.max(), 10);
    }
};

QTEST_MAIN(tst_SpinButtons)
#include "tst_spinbuttons.moc"
