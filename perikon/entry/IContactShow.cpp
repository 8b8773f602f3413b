// IContact: opening the contact list (Show, the customer archive's entry, the portal's call).

#include "perikon/entry/IContact.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/frmContactList.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"

#include <QEventLoop>
#include <QPointer>

#include <exception>

namespace perikon {

namespace {

const QString kListTask = QStringLiteral("CS020202");
const QString kListFormKey = QStringLiteral("frmContactList_Key");

void trace(const QString &heading, const QString &detail)
{
    try {
        internal::uiHelper().WriteTrace(heading, detail, false);
    } catch (const HostServiceMissing &) {
        // No helper, no trace: the list opens all the same.
    }
}

// Shows the window modally and returns when it has closed.
void showModal(QWidget *form)
{
    QPointer<QWidget> window = form;
    QEventLoop loop;
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    // Closed (hidden) or deleted, the wait is over.
    while (window && window->isVisible())
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::DialogExec);
}

template<typename Service>
bool createService(std::unique_ptr<Service> &service, const char *name, const char *messageKey)
{
    service = HostRegistry::createAs<Service>(QString::fromLatin1(name));
    if (!service) {
        ShowMessage(GetResText(QString::fromLatin1(messageKey)));
        return false;
    }
    return true;
}

} // namespace

void IContact::Show(QObject *oLogin, bool bIsToolbarVisible, QObject *oProduct,
                    QObject *oActiveFrmMgr, QObject *oViewManager, QObject *Business)
{
    gFirstLoad = true;
    gMaxPageSize = 10000;
    // Shown and not closed: bring it to the front, never a second list.
    if (auto *open = qobject_cast<frmContactList *>(gListForm); open && open->isOpen()) {
        if (gActiveFrmMgr)
            QMetaObject::invokeMethod(gActiveFrmMgr, "ActivateForm", Qt::DirectConnection,
                                      Q_ARG(QWidget *, open));
        // A page of the shell is brought forward by its form manager; a window of its own here.
        if (open->isWindow())
            open->raise();
        open->window()->activateWindow();
        return;
    }
    auto form = std::make_unique<frmContactList>(this);
    gListForm = form.get();
    m_ownsSession = true;

    gLogin = oLogin;
    if (!gLogin) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.COMMON.DBMSG.K2Login0001")));
        return;
    }
    if (!gFunctionTask)
        gFunctionTask
            = HostRegistry::createAs<FunctionTaskService>(QStringLiteral("FunctionTaskService"));
    if (!gFunctionTask) {
        WriteErrorLog(QStringLiteral("IContact.Show"), true,
                      ErrorInfo{0, QStringLiteral("The host offers no FunctionTaskService."),
                                QStringLiteral("Perikon")});
        return;
    }
    bool ok = false;
    const bool begun = gFunctionTask->Begin(gLogin, kListTask, ok);
    try {
        if (begun
            && prepareSession(oLogin, bIsToolbarVisible, oProduct, oActiveFrmMgr, oViewManager))
            openList(form.release(), Business);
    } catch (const std::exception &error) {
        WriteErrorLog(QStringLiteral("IContact.Show"), true,
                      ErrorInfo{0, QString::fromUtf8(error.what()), QStringLiteral("Perikon")});
    }
    if (gFunctionTask)
        gFunctionTask->End(gLogin, kListTask);
}

