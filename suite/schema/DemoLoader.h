#pragma once

#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/DemoRowSink.h"

#include <cstdint>

namespace perikon::suite::internal {

// Generates the demo archive for a seed and hands its rows to a sink: departments, employees,
// customers, their contacts with extension rows, and opportunities. Row versions count on from
// `firstVersion`; `lastVersion` receives the last one given.
DemoDataSummary loadDemoRows(DemoRowSink &sink, std::uint64_t seed, int contactCount,
                             long long firstVersion, long long &lastVersion);

} // namespace perikon::suite::internal
