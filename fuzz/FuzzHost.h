#pragma once

namespace perikon::fuzz {

// Registers a host for the component's text lookups that needs no files and no windows: every
// resource text is its key, every format its key and arguments, and a message box answers OK.
void registerFuzzHost();

} // namespace perikon::fuzz
