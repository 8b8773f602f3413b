// The contact list window: Operating, the common frame every command runs in, and the keys.

#include "perikon/list/frmContactList.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/host/HostSession.h"
#include "perikon/list/ListCommands.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>

#include <exception>

namespace perikon {

namespace {

const QString kOperatingProcedure = QStringLiteral("frmContactList.Operating()");

} // namespace

void frmContactList::Operating(const QString &key)
{
    // No command starts inside a fill; the fill's own progress lets painting run, not input.
    if (m_filling)
        return;
    if (gPubService)
        gPubService->HelpShow(key, this);
    bool finish = true;
    try {
        finish = runCommand(key.trimmed().toLower());
    } catch (const std::exception &error) {
        WriteErrorLog(kOperatingProcedure, true,
                      ErrorInfo{0, QString::fromUtf8(error.what()), QStringLiteral("Perikon")});
        return;
    }
    if (finish)
        endAllTasks();
}

// Runs one command; false when it ends at once, without the common finish.
bool frmContactList::runCommand(const QString &key)
{
    if (key == QLatin1String("refresh")) {
        DataRefresh(QString());
    } else if (key == QLatin1String("help")) {
        // The host's help, opened straight away: sending F1 to the window would come back here.
        if (gPubService)
            gPubService->ShowHelp(this);
    } else if (key == QLatin1String("mstb")) {
        if (gPubService) {
            gPubService->FrmOpt(this, QStringLiteral("mStb"), QStringLiteral("联系人档案"), gLogin,
                                gClsCommon.get());
            gPubService->FrmResize(this);
        }
        if (layout())
            layout()->activate();
    } else if (key == QLatin1String("exit")) {
        m_closingByCode = true;
        close();
        return false; // the close has ended every task
    }
    // Commands built elsewhere pass through the frame until the window offers them.
    return true;
}

void frmContactList::endAllTasks()
{
    list::endFunctionTasks();
}

void frmContactList::onKeyDown(int key, Qt::KeyboardModifiers modifiers, bool &swallow)
{
    if (!isEnabled() || m_filling)
        return;
    const bool gridHasFocus = m_grid->hasFocus() || m_grid->isAncestorOf(focusWidget());
    const std::optional<list::HookCommand> command
        = list::hookCommand(key, modifiers, gridHasFocus);
    if (!command)
        return;
    swallow = swallow || command->swallow;
    Operating(command->command);
}

void frmContactList::onKeyUp(int key, Qt::KeyboardModifiers)
{
    // Enter in a text field moves on to the next control, as Tab does.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter)
        && qobject_cast<QLineEdit *>(QApplication::focusWidget())
        && isAncestorOf(QApplication::focusWidget()))
        focusNextChild();
}

} // namespace perikon
