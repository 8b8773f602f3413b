// The host status bar as windows and scripts address it: panels by index and by name.

#include "suite/controls/PanelStatusBar.h"
#include "support/FailOnWarnings.h"

#include <QApplication>
#include <QTest>

using perikon::controls::PanelStatusBar;

class tst_PanelStatusBar : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void panelsAreNamedFromOne()
    {
        PanelStatusBar bar(3);
        QCOMPARE(bar.panelCount(), 3);
        for (int i = 0; i < 3; ++i) {
            auto *panel = bar.findChild<QLabel *>(QStringLiteral("Panel_%1").arg(i + 1));
            QVERIFY(panel);
            QCOMPARE(panel, bar.panel(i));
            QVERIFY(panel->text().isEmpty());
        }
        QVERIFY(!bar.findChild<QLabel *>(QStringLiteral("Panel_0")));
        QVERIFY(!bar.findChild<QLabel *>(QStringLiteral("Panel_4")));
    }

    void textGoesToItsPanelOnly_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first") << 0 << QStringList{"共 25 条", "", ""};
        QTest::newRow("last") << 2 << QStringList{"", "", "共 25 条"};
        QTest::newRow("past the end is ignored") << 3 << QStringList{"", "", ""};
        QTest::newRow("negative is ignored") << -1 << QStringList{"", "", ""};
    }

    void textGoesToItsPanelOnly()
    {
        QFETCH(int, index);
        QFETCH(QStringList, expected);
        PanelStatusBar bar(3);
        bar.setPanelText(index, QStringLiteral("共 25 条"));
        QStringList texts;
        for (int i = 0; i < bar.panelCount(); ++i)
            texts << bar.panelText(i);
        QCOMPARE(texts, expected);
        QCOMPARE(bar.panelText(index), expected.value(index));
    }

    void lastPanelTakesTheRemainingWidth()
    {
        PanelStatusBar bar(2);
        bar.setPanelText(0, QStringLiteral("页"));
        bar.resize(600, 24);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(bar.panel(1)->width() > bar.panel(0)->width());
    }
};

QTEST_MAIN(tst_PanelStatusBar)
#include "tst_panelstatusbar.moc"
