// Memory row.
#pragma once

#include <string>

#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

// The type text of the first module in the memory query's list text: its
// SMBIOS memory type code matched as exact two-character text, or empty.
// Writes the code text twice to trace, before and after its CRs are removed.
std::string MemoryTypeText(const std::string& toolOutput, const TraceSink& trace);

// "%lld MB", "  (", the megabytes divided by a decimal thousand as "%lldGB",
// ")", then the type text.
std::string FormatMemoryRow(unsigned long long totalPhys, const std::string& typeText);

// Windows only: the row from the memory query's list text and the memory
// status. Throws when the status cannot be had.
std::wstring ProbeMemory(const ListText& list);

}  // namespace orva
