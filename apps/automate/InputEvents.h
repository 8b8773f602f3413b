#pragma once

#include <QKeySequence>
#include <QPoint>
#include <QString>

class QWidget;

namespace perikon::automation {

// Mouse and keyboard input delivered to a widget the way the window system delivers a person's
// input: focus first (as the widget's focus policy allows), then press and release events.
// `button`: the right button presses and releases once (no double click).
void clickAt(QWidget *widget, QPoint pos, bool twice = false,
             Qt::MouseButton button = Qt::LeftButton);
// Where a person clicks a control: its middle, or a check box's box.
void clickControl(QWidget *widget, bool twice = false);

// Each key of the sequence in turn; a key that is a shortcut of the window triggers it instead.
void sendKeys(QWidget *widget, const QKeySequence &keys);

// Selects everything the edit holds and types text over it key by key, so every keystroke fires
// the edit's own change signals.
void typeOver(QWidget *edit, const QString &text);

// Moves the keyboard focus to widget, activating its window first.
void focus(QWidget *widget, Qt::FocusReason reason);

} // namespace perikon::automation
