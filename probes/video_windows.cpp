#include "probes/video.h"

#include <windows.h>

#include <algorithm>

#include "probes/text.h"
#include "probes/wmic.h"
#include "win32/registry.h"
#include "win32/text_conversion.h"

namespace orva {

namespace {

constexpr const wchar_t* kDisplayClassKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}";
constexpr DWORD kMaxKeyNameChars = 256;  // 255 and the NUL
constexpr DWORD kAnyLength = 0xFFFFFFFF;

// Adapters live in 0000, 0001, ...; the class key holds other subkeys too.
bool IsNumbered(const wchar_t* name, DWORD length) {
    return length > 0 &&
           std::all_of(name, name + length, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

}  // namespace

std::optional<unsigned long long> AdapterMemoryFromClassKey(const std::wstring& adapterName) {
    const UniqueRegKey classKey = OpenRegistryKey(HKEY_LOCAL_MACHINE, kDisplayClassKey,
                                                  KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY);
    if (!classKey) {
        return std::nullopt;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[kMaxKeyNameChars] = {};
        DWORD length = kMaxKeyNameChars;
        const LONG status =
            RegEnumKeyExW(classKey.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            break;  // ERROR_NO_MORE_ITEMS, or an enumeration that cannot go on
        }
        if (!IsNumbered(name, length)) {
            continue;
        }
        // A subkey that cannot be opened is skipped like one of another adapter.
        const UniqueRegKey adapter =
            OpenRegistryKey(classKey.get(), name, KEY_QUERY_VALUE | KEY_WOW64_64KEY);
        const auto description = ReadRegistryValue(adapter.get(), L"DriverDesc", kAnyLength);
        if (!description || description->type != REG_SZ ||
            RegistryText(*description) != adapterName) {
            continue;
        }
        if (const auto memory =
                ReadRegistryQword(adapter.get(), L"HardwareInformation.qwMemorySize")) {
            return memory;
        }
    }
    return std::nullopt;
}

std::wstring ProbeVideo(const ListText& list) {
    // The driver's record names the adapter as the decoded name does.
    const std::string row = FormatVideoRow(
        list.bytes,
        [&](const std::string& name) {
            return AdapterMemoryFromClassKey(ToWide(name, list.codePage));
        },
        TraceToStandardOutput);
    return ToWide(row, list.codePage);
}

}  // namespace orva
