// The toolbar a window builds from a toolbar definition: buttons named after their command keys,
// rights, hot keys that work only for usable buttons of the active window, and a mirror that
// follows a hidden toolbar.

#include "suite/controls/HostToolbar.h"
#include "support/FailOnWarnings.h"

#include <QAbstractButton>
#include <QHash>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using perikon::controls::HostToolbar;
using perikon::controls::ToolbarButtonDef;

namespace {

const QString kNoRight = QStringLiteral("CS020203");

QList<ToolbarButtonDef> contactButtons()
{
    return {
        {"Add", "cap.add", "document-new", QKeySequence(Qt::Key_F5), "CS020201"},
        {"Del", "cap.del", "edit-delete", QKeySequence(Qt::CTRL | Qt::Key_D), kNoRight},
        {"Refresh", "cap.refresh", "view-refresh", QKeySequence(Qt::Key_F9), ""},
        {"Exit", "cap.exit", "", QKeySequence(), ""},
    };
}

QString captionOf(const QString &captionKey)
{
    static const QHash<QString, QString> captions{{"cap.add", QStringLiteral("增加")},
                                                  {"cap.del", QStringLiteral("删除")},
                                                  {"cap.refresh", QStringLiteral("刷新")},
                                                  {"cap.exit", QStringLiteral("退出")}};
    return captions.value(captionKey);
}

bool allowed(const QString &functionId)
{
    return functionId != kNoRight;
}

// A window holding a toolbar, shown and active, so hot keys can reach it.
struct ToolbarWindow
{
    QWidget window;
    HostToolbar *toolbar = new HostToolbar(&window);
    HostToolbar *hidden = new HostToolbar(&window);

    ToolbarWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(hidden);
        layout->addWidget(toolbar);
        hidden->hide();
    }
    bool showActive()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

class tst_HostToolbar : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void buttonsFollowTheDefinitionAndTheRights()
    {
        HostToolbar toolbar;
        toolbar.setDefinition(contactButtons(), captionOf, allowed);
        QCOMPARE(toolbar.keys(), QStringList({"Add", "Del", "Refresh", "Exit"}));
        for (const ToolbarButtonDef &def : contactButtons()) {
            QAbstractButton *button = toolbar.findChild<QAbstractButton *>(def.key);
            QVERIFY2(button, qPrintable(def.key));
            QCOMPARE(button, toolbar.button(def.key));
            QCOMPARE(button->text(), captionOf(def.captionKey));
            QVERIFY2(!button->icon().isNull(), qPrintable(def.key));
            if (!def.hotKey.isEmpty())
                QVERIFY(button->toolTip().contains(def.hotKey.toString(QKeySequence::NativeText)));
            QCOMPARE(button->isEnabled(), def.functionId != kNoRight);
        }
        // The window cannot switch on what the right forbids.
        toolbar.setButtonEnabled("Del", true);
        QVERIFY(!toolbar.button("Del")->isEnabled());
        QVERIFY(!toolbar.isButtonAllowed("Del"));
        QVERIFY(!toolbar.button("Nope"));

        // A new definition replaces the buttons.
        toolbar.setDefinition({{"Help", "cap.help", "help-contents", {}, ""}}, {}, {});
        QCOMPARE(toolbar.keys(), QStringList({"Help"}));
        QVERIFY(!toolbar.findChild<QAbstractButton *>("Add"));
        QCOMPARE(toolbar.button("Help")->text(), QStringLiteral("cap.help"));
    }

    void clickEmitsTheButtonsKey()
    {
        ToolbarWindow w;
        w.toolbar->setDefinition(contactButtons(), captionOf, allowed);
        QVERIFY(w.showActive());
        QSignalSpy clicked(w.toolbar, &HostToolbar::buttonClicked);
        QTest::mouseClick(w.toolbar->button("Refresh"), Qt::LeftButton);
        QTest::mouseClick(w.toolbar->button("Del"), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().toString(), QStringLiteral("Refresh"));
    }

