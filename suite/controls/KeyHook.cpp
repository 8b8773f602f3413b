#include "suite/controls/KeyHook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace perikon::controls {

KeyHook::KeyHook(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

KeyHook::~KeyHook()
{
    qApp->removeEventFilter(this);
}

bool KeyHook::isHookedTarget(QObject *watched) const
{
    if (!m_enabled || !m_window || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // A key travels from the focus widget up to its window; announce it at its first stop only.
    QWidget *first = QApplication::focusWidget();
    if (widget != (first ? first : widget->window()))
        return false;
    return (widget == m_window || m_window->isAncestorOf(widget)) && m_window->isActiveWindow();
}

bool KeyHook::pressed(QKeyEvent *event)
{
    bool swallow = false;
    emit keyDown(event->key(), event->modifiers(), swallow);
    return swallow;
}

bool KeyHook::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        if (!isHookedTarget(watched))
            break;
        // The shortcut check comes before the key press: announce the key here, and claim it
        // when it is swallowed, so no shortcut fires and the press itself arrives to be eaten.
        auto *key = static_cast<QKeyEvent *>(event);
        // A press can be preceded by more than one shortcut check (one from the platform, one
        // when the application delivers the press); the key is announced once.
        if (m_announced.pending && m_announced.key == key->key()
            && m_announced.mods == key->modifiers()) {
            if (m_announced.swallowed) {
                key->accept();
                return true;
            }
            break;
        }
        const bool swallowed = pressed(key);
        m_announced = {key->key(), key->modifiers(), swallowed, true};
        if (swallowed) {
            key->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        // The press that follows its announcement belongs to it, even when the command it ran
        // (a modal card) moved the focus or the activation meanwhile.
        if (m_announced.pending && watched->isWidgetType() && m_announced.key == key->key()
            && m_announced.mods == key->modifiers()) {
            m_announced.pending = false;
            return m_announced.swallowed;
        }
        if (!isHookedTarget(watched))
            break;
        m_announced.pending = false;
        return pressed(key);
    }
    case QEvent::KeyRelease: {
        if (!isHookedTarget(watched))
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        m_announced.pending = false;
        emit keyUp(key->key(), key->modifiers());
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace perikon::controls
