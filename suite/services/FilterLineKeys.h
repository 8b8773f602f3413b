#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace perikon::suite {

// A lookup's filter line keeps the focus while the operator types: its arrow and page keys move
// through `grid` instead. True when the key went to the grid.
inline bool passArrowsToGrid(QEvent *event, QWidget *grid)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QCoreApplication::sendEvent(grid, event);
        return true;
    default:
        return false;
    }
}

} // namespace perikon::suite
