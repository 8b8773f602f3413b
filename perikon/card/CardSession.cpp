#include "perikon/card/CardSession.h"

namespace perikon {

thread_local QString gCardColInfoXml;

} // namespace perikon
