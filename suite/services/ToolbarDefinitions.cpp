#include "suite/services/ToolbarDefinitions.h"

namespace perikon::suite {

namespace {

using controls::ToolbarButtonDef;

ToolbarButtonDef button(const char *key, const char *icon, const char *functionId = "")
{
    ToolbarButtonDef def;
    def.key = QString::fromLatin1(key);
    def.captionKey = QStringLiteral("K2.CRM.Toolbar.") + def.key;
    def.icon = QString::fromLatin1(icon);
    def.functionId = QString::fromLatin1(functionId);
    // No hot keys here: the list's key hook owns its function keys, and a toolbar shortcut
    // would run the command a second time.
    return def;
}

} // namespace

std::optional<QList<controls::ToolbarButtonDef>> toolbarDefinition(const QString &module,
                                                                   const QString &definitionKey)
{
    if (module.compare(QLatin1String("CS"), Qt::CaseInsensitive) == 0
        && definitionKey.compare(QLatin1String("CS_Other_LinkmanManage"), Qt::CaseInsensitive)
               == 0) {
        // The contact list; the list hides the buttons of commands it cannot run yet.
        return QList<ToolbarButtonDef>{
            button("Add", "document-new", "CS020204"),
            button("Modify", "document-edit", "CS020201"),
            button("Del", "edit-delete", "CS020205"),
            button("MulModify", "document-properties"),
            button("General", "SP_FileDialogInfoView", "CS020202"),
            button("SendMail", "mail-send", "CS020203"),
            button("SendMsg", "mail-message-new", "CS020203"),
            button("Refresh", "SP_BrowserReload", "CS020202"),
            button("Help", "SP_DialogHelpButton"),
            button("Exit", "SP_DialogCloseButton"),
        };
    }
    return std::nullopt;
}

} // namespace perikon::suite
