// The memory row's two figures for this machine, as the tests expect them.
#pragma once

#include <windows.h>

#include <string>

namespace orva {

// The usable megabytes, then the installed memory in whole gigabytes (2^30
// bytes), rounded; where the firmware's table cannot tell, the usable memory.
inline std::wstring MemorySizes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    const unsigned long long megabytes = status.ullTotalPhys >> 20;
    ULONGLONG installed = 0;
    const unsigned long long gigabytes = GetPhysicallyInstalledSystemMemory(&installed) && installed
                                             ? (installed + 512 * 1024) / (1024 * 1024)
                                             : (megabytes + 512) / 1024;
    return std::to_wstring(megabytes) + L" MB  (" + std::to_wstring(gigabytes) + L"GB)";
}

}  // namespace orva
