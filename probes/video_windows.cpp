#include "probes/video.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "probes/command_runner.h"
#include "probes/registry.h"
#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

namespace {

constexpr const wchar_t* kDisplayClassKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}";
constexpr DWORD kMaxKeyNameChars = 256;  // 255 and the NUL
constexpr std::size_t kFirstReadChars = 256;

// Adapters live in 0000, 0001, ...; the class key holds other subkeys too.
bool IsNumbered(const wchar_t* name, DWORD length) {
    return length > 0 &&
           std::all_of(name, name + length, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

UniqueRegKey OpenSubKey(HKEY parent, const wchar_t* name) {
    UniqueRegKey key;
    if (RegOpenKeyExW(parent, name, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        key.release();  // nothing was opened: whatever the slot holds is not ours
    }
    return key;
}

// A text value of any length, up to its first NUL within the delivered bytes.
// One read answers for names of ordinary length; a longer value says how much
// room it needs.
std::optional<std::wstring> ReadText(HKEY key, const wchar_t* name) {
    std::vector<wchar_t> buffer(kFirstReadChars);
    for (int attempt = 0; attempt < 3; ++attempt) {  // the value may grow between the calls
        DWORD type = 0;
        DWORD delivered = static_cast<DWORD>(buffer.size()) * sizeof(wchar_t);
        const LONG status = RegQueryValueExW(key, name, nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &delivered);
        if (status == ERROR_MORE_DATA && type == REG_SZ) {
            buffer.resize(delivered / sizeof(wchar_t) + 1);
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            return std::nullopt;
        }
        const wchar_t* const begin = buffer.data();
        const wchar_t* const end =
            begin + std::min<std::size_t>(delivered / sizeof(wchar_t), buffer.size());
        return std::wstring(begin, std::find(begin, end, L'\0'));
    }
    return std::nullopt;
}

std::optional<unsigned long long> ReadQword(HKEY key, const wchar_t* name) {
    ULONGLONG value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_QWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<unsigned long long> AdapterMemoryFromClassKey(const std::wstring& adapterName) {
    const UniqueRegKey classKey =
        OpenMachineKey(kDisplayClassKey, KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY);
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
        const UniqueRegKey adapter = OpenSubKey(classKey.get(), name);
        if (!adapter || ReadText(adapter.get(), L"DriverDesc") != adapterName) {
            continue;
        }
        if (const auto memory = ReadQword(adapter.get(), L"HardwareInformation.qwMemorySize")) {
            return memory;
        }
    }
    return std::nullopt;
}

std::string ProbeVideo(const ListText& list) {
    // The driver's record names the adapter as the decoded name does.
    const std::string row = FormatVideoRow(
        list.bytes,
        [&](const std::string& name) {
            return AdapterMemoryFromClassKey(ToWide(name, list.codePage));
        },
        TraceToStandardOutput);
    return ToUtf8(row, list.codePage);
}

}  // namespace orva
