#include "suite/MessageBoxScript.h"

#include <QApplication>
#include <QQueue>

#include <optional>

namespace perikon::suite {
namespace {

struct Script
{
    std::optional<bool> interactive;
    QQueue<int> answers;
    QStringList shown;
};

Script &script()
{
    thread_local Script s;
    return s;
}

} // namespace

bool MessageBoxScript::interactive()
{
    if (script().interactive)
        return *script().interactive;
    if (qEnvironmentVariable("PERIKON_NONINTERACTIVE") == QLatin1String("1"))
        return false;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void MessageBoxScript::setInteractive(bool interactive)
{
    script().interactive = interactive;
}

void MessageBoxScript::queueAnswers(const QList<int> &buttons)
{
    for (int b : buttons)
        script().answers.enqueue(b);
}

int MessageBoxScript::answer(const QString &text, int defaultAnswer)
{
    Script &s = script();
    s.shown.append(text);
    return s.answers.isEmpty() ? defaultAnswer : s.answers.dequeue();
}

void MessageBoxScript::recordShown(const QString &text)
{
    script().shown.append(text);
}

QStringList MessageBoxScript::takeShownMessages()
{
    QStringList shown;
    shown.swap(script().shown);
    return shown;
}

} // namespace perikon::suite
