#include "perikon/card/CardSession.h"

#include "perikon/session/PublishedValue.h"

namespace perikon {

thread_local QString gCardColInfoXml;

namespace {
[[maybe_unused]] const bool published = PERIKON_PUBLISH_VALUE(QString, gCardColInfoXml);
} // namespace

} // namespace perikon
