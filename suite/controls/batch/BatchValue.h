#pragma once

#include "suite/controls/batch/BatchCatalog.h"
#include "suite/controls/batch/BatchExport.h"

#include <QString>

#include <optional>

namespace perikon::suite::batch {

// The value raised for what the operator entered in `field`: trimmed (a choice's code as it is),
// empty to clear the field. None when a date is not yyyy-MM-dd of a real day, or a number does
// not read as one of the field's kind (a whole number within the int range, a decimal with no
// more than the field's decimals).
PERIKON_BATCH_EXPORT std::optional<QString> batchValue(const BatchField &field,
                                                       const QString &entered);

} // namespace perikon::suite::batch
