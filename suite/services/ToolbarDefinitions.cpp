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
    // No hot keys here: the windows' key hooks own their function keys, and a toolbar shortcut
    // would run the command a second time.
    return def;
}

QList<ToolbarButtonDef> contactList()
{
    // The list hides the buttons of commands it cannot run yet.
    return {
        button("Add", "document-new", "CS020204"),
        button("Modify", "document-edit", "CS020201"),
        button("Del", "edit-delete", "CS020205"),
        button("MulModify", "document-properties"),
        button("General", "SP_FileDialogInfoView", "CS020202"),
        button("SendMail", "mail-send", "CS020203"),
        button("SendMsg", "mail-message-new", "CS020203"),
        button("Filter", "edit-find", "CS020202"),
        // The print pictures come with Qt's own print dialogs; without them the toolbar shows
        // its generic one.
        button("Preview",
               ":/qt-project.org/dialogs/qprintpreviewdialog/images/zoom-fit-page-32.png"),
        button("Print", ":/qt-project.org/dialogs/qprintpreviewdialog/images/printer-32.png"),
        button("SaveFile", "SP_DialogSaveButton"),
        button("Refresh", "SP_BrowserReload", "CS020202"),
        button("Help", "SP_DialogHelpButton"),
        button("Exit", "SP_DialogCloseButton"),
    };
}

QList<ToolbarButtonDef> contactCard()
{
    // The card finds its navigation buttons by position: the third to the sixth. The card was
    // opened under the right it saves with, so no button asks for one of its own.
    return {
        button("SaveRs", "document-save"),
        button("cPerson", "SP_FileDialogContentsView"),
        button("First", "go-first"),
        button("Previous", "SP_ArrowBack"),
        button("Next", "SP_ArrowForward"),
        button("Last", "go-last"),
        button("Privilege", "SP_FileDialogDetailedView"),
        button("Help", "SP_DialogHelpButton"),
        button("Exit", "SP_DialogCloseButton"),
    };
}

struct Definition
{
    const char *module;
    const char *key;
    QList<ToolbarButtonDef> (*buttons)();
};

constexpr Definition kDefinitions[] = {
    {"CS", "CS_Other_LinkmanManage", contactList},
    {"CS", "CS_Other_AddLmArch", contactCard},
};

} // namespace

std::optional<QList<controls::ToolbarButtonDef>> toolbarDefinition(const QString &module,
                                                                   const QString &definitionKey)
{
    for (const Definition &definition : kDefinitions) {
        if (module.compare(QLatin1String(definition.module), Qt::CaseInsensitive) == 0
            && definitionKey.compare(QLatin1String(definition.key), Qt::CaseInsensitive) == 0)
            return definition.buttons();
    }
    return std::nullopt;
}

QList<std::pair<QString, QString>> toolbarDefinitionKeys()
{
    QList<std::pair<QString, QString>> keys;
    for (const Definition &definition : kDefinitions)
        keys.append({QLatin1String(definition.module), QLatin1String(definition.key)});
    return keys;
}

} // namespace perikon::suite
