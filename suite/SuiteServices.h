#pragma once

namespace perikon::suite {

// Registers every host service and creatable host object of the suite in the host registry.
// Called once at start-up by the shell, the automation bridge and the tests; calling it again is
// harmless.
void registerServices();

} // namespace perikon::suite
