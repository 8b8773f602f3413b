// The list window's keyboard hook: it hears the keys of its own window only, before the focused
// widget and before shortcuts, and a swallowed key reaches neither.

#include "suite/controls/KeyHook.h"
#include "support/FailOnWarnings.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPair>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using perikon::controls::KeyHook;

namespace {

// A window with a field and an F5 shortcut, hooked, and a dialog of its own.
struct HookedWindow
{
    QWidget window;
    QLineEdit *field = new QLineEdit(&window);
    QAction *f5 = new QAction(&window);
    KeyHook *hook = new KeyHook(&window);
    QDialog dialog{&window};
    QLineEdit *dialogField = new QLineEdit(&dialog);

    HookedWindow()
    {
        window.setObjectName("frmContactList");
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        f5->setShortcut(Qt::Key_F5);
        window.addAction(f5);
        new QVBoxLayout(&dialog);
        dialog.layout()->addWidget(dialogField);
    }
    // Waits for the application itself to make target's window the active one: a dialog counts
    // as active with its parent already, which is not what these tests are after.
    static bool activate(QWidget *target)
    {
        QWidget *top = target->window();
        top->show();
        top->activateWindow();
        if (!QTest::qWaitFor([top] { return QApplication::activeWindow() == top; }))
            return false;
        target->setFocus();
        return target->hasFocus();
    }
};

} // namespace

class tst_KeyHook : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void hearsOnlyItsOwnActiveWindow_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("heard");
        QTest::newRow("own window's field") << "own" << true;
        QTest::newRow("own window without a focused field") << "own window" << true;
        QTest::newRow("dialog opened on top") << "dialog" << false;
        QTest::newRow("own field while another window is active") << "inactive" << false;
        QTest::newRow("hook switched off") << "off" << false;
    }

    void hearsOnlyItsOwnActiveWindow()
    {
        QFETCH(QString, situation);
        QFETCH(bool, heard);
        HookedWindow w;
        QList<QPair<int, Qt::KeyboardModifiers>> downs;
        QList<int> ups;
        connect(w.hook, &KeyHook::keyDown, this,
                [&downs](int key, Qt::KeyboardModifiers mods, bool &) {
                    downs.append({key, mods});
                });
        connect(w.hook, &KeyHook::keyUp, this, [&ups](int key) { ups.append(key); });
        QWidget other;
        QWidget *target = w.field;
        if (situation == "dialog") {
            QVERIFY(w.activate(w.field));
            w.dialog.setModal(true);
            QVERIFY(w.activate(w.dialogField));
            target = w.dialogField;
        } else if (situation == "own window") {
            QVERIFY(w.activate(&w.window));
            w.field->setFocusPolicy(Qt::NoFocus);
            w.field->clearFocus();
            target = &w.window;
        } else {
            QVERIFY(w.activate(w.field));
        }
        if (situation == "inactive") {
            QVERIFY(HookedWindow::activate(&other));
        }
        w.hook->setEnabled(situation != "off");

        QTest::keyClick(target, Qt::Key_X, Qt::ShiftModifier);
        using Down = QPair<int, Qt::KeyboardModifiers>;
        // The shift key goes down first, and comes up last.
        QCOMPARE(downs, heard ? QList<Down>(
                            {{Qt::Key_Shift, Qt::ShiftModifier}, {Qt::Key_X, Qt::ShiftModifier}})
                              : QList<Down>());
        QCOMPARE(ups, heard ? QList<int>({Qt::Key_X, Qt::Key_Shift}) : QList<int>());
    }

    void swallowedKeysReachNeitherWidgetNorShortcut_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("swallow");
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<int>("shortcutRuns");
        QTest::newRow("letter passed on") << int(Qt::Key_A) << false << "a" << 0;
        QTest::newRow("letter swallowed") << int(Qt::Key_A) << true << "" << 0;
        QTest::newRow("shortcut key passed on") << int(Qt::Key_F5) << false << "" << 1;
        QTest::newRow("shortcut key swallowed") << int(Qt::Key_F5) << true << "" << 0;
    }

    void swallowedKeysReachNeitherWidgetNorShortcut()
    {
        QFETCH(int, key);
        QFETCH(bool, swallow);
        QFETCH(QString, fieldText);
        QFETCH(int, shortcutRuns);
        HookedWindow w;
        QVERIFY(w.activate(w.field));
        int heard = 0;
        connect(
            w.hook, &KeyHook::keyDown, this,
            [&](int, Qt::KeyboardModifiers, bool &swallowIt) {
                ++heard;
                swallowIt = swallow;
            },
            Qt::DirectConnection);
        QSignalSpy shortcut(w.f5, &QAction::triggered);
        QTest::keyClick(w.field, Qt::Key(key));
        QCOMPARE(heard, 1);
        QCOMPARE(w.field->text(), fieldText);
        QCOMPARE(shortcut.count(), shortcutRuns);
    }

    void aPressCheckedTwiceForShortcutsIsHeardOnce_data()
    {
        QTest::addColumn<bool>("swallow");
        QTest::newRow("swallowed") << true;
        QTest::newRow("passed on") << false;
    }

    // Delivering a press can run the shortcut check twice (the platform's, then the
    // application's own when it delivers the press): one press must run one command.
    void aPressCheckedTwiceForShortcutsIsHeardOnce()
    {
        QFETCH(bool, swallow);
        HookedWindow w;
        QVERIFY(w.activate(w.field));
        int heard = 0;
        connect(
            w.hook, &KeyHook::keyDown, this,
            [&](int, Qt::KeyboardModifiers, bool &swallowIt) {
                ++heard;
                swallowIt = swallow;
            },
            Qt::DirectConnection);
        const auto press = [&w] {
            for (int check = 0; check < 2; ++check) {
                QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_PageUp, Qt::NoModifier);
                QApplication::sendEvent(w.field, &override);
            }
            QKeyEvent down(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
            QApplication::sendEvent(w.field, &down);
            QKeyEvent up(QEvent::KeyRelease, Qt::Key_PageUp, Qt::NoModifier);
            QApplication::sendEvent(w.field, &up);
        };
        press();
        QCOMPARE(heard, 1);
        press();
        QCOMPARE(heard, 2);
    }
};

QTEST_MAIN(tst_KeyHook)
#include "tst_keyhook.moc"
