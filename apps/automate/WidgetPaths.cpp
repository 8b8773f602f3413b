#include "apps/automate/WidgetPaths.h"

#include <QAction>
#include <QApplication>

namespace perikon::automation {
namespace {

// Prefers a visible widget: a script means the window a person sees, not a hidden leftover.
QWidget *preferVisible(const QList<QWidget *> &candidates)
{
    for (QWidget *w : candidates) {
        if (w->isVisible())
            return w;
    }
    return candidates.value(0);
}

// Actions added to a widget need not be its children (a shared action owned elsewhere), so the
// actions each widget shows are searched too.
QObject *findBelow(QObject *parent, const QString &name)
{
    const QList<QObject *> named = parent->findChildren<QObject *>(name);
    QList<QWidget *> widgets;
    for (QObject *o : named) {
        if (o->isWidgetType())
            widgets.append(static_cast<QWidget *>(o));
    }
    if (QWidget *w = preferVisible(widgets))
        return w;
    if (!named.isEmpty())
        return named.first();
    if (!parent->isWidgetType())
        return nullptr;
    QList<QWidget *> shown{static_cast<QWidget *>(parent)};
    shown += parent->findChildren<QWidget *>();
    for (QWidget *w : shown) {
        for (QAction *action : w->actions()) {
            if (action->objectName() == name)
                return action;
        }
    }
    return nullptr;
}

} // namespace

QWidget *findWindow(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    QList<QWidget *> windows;
    for (QWidget *w : topLevels) {
        if (w->objectName() == name)
            windows.append(w);
    }
    if (QWidget *w = preferVisible(windows))
        return w;
    QList<QWidget *> embedded;
    QList<QWidget *> others;
    for (QWidget *top : topLevels) {
        for (QWidget *w : top->findChildren<QWidget *>(name))
            (w->windowFlags().testFlag(Qt::Window) ? embedded : others).append(w);
    }
    if (QWidget *w = preferVisible(embedded))
        return w;
    return preferVisible(others);
}

PathTarget resolvePath(const QString &path)
{
    const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (segments.isEmpty())
        return QStringLiteral("empty path");
    QObject *current = findWindow(segments.first());
    if (!current)
        return QStringLiteral("no window named %1").arg(segments.first());
    for (qsizetype i = 1; i < segments.size(); ++i) {
        QObject *next = findBelow(current, segments[i]);
        if (!next)
            return QStringLiteral("no control %1 in %2")
                .arg(segments[i], segments.mid(0, i).join(QLatin1Char('/')));
        current = next;
    }
    return current;
}

QWidget *blockingModalWindow(const QWidget *target)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !target)
        return nullptr;
    // The modal window and what it owns take input.
    for (const QWidget *w = target; w; w = w->parentWidget()) {
        if (w == modal)
            return nullptr;
    }
    if (modal->windowModality() == Qt::WindowModal) {
        // It blocks only the windows it was opened from.
        for (const QWidget *w = modal->parentWidget(); w; w = w->parentWidget()) {
            if (w->window() == target->window())
                return modal;
        }
        return nullptr;
    }
    return modal;
}

} // namespace perikon::automation
