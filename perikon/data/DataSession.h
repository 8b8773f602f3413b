#pragma once

#include <QString>

namespace perikon {

// Row version of the contact loaded in the card (the money text of qzts); Modify refuses the save
// when the stored row's version differs. Empty: no check. One copy per thread.
extern thread_local QString gContactTs;

} // namespace perikon
