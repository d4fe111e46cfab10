#include "probes/os.h"

#include "probes/failure_texts.h"
#include "win32/registry.h"

namespace orva {

std::wstring ProbeOs() {
    const UniqueRegKey key =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\",
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY);
    const std::optional<std::wstring> productName = ReadRegistryText(key.get(), L"ProductName");
    if (!productName) {
        return kOsFailureText;
    }
    return ApplyWindows11Name(*productName,
                              ReadRegistryText(key.get(), L"CurrentBuildNumber").value_or(L""));
}

}  // namespace orva
