// Memory row.
#pragma once

#include <optional>
#include <string>

#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

// The type text of the first module in the memory query's list text: its
// SMBIOS memory type code matched as exact two-character text, or empty.
// Writes the code text twice to trace, before and after its CRs are removed.
std::string MemoryTypeText(const std::string& toolOutput, const TraceSink& trace);

// The usable memory as "%lld MB", "  (", the installed memory in whole units
// of 2^30 bytes as "%lldGB", ")", then the type text. Without an installed
// figure, the usable megabytes are divided by 1024 instead; both are rounded
// to the nearest whole number.
std::string FormatMemoryRow(unsigned long long totalPhys,
                            std::optional<unsigned long long> installedKibibytes,
                            const std::string& typeText);

// Windows only: the row from the memory query's list text, the memory status
// and the firmware's memory table. Throws when the status cannot be had.
std::wstring ProbeMemory(const ListText& list);

}  // namespace orva
