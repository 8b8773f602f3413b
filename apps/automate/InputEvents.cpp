#include "apps/automate/InputEvents.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QWidget>

// QtGui's own entry for a key that may be a shortcut; returns true when a shortcut took it.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString &text,
                                               bool autorep, ushort count);

namespace perikon::automation {
namespace {

void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
               Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapTo(widget->window(), pos)),
                      QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendKey(QWidget *widget, int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// The text a key types, as a keyboard layout without dead keys gives it.
QString textOf(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    default:
        break;
    }
    if (key >= 0x20 && key < Qt::Key_Escape) {
        const QString text = QString(QChar(char16_t(key)));
        return modifiers & Qt::ShiftModifier ? text.toUpper() : text.toLower();
    }
    return {};
}

void selectAll(QWidget *edit)
{
    if (auto *line = qobject_cast<QLineEdit *>(edit))
        line->selectAll();
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(edit))
        spin->selectAll();
    else if (auto *text = qobject_cast<QTextEdit *>(edit))
        text->selectAll();
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(edit))
        plain->selectAll();
}

} // namespace

void focus(QWidget *widget, Qt::FocusReason reason)
{
    if (!widget->isVisible())
        return;
    QWidget *window = widget->window();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    widget->setFocus(reason);
}

void clickAt(QWidget *widget, QPoint pos, bool twice, Qt::MouseButton button)
{
    if (widget->focusPolicy() & Qt::ClickFocus)
        focus(widget, Qt::MouseFocusReason);
    // A press can close or delete what it lands on (a button that closes its window).
    const QPointer<QWidget> target(widget);
    sendMouse(widget, QEvent::MouseButtonPress, pos, button, button);
    if (target)
        sendMouse(target, QEvent::MouseButtonRelease, pos, Qt::NoButton, button);
    if (!twice || !target || button != Qt::LeftButton)
        return;
    sendMouse(target, QEvent::MouseButtonDblClick, pos, Qt::LeftButton);
    if (target)
        sendMouse(target, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void clickControl(QWidget *widget, bool twice)
{
    // A check box or radio button takes clicks only on its box and text, which may fill a small
    // part of a wide widget.
    QStyle::SubElement clickArea = QStyle::SE_CustomBase;
    if (qobject_cast<QCheckBox *>(widget))
        clickArea = QStyle::SE_CheckBoxClickRect;
    else if (qobject_cast<QRadioButton *>(widget))
        clickArea = QStyle::SE_RadioButtonClickRect;
    if (clickArea == QStyle::SE_CustomBase) {
        clickAt(widget, widget->rect().center(), twice);
        return;
    }
    QStyleOptionButton option;
    option.initFrom(widget);
    option.text = static_cast<QAbstractButton *>(widget)->text();
    option.icon = static_cast<QAbstractButton *>(widget)->icon();
    option.iconSize = static_cast<QAbstractButton *>(widget)->iconSize();
    clickAt(widget, widget->style()->subElementRect(clickArea, &option, widget).center(), twice);
}

void sendKeys(QWidget *widget, const QKeySequence &keys)
{
    focus(widget, Qt::OtherFocusReason);
    const QPointer<QWidget> target(widget);
    for (int i = 0; i < keys.count() && target; ++i) {
        const int key = keys[i].key();
        const Qt::KeyboardModifiers modifiers = keys[i].keyboardModifiers();
        const QString text = textOf(key, modifiers);
        if (qt_sendShortcutOverrideEvent(target, 0, key, modifiers, text, false, 1))
            continue;
        sendKey(target, key, modifiers, text);
    }
}

void typeOver(QWidget *edit, const QString &text)
{
    focus(edit, Qt::OtherFocusReason);
    selectAll(edit);
    const QPointer<QWidget> target(edit);
    if (text.isEmpty()) {
        sendKey(edit, Qt::Key_Delete, Qt::NoModifier, {});
        return;
    }
    // Whole characters: a character beyond the basic plane is one keystroke of two code units.
    for (qsizetype i = 0; i < text.size() && target; ++i) {
        QString typed(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            typed += text.at(++i);
        const char32_t code = typed.toUcs4().value(0);
        if (typed == QLatin1String("\n"))
            sendKey(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        else
            sendKey(target, code < 0x80 ? int(QChar::toUpper(code)) : Qt::Key_unknown,
                    Qt::NoModifier, typed);
    }
}

} // namespace perikon::automation
