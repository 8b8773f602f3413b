#include "suite/SuiteServices.h"

namespace perikon::suite {

void registerServices()
{
}

} // namespace perikon::suite
