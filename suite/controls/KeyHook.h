#pragma once

#include "suite/controls/ControlsExport.h"

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

namespace perikon::controls {

// The host's keyboard hook for one window: it sees the keys pressed and released in widgets of that
// window (the window itself or below it, never another window such as a dialog opened on top) while
// the window is active, before the focused widget and before any shortcut. A slot connected to
// keyDown with Qt::DirectConnection may set swallow to eat the key: neither the widget nor a
// shortcut then sees it.
class PERIKON_CONTROLS_EXPORT KeyHook : public QObject
{
    Q_OBJECT
public:
    explicit KeyHook(QWidget *window);
    ~KeyHook() override;

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    QWidget *window() const { return m_window; }

signals:
    void keyDown(int key, Qt::KeyboardModifiers mods, bool &swallow);
    void keyUp(int key, Qt::KeyboardModifiers mods);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isHookedTarget(QObject *watched) const;
    bool pressed(QKeyEvent *event);

    QPointer<QWidget> m_window;
    bool m_enabled = true;
    // A key press is announced once, at its shortcut check or (without one) at its delivery.
    struct Announced
    {
        int key = 0;
        Qt::KeyboardModifiers mods;
        bool swallowed = false;
        bool pending = false;
    } m_announced;
};

} // namespace perikon::controls
