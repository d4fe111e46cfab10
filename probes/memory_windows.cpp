#include "probes/memory.h"

#include <windows.h>

#include <iostream>
#include <stdexcept>

#include "probes/wmic.h"

namespace orva {

std::string ProbeMemory() {
    const std::string typeText = MemoryTypeText(RunWmicQuery(kMemoryQuery), std::cout);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) {
        throw std::runtime_error("GlobalMemoryStatusEx failed");
    }
    return FormatMemoryRow(status.ullTotalPhys, typeText);
}

}  // namespace orva
