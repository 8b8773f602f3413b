#include "perikon/entry/clsLogin.h"

#include "perikon/session/ClassRegistry.h"
#include "perikon/session/PublishedValue.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {
PERIKON_REGISTER_CLASS("Perikon.clsLogin", clsLogin)
PERIKON_REGISTER_CLASS("Perikon.clsContactDO", clsContactDO)

namespace {
[[maybe_unused]] const bool published = PERIKON_PUBLISH_OWNED(gClsLogin);
} // namespace
} // namespace perikon
