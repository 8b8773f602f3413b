#pragma once

#include <QString>

namespace perikon {

// Column information used by the card and by batch modification. One copy per thread.
extern thread_local QString gCardColInfoXml;

} // namespace perikon
