#include "perikon/data/DataSession.h"

namespace perikon {

thread_local QString gContactTs;

} // namespace perikon
