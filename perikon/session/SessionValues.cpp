// Publishes the session values this layer owns to automation clients by their exact names. The
// component's modules publish their own values, and those whose type only the component knows.

#include "perikon/session/PublishedValue.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {
namespace {

[[maybe_unused]] const bool published = [] {
    PERIKON_PUBLISH_POINTER(gLogin);
    PERIKON_PUBLISH_VALUE(QString, gUserId);
    PERIKON_PUBLISH_VALUE(QString, gUserName);
    PERIKON_PUBLISH_VALUE(QString, gAccountDb);
    PERIKON_PUBLISH_VALUE(QString, gServerDate);
    PERIKON_PUBLISH_OWNED(gPubService);
    PERIKON_PUBLISH_OWNED(gColumnSet);
    PERIKON_PUBLISH_OWNED(gRowAuth);
    PERIKON_PUBLISH_OWNED(gColAuth);
    PERIKON_PUBLISH_OWNED(gFunctionTask);
    PERIKON_PUBLISH_POINTER(gProduct);
    PERIKON_PUBLISH_POINTER(gActiveFrmMgr);
    PERIKON_PUBLISH_POINTER(gViewManager);
    PERIKON_PUBLISH_POINTER(gBusiness);
    PERIKON_PUBLISH_VALUE(bool, gToolbarVisible);
    PERIKON_PUBLISH_VALUE(bool, gLoggedIn);
    PERIKON_PUBLISH_VALUE(bool, gFirstLoad);
    PERIKON_PUBLISH_VALUE(QString, gArchiveCusCode);
    PERIKON_PUBLISH_VALUE(QString, gArchiveCusName);
    PERIKON_PUBLISH_VALUE(QString, gLastError);
    PERIKON_PUBLISH_VALUE(bool, gDefaultContactChanged);
    return true;
}();

} // namespace
} // namespace perikon