    void hotKeysTriggerOnlyUsableButtonsOfTheActiveWindow_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("enabled") << QKeySequence(Qt::Key_F5) << "" << QStringList{"Add"};
        QTest::newRow("enabled, no right needed")
            << QKeySequence(Qt::Key_F9) << "" << QStringList{"Refresh"};
        QTest::newRow("switched off by the window")
            << QKeySequence(Qt::Key_F5) << "disable Add" << QStringList{};
        QTest::newRow("switched on again")
            << QKeySequence(Qt::Key_F5) << "disable Add, enable Add" << QStringList{"Add"};
        QTest::newRow("without the right")
            << QKeySequence(Qt::CTRL | Qt::Key_D) << "" << QStringList{};
        QTest::newRow("hidden button")
            << QKeySequence(Qt::Key_F9) << "hide Refresh" << QStringList{};
        QTest::newRow("button pushed out of a narrow toolbar")
            << QKeySequence(Qt::Key_F9) << "narrow" << QStringList{"Refresh"};
        QTest::newRow("another window active")
            << QKeySequence(Qt::Key_F5) << "activate other" << QStringList{};
    }

    void hotKeysTriggerOnlyUsableButtonsOfTheActiveWindow()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, setup);
        QFETCH(QStringList, expected);
        ToolbarWindow w;
        w.toolbar->setDefinition(contactButtons(), captionOf, allowed);
        QVERIFY(w.showActive());
        QWidget other;
        if (setup.contains("disable Add"))
            w.toolbar->setButtonEnabled("Add", false);
        if (setup.contains("enable Add"))
            w.toolbar->setButtonEnabled("Add", true);
        if (setup.contains("hide Refresh"))
            w.toolbar->setButtonVisible("Refresh", false);
        if (setup == "narrow") {
            w.window.resize(w.window.minimumSizeHint().width(), w.window.height());
            QTRY_VERIFY(!w.toolbar->button("Refresh")->isVisible());
        }
        if (setup.contains("activate other")) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        QSignalSpy clicked(w.toolbar, &HostToolbar::buttonClicked);
        QTest::keySequence(&w.window, keys);
        QStringList heard;
        for (const QList<QVariant> &arguments : std::as_const(clicked))
            heard << arguments.first().toString();
        QCOMPARE(heard, expected);
    }

    void mirrorFollowsItsSourceAndEmitsItsOwnKeys()
    {
        ToolbarWindow w;
        w.hidden->setDefinition(contactButtons(), captionOf, allowed);
        w.toolbar->mirror(w.hidden);
        QVERIFY(w.showActive());
        QCOMPARE(w.toolbar->keys(), w.hidden->keys());
        QCOMPARE(w.toolbar->button("Add")->text(), QStringLiteral("增加"));
        QVERIFY(!w.toolbar->button("Del")->isEnabled());

        w.hidden->setButtonEnabled("Add", false);
        w.hidden->setButtonVisible("Refresh", false);
        QVERIFY(!w.toolbar->button("Add")->isEnabled());
        QVERIFY(!w.toolbar->isButtonVisible("Refresh"));
        QTRY_VERIFY(!w.toolbar->button("Refresh")->isVisible()); // at the toolbar's next layout
        QVERIFY(w.toolbar->button("Exit")->isVisible());
        w.hidden->setButtonEnabled("Add", true);
        w.hidden->setButtonVisible("Refresh", true);
        QVERIFY(w.toolbar->button("Add")->isEnabled());
        QTRY_VERIFY(w.toolbar->button("Refresh")->isVisible());

        QSignalSpy mirrorClicked(w.toolbar, &HostToolbar::buttonClicked);
        QSignalSpy sourceClicked(w.hidden, &HostToolbar::buttonClicked);
        QTest::mouseClick(w.toolbar->button("Exit"), Qt::LeftButton);
        // The hidden source's hot keys are dead; the mirror's work, once.
        QTest::keyClick(&w.window, Qt::Key_F5);
        QCOMPARE(mirrorClicked.count(), 2);
        QCOMPARE(mirrorClicked.at(0).first().toString(), QStringLiteral("Exit"));
        QCOMPARE(mirrorClicked.at(1).first().toString(), QStringLiteral("Add"));
        QCOMPARE(sourceClicked.count(), 0);

        w.hidden->setDefinition(contactButtons().mid(2), captionOf, allowed);
        QCOMPARE(w.toolbar->keys(), QStringList({"Refresh", "Exit"}));
        w.toolbar->mirror(nullptr);
        w.hidden->setButtonEnabled("Exit", false);
        QVERIFY(w.toolbar->button("Exit")->isEnabled());
    }
};

QTEST_MAIN(tst_HostToolbar)
#include "tst_hosttoolbar.moc"
