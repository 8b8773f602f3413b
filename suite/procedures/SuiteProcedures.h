#pragma once

namespace perikon::suite {

// Registers the suite's procedures (the archive merge and its proxy) in the data layer's
// standard procedure registry, where EXECUTE statements of the component are dispatched on
// databases without stored procedures. Safe to call more than once.
void registerProcedures();

} // namespace perikon::suite
