// Memory row.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "probes/text.h"
#include "probes/lists.h"

namespace orva {

// The firmware's SMBIOS table as GetSystemFirmwareTable('RSMB') gives it.
using SmbiosTableReader = std::function<std::string()>;

// The type text of the first module in the memory query's list text: its
// SMBIOS memory type code matched as exact two-character text, or empty.
// Where the text holds no "SMBIOSMemoryType=" at all (Windows before 10 has
// no such property), the firmware's table read with readSmbios names it.
// Writes the list's code text twice to trace, before and after its CRs are
// removed.
std::string MemoryTypeText(const std::string& toolOutput, const TraceSink& trace,
                           const SmbiosTableReader& readSmbios = nullptr);

// The type text of the first installed memory device (type 17, Size not 0)
// in a RawSMBIOSData block: its 8-byte header, whose Length counts the
// structures that follow. Empty where there is none, where that device is
// too short to hold its type, or where the table is damaged before it.
std::string SmbiosMemoryTypeText(std::string_view rawSmbiosData);

// The usable memory as "%lld MB", "  (", the installed memory in whole units
// of 2^30 bytes as "%lldGB", ")", then the type text. Without an installed
// figure, the usable megabytes are divided by 1024 instead; both are rounded
// to the nearest whole number.
std::string FormatMemoryRow(unsigned long long totalPhys,
                            std::optional<unsigned long long> installedKibibytes,
                            const std::string& typeText);

// Windows only: the row from the memory query's list text, the memory status
// and the firmware's memory table, and where the list has no type key, its
// SMBIOS table. Throws when the status cannot be had.
std::wstring ProbeMemory(const ListText& list);

}  // namespace orva
