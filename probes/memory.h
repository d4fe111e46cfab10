// Memory row.
#pragma once

#include <string>

#include "probes/text.h"

namespace orva {

// The type text of the first module in the memory query's list text: its
// SMBIOS memory type code matched as exact two-character text, or empty.
// Writes the code text twice to trace, before and after its CRs are removed.
std::string MemoryTypeText(const std::string& toolOutput, const TraceSink& trace);

// "%lld MB", "  (", the megabytes divided by a decimal thousand as "%lldGB",
// ")", then the type text.
std::string FormatMemoryRow(unsigned long long totalPhys, const std::string& typeText);

// Windows only: runs the memory query, then asks for the memory status.
// Throws when either fails.
std::string ProbeMemory();

}  // namespace orva
