#include "probes/board.h"

#include "win32/registry.h"

namespace orva {

namespace {

// The key is opened anew for each value and closed right after its read.
std::optional<std::wstring> ReadBiosValue(const wchar_t* name) {
    const UniqueRegKey key =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\BIOS\\",
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY);
    return ReadRegistryText(key.get(), name);
}

}  // namespace

std::wstring ProbeBoard() {
    const std::optional<std::wstring> manufacturer = ReadBiosValue(L"BaseBoardManufacturer");
    const std::optional<std::wstring> product = ReadBiosValue(L"BaseBoardProduct");
    const std::optional<std::wstring> version = ReadBiosValue(L"BIOSVersion");
    return FormatBoardRow(manufacturer, product, version, [] {
        return SystemNames{ReadBiosValue(L"SystemManufacturer"),
                           ReadBiosValue(L"SystemProductName")};
    });
}

}  // namespace orva
