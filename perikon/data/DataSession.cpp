#include "perikon/data/DataSession.h"

#include "perikon/session/PublishedValue.h"

namespace perikon {

thread_local QString gContactTs;

namespace {
[[maybe_unused]] const bool published = PERIKON_PUBLISH_VALUE(QString, gContactTs);
} // namespace

} // namespace perikon
