#include "perikon/entry/clsLogin.h"

#include "perikon/entry/ClassRegistry.h"

namespace perikon {
PERIKON_REGISTER_CLASS("Perikon.clsLogin", clsLogin)
PERIKON_REGISTER_CLASS("Perikon.clsContactDO", clsContactDO)
} // namespace perikon
