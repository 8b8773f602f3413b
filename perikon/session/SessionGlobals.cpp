#include "perikon/session/SessionGlobals.h"

namespace perikon {

thread_local QPointer<QObject> gLogin;
thread_local std::shared_ptr<IClsCommon> gClsCommon;
thread_local QString gUserId;
thread_local QString gUserName;
thread_local QString gAccountDb;
thread_local QString gServerDate;

thread_local std::unique_ptr<PubService> gPubService;
thread_local std::unique_ptr<ColumnSetService> gColumnSet;
thread_local std::unique_ptr<RowAuthService> gRowAuth;
thread_local std::unique_ptr<ColumnAuthService> gColAuth;
thread_local std::unique_ptr<FunctionTaskService> gFunctionTask;

thread_local QPointer<QWidget> gListForm;
thread_local QPointer<QObject> gProduct;
thread_local QPointer<QObject> gActiveFrmMgr;
thread_local QPointer<QObject> gViewManager;
thread_local QPointer<QObject> gBusiness;
thread_local bool gToolbarVisible = false;
thread_local bool gLoggedIn = false;
thread_local bool gFirstLoad = false;
thread_local std::shared_ptr<clsLogin> gClsLogin;

thread_local QString gArchiveCusCode;
thread_local QString gArchiveCusName;

thread_local QString gLastError;
thread_local bool gDefaultContactChanged = false;

} // namespace perikon
