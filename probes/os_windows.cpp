#include "probes/os.h"

#include <stdexcept>

#include "win32/registry.h"

namespace orva {

std::wstring ProbeOs() {
    const UniqueRegKey key =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\",
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY);
    const std::optional<std::wstring> productName = ReadRegistryText(key.get(), L"ProductName");
    if (!productName) {
        throw std::runtime_error("ProductName cannot be read");
    }
    return ApplyWindows11Name(*productName,
                              ReadRegistryText(key.get(), L"CurrentBuildNumber").value_or(L""));
}

}  // namespace orva
