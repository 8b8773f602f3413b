#pragma once

// The list's commands apart from the window: which key runs which command, and the function tasks
// every command ends.

#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::list {

// What a key pressed in the list window runs. `swallow`: the key goes no further (F5 must not
// reach the grid).
struct HookCommand
{
    QString command;
    bool swallow = false;
    bool operator==(const HookCommand &) const = default;
};

// The command of a key down in the window (Qt key code), or nothing. Delete counts only while
// the grid has the focus; Page Up, Page Down and Enter pass on untouched.
std::optional<HookCommand> hookCommand(int key, Qt::KeyboardModifiers modifiers, bool gridHasFocus);

// A data row of a grid with `rows` rows (the header counts as row 0).
bool isDataRow(int row, int rows);

// The first column whose header text equals `caption`, ignoring case and surrounding blanks; -1
// when none does.
int columnCaptioned(const QStringList &headerTexts, const QString &caption);

// The function tasks the list's commands use, in the order a command's end releases them.
const QStringList &listFunctionTasks();

// Ends every task of listFunctionTasks for the session's login.
void endFunctionTasks();

} // namespace perikon::list
