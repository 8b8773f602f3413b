#pragma once

// Module Common: small helpers the data-access side shares.

#include <QString>

namespace perikon::Common {

// The account number of the session: the three characters after "CATALOG=QZDATA_" in gAccountDb,
// found without regard to case; empty when there is no such part.
QString GetAccIdFromConn();

} // namespace perikon::Common
