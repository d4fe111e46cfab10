#include "probes/board.h"

#include "win32/registry.h"

namespace orva {

namespace {

UniqueRegKey OpenBiosKey() {
    return OpenRegistryKey(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\BIOS\\",
                           KEY_QUERY_VALUE | KEY_WOW64_64KEY);
}

// The key is opened anew for each value and closed right after its read.
std::optional<std::wstring> ReadBiosValue(const wchar_t* name) {
    const UniqueRegKey key = OpenBiosKey();
    return ReadRegistryText(key.get(), name);
}

}  // namespace

std::wstring ProbeBoard() {
    const std::optional<std::wstring> manufacturer = ReadBiosValue(L"BaseBoardManufacturer");
    const std::optional<std::wstring> product = ReadBiosValue(L"BaseBoardProduct");
    const std::optional<std::wstring> version = ReadBiosValue(L"BIOSVersion");
    return FormatBoardRow(manufacturer, product, version, [] {
        // One opening for both: a PC without a base board record pays for
        // the two reads alone.
        const UniqueRegKey key = OpenBiosKey();
        return SystemNames{ReadRegistryText(key.get(), L"SystemManufacturer"),
                           ReadRegistryText(key.get(), L"SystemProductName")};
    });
}

}  // namespace orva
