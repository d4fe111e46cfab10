#include "probes/memory.h"

#include <windows.h>

#include <stdexcept>

#include "probes/text.h"
#include "probes/wmic.h"
#include "win32/text_conversion.h"

namespace orva {

std::wstring ProbeMemory(const ListText& list) {
    // The type texts are ASCII, in every code page.
    const std::string typeText = MemoryTypeText(list.bytes, TraceToStandardOutput);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) {
        throw std::runtime_error("GlobalMemoryStatusEx failed");
    }
    return ToWide(FormatMemoryRow(status.ullTotalPhys, typeText), list.codePage);
}

}  // namespace orva
