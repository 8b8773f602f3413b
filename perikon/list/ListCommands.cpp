#include "perikon/list/ListCommands.h"

#include "perikon/session/SessionGlobals.h"

namespace perikon::list {

std::optional<HookCommand> hookCommand(int key, Qt::KeyboardModifiers modifiers, bool gridHasFocus)
{
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    switch (key) {
    case Qt::Key_F1:
        return HookCommand{QStringLiteral("Help")};
    case Qt::Key_F3:
        return HookCommand{control ? QStringLiteral("Pos") : QStringLiteral("Find")};
    case Qt::Key_F5:
        return HookCommand{QStringLiteral("Add"), true};
    case Qt::Key_F7:
        return HookCommand{QStringLiteral("Modify")};
    case Qt::Key_F9:
        return HookCommand{QStringLiteral("Refresh")};
    case Qt::Key_Delete:
        if (gridHasFocus)
            return HookCommand{QStringLiteral("Del")};
        return std::nullopt;
    case Qt::Key_P:
        if (control)
            return HookCommand{QStringLiteral("Print")};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool isDataRow(int row, int rows)
{
    return row >= 1 && row <= rows - 1;
}

int columnCaptioned(const QStringList &headerTexts, const QString &caption)
{
    const QString wanted = caption.trimmed();
    for (qsizetype col = 0; col < headerTexts.size(); ++col) {
        if (headerTexts.at(col).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return int(col);
    }
    return -1;
}

const QStringList &listFunctionTasks()
{
    static const QStringList tasks{QStringLiteral("CS020204"), QStringLiteral("CS020201"),
                                   QStringLiteral("CS020205"), QStringLiteral("CS020203"),
                                   QStringLiteral("CS020202")};
    return tasks;
}

void endFunctionTasks()
{
    if (!gFunctionTask)
        return;
    for (const QString &task : listFunctionTasks())
        gFunctionTask->End(gLogin, task);
}

} // namespace perikon::list
