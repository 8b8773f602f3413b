#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include <variant>

namespace perikon::automation {

// A control a path names (a widget, or a menu item's or toolbar's action), or why none was found.
using PathTarget = std::variant<QObject *, QString>;

// Finds the window a path's first segment names: a top-level window, else a window embedded in
// one, else any widget of that name below a top-level window. Visible ones win over hidden ones.
QWidget *findWindow(const QString &name);

// Resolves "Window/Child/Grandchild": the first segment by findWindow, every following segment
// as the objectName of a widget or action anywhere below the previous one.
PathTarget resolvePath(const QString &path);

// The modal window that keeps a person from reaching target, or nullptr when target takes input.
QWidget *blockingModalWindow(const QWidget *target);

} // namespace perikon::automation
