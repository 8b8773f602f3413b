#pragma once

// The session values of the component: one copy per thread, filled by IContact.Show and the portal
// login, read by every window and helper. The types only the component knows are declared here and
// held by shared pointer, so this layer needs none of their definitions.

#include "perikon/host/contract/ColumnAuthService.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/FunctionTaskService.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/RowAuthService.h"
#include "perikon/host/contract/TransferServices.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace perikon {

class IClsCommon;
class clsLogin;

extern thread_local QPointer<QObject> gLogin;
// Shared: windows and save steps hold on to the data-access object while the entry replaces it.
extern thread_local std::shared_ptr<IClsCommon> gClsCommon;
extern thread_local QString gUserId;
extern thread_local QString gUserName;
extern thread_local QString gAccountDb;
extern thread_local QString gServerDate;

// Host services the entry creates through the host registry and owns for the session.
extern thread_local std::unique_ptr<PubService> gPubService;
extern thread_local std::unique_ptr<ColumnSetService> gColumnSet;
extern thread_local std::unique_ptr<RowAuthService> gRowAuth;
extern thread_local std::unique_ptr<ColumnAuthService> gColAuth;
extern thread_local std::unique_ptr<FunctionTaskService> gFunctionTask;

extern thread_local QPointer<QWidget> gListForm;
// Portal objects handed in by the host; empty when the component runs outside the portal.
extern thread_local QPointer<QObject> gProduct;
extern thread_local QPointer<QObject> gActiveFrmMgr;
extern thread_local QPointer<QObject> gViewManager;
extern thread_local QPointer<QObject> gBusiness;
extern thread_local bool gToolbarVisible;
extern thread_local bool gLoggedIn;
extern thread_local bool gFirstLoad;
// The login record handed to the host's lookup clients.
extern thread_local std::shared_ptr<clsLogin> gClsLogin;

extern thread_local QString gArchiveCusCode;
extern thread_local QString gArchiveCusName;

extern thread_local QString gLastError;
extern thread_local bool gDefaultContactChanged;

} // namespace perikon
