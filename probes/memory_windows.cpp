#include "probes/memory.h"

#include <windows.h>

#include <optional>
#include <stdexcept>

#include "probes/lists.h"
#include "probes/text.h"
#include "win32/firmware.h"

namespace orva {

std::wstring ProbeMemory(const ListText& list) {
    // The type texts are ASCII, in every code page.
    const std::string typeText = MemoryTypeText(
        list.bytes, TraceToStandardOutput, [] { return ReadFirmwareTable(kRawSmbiosProvider, 0); });
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) {
        throw std::runtime_error("GlobalMemoryStatusEx failed");
    }
    // The size in the firmware's memory table; Windows 7 and later have the call.
    ULONGLONG installed = 0;
    const std::optional<unsigned long long> installedKibibytes =
        GetPhysicallyInstalledSystemMemory(&installed) && installed != 0
            ? std::optional<unsigned long long>(installed)
            : std::nullopt;
    return DecodeList(FormatMemoryRow(status.ullTotalPhys, installedKibibytes, typeText),
                      list.encoding);
}

}  // namespace orva
