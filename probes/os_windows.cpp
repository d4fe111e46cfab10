#include "probes/os.h"

#include "probes/failure_texts.h"
#include "probes/registry.h"

namespace orva {

std::wstring ProbeOs() {
    const UniqueRegKey key = OpenMachineKey(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\",
                                            KEY_QUERY_VALUE | KEY_WOW64_64KEY);
    std::wstring productName;
    if (!key || QueryRegistryText(key.get(), L"ProductName", productName) != ERROR_SUCCESS) {
        return kOsFailureText;
    }
    std::wstring buildNumber;
    QueryRegistryText(key.get(), L"CurrentBuildNumber", buildNumber);
    return ApplyWindows11Name(productName, buildNumber);
}

}  // namespace orva
