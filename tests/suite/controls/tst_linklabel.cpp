// The page links of the list: a label that clicks like a button, looks like a link under the mouse
// and does nothing while disabled.

#include "suite/controls/LinkLabel.h"
#include "support/FailOnWarnings.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using perikon::controls::LinkLabel;

class tst_LinkLabel : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void clicksOnlyWhileEnabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("expected");
        for (const bool enabled : {true, false}) {
            const int click = enabled ? 1 : 0;
            const QByteArray state = enabled ? "enabled, " : "disabled, ";
            QTest::newRow(state + "left button") << enabled << "left" << click;
            QTest::newRow(state + "space") << enabled << "space" << click;
            QTest::newRow(state + "return") << enabled << "return" << click;
            QTest::newRow(state + "enter") << enabled << "enter" << click;
            QTest::newRow(state + "right button") << enabled << "right" << 0;
            QTest::newRow(state + "other key") << enabled << "a" << 0;
        }
        QTest::newRow("pressed, released outside") << true << "drag out" << 0;
    }

    void clicksOnlyWhileEnabled()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, input);
        QFETCH(int, expected);
        // Input goes through the window, as the operator's does: a disabled label gets no focus
        // and no mouse events of its own.
        QWidget window;
        window.resize(200, 40);
        auto *label = new LinkLabel(QStringLiteral("下一页"), &window);
        label->setGeometry(10, 10, 80, 20);
        label->setEnabled(enabled);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        label->setFocus();
        QCOMPARE(label->hasFocus(), enabled);
        QWindow *surface = window.windowHandle();
        const QPoint centre = label->geometry().center();
        QSignalSpy clicked(label, &LinkLabel::clicked);
        if (input == "left")
            QTest::mouseClick(surface, Qt::LeftButton, {}, centre);
        else if (input == "right")
            QTest::mouseClick(surface, Qt::RightButton, {}, centre);
        else if (input == "space")
            QTest::keyClick(surface, Qt::Key_Space);
        else if (input == "return")
            QTest::keyClick(surface, Qt::Key_Return);
        else if (input == "enter")
            QTest::keyClick(surface, Qt::Key_Enter);
        else if (input == "a")
            QTest::keyClick(surface, Qt::Key_A);
        else if (input == "drag out") {
            QTest::mousePress(surface, Qt::LeftButton, {}, centre);
            QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(150, 20));
        }
        QCOMPARE(clicked.count(), expected);
    }

    void looksLikeALinkUnderTheMouseOnly()
    {
        LinkLabel label(QStringLiteral("Last page"));
        label.resize(80, 20);
        QVERIFY(label.focusPolicy() & Qt::TabFocus);
        const auto textColor = [&label] {
            return label.palette().color(QPalette::WindowText);
        };
        QCOMPARE(textColor(), QColor(Qt::black));
        QVERIFY(!label.font().underline());

        QSignalSpy hovered(&label, &LinkLabel::hovered);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), label.mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(&label, &enter);
        QCOMPARE(hovered.count(), 1);
        QCOMPARE(textColor(), QColor(Qt::blue));
        QVERIFY(label.font().underline());

        label.setPlainLook();
        QCOMPARE(textColor(), QColor(Qt::black));
        QVERIFY(!label.font().underline());

        QCoreApplication::sendEvent(&label, &enter);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&label, &leave);
        QVERIFY(!label.font().underline());

        // Disabled: grey, and the mouse over it changes nothing.
        label.setEnabled(false);
        QCoreApplication::sendEvent(&label, &enter);
        QCOMPARE(hovered.count(), 2);
        QVERIFY(!label.font().underline());
        QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText),
                 QColor(0x80, 0x80, 0x80));
    }
};

QTEST_MAIN(tst_LinkLabel)
#include "tst_linklabel.moc"
