#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace perikon::testing {

// Types text key by key; characters without a key of their own arrive as a key event's text, as
// an input method hands them over.
inline void typeText(QLineEdit *edit, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(edit, ch.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(edit, &press);
        }
    }
}

} // namespace perikon::testing
