// The firmware tables the system hands out.
#pragma once

#include <windows.h>

#include <string>

namespace orva {

// GetSystemFirmwareTable's provider of the SMBIOS structures ('RSMB').
constexpr DWORD kRawSmbiosProvider = 0x52534D42;

// The provider's table with the given ID, as the system delivers it; empty
// when it has none.
std::string ReadFirmwareTable(DWORD provider, DWORD id);

}  // namespace orva