bool IContact::prepareSession(QObject *oLogin, bool bIsToolbarVisible, QObject *oProduct,
                              QObject *oActiveFrmMgr, QObject *oViewManager)
{
    gProduct = oProduct;
    gActiveFrmMgr = oActiveFrmMgr;
    gViewManager = oViewManager;
    gToolbarVisible = bIsToolbarVisible;

    // A deleter of our own keeps the shared pointer's bookkeeping inside the library (a
    // make_shared of an exported class would export its control block).
    gClsCommon = std::shared_ptr<IClsCommon>(new IClsCommon, [](IClsCommon *com) { delete com; });
    QString connectionString = hostlogin::text(oLogin, "qzDBName");
    gClsCommon->Init(connectionString);
    gUserId = hostlogin::text(oLogin, "cUserId");
    gUserName = hostlogin::text(oLogin, "cUserName");
    gAccountDb = hostlogin::text(oLogin, "qzDBName");
    // Init keeps Status when the database does not open; a closed connection says it all.
    db::Connection *connection = gClsCommon->connection();
    if (!gClsCommon->Status() || !connection || connection->state() != db::Connection::StateOpen) {
        ShowMessage(internal::connectionFailedMessage());
        return false;
    }

    if (!gPubService)
        gPubService = HostRegistry::createAs<PubService>(QStringLiteral("PubService"));
    if (!gPubService) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.COMMON.DBMSG.0005")));
        return false;
    }
    QObject *com = gClsCommon.get();
    gServerDate = gPubService->GetSrvTime(com);
    com = gClsCommon.get();
    if (gPubService->IsLockFun(com, gLogin, QStringLiteral("Crm_Contact"), 1))
        return false;

    if (!createService(gColumnSet, "ColumnSetService", "K2.CRM.QZCompetitor.icompetitor.00157"))
        return false;
    gColumnSet->Init(*connection, gUserId);
    if (!createService(gRowAuth, "RowAuthService", "K2.CRM.QZCompetitor.icompetitor.00158"))
        return false;
    gRowAuth->Init(gAccountDb, gUserId);
    if (!createService(gColAuth, "ColumnAuthService", "K2.CRM.QZCompetitor.icompetitor.00159"))
        return false;
    gColAuth->Init(gAccountDb, gUserId);

    Common::InitAuthStrings();
    try {
        gHelpFile = internal::uiHelper().GetHelpFile();
    } catch (const HostServiceMissing &) {
        gHelpFile.clear();
    }
    return true;
}

void IContact::openList(QWidget *form, QObject *Business)
{
    const bool modal = !gProduct || !gActiveFrmMgr;
    if (!Business) {
        gBusiness = nullptr;
        if (modal)
            showModal(form);
        else
            form->show();
        return;
    }
    gBusiness = Business;
    QWidget *window = form;
    QObject *environment = nullptr;
    QMetaObject::invokeMethod(gBusiness, "CreateFormEnv", Qt::DirectConnection,
                              Q_RETURN_ARG(QObject *, environment), Q_ARG(QString, kListFormKey),
                              Q_ARG(QWidget *&, window));
    QPointer<QWidget> shown = window;
    QMetaObject::invokeMethod(gBusiness, "ShowForm", Qt::DirectConnection,
                              Q_ARG(QWidget *&, window), Q_ARG(QString, QStringLiteral("CS")),
                              Q_ARG(QString, kListFormKey), Q_ARG(bool, false), Q_ARG(bool, modal),
                              Q_ARG(QObject *, environment));
    gListForm = window;
    // A business object that did not take the window leaves nobody to close it.
    if (shown && !shown->isVisible() && !shown->parent())
        delete shown;
}

void IContact::showCalledByCusomterArchive(QObject *oLogin, QString &customerCode,
                                           QString &customerName, bool bIsToolbarVisible,
                                           QObject *oProduct, QObject *oActiveFrmMgr,
                                           QObject *oViewManager)
{
    const QString separator = QStringLiteral("=========================");
    trace(QStringLiteral("showCalledByCusomterArchive Begin"), separator);
    gArchiveCusCode = customerCode;
    gArchiveCusName = customerName;
    trace(QStringLiteral("showCalledByCusomterArchive"),
          QStringLiteral("customerCode===============") + customerCode);
    trace(QStringLiteral("showCalledByCusomterArchive"),
          QStringLiteral("customerName===============") + customerName);
    Show(oLogin, bIsToolbarVisible, oProduct, oActiveFrmMgr, oViewManager, nullptr);
    gArchiveCusCode = QString();
    gArchiveCusName = QString();
    trace(QStringLiteral("showCalledByCusomterArchive  End"), separator);
}

QObject *IContact::ILoginable_CallFunction(const QString &, const QString &, const QString &,
                                           const QString &)
{
    Show(gLogin, false, nullptr, nullptr, nullptr, nullptr);
    return nullptr;
}

} // namespace perikon
