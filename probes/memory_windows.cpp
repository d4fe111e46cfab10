#include "probes/memory.h"

#include <windows.h>

#include <stdexcept>

#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

std::string ProbeMemory(const ListText& list) {
    // The type texts are ASCII, in every code page.
    const std::string typeText = MemoryTypeText(list.bytes, TraceToStandardOutput);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) {
        throw std::runtime_error("GlobalMemoryStatusEx failed");
    }
    return FormatMemoryRow(status.ullTotalPhys, typeText);
}

}  // namespace orva
