#include "win32/registry.h"

#include <algorithm>
#include <cstring>

namespace orva {

namespace {

// One read answers for values of ordinary length; a longer one says how much
// room it needs.
constexpr DWORD kFirstReadBytes = 512;
constexpr DWORD kMaxKeyNameChars = 256;  // 255 and the NUL

// A value of exactly the type and size of T.
template <typename T>
std::optional<T> ReadRegistryNumber(HKEY key, const wchar_t* name, DWORD type) {
    const auto value = ReadRegistryValue(key, name, sizeof(T));
    if (!value || value->type != type || value->bytes.size() != sizeof(T)) {
        return std::nullopt;
    }
    T number = 0;
    std::memcpy(&number, value->bytes.data(), sizeof number);
    return number;
}

}  // namespace

UniqueRegKey OpenRegistryKey(HKEY parent, const wchar_t* path, REGSAM access) {
    UniqueRegKey key;
    if (RegOpenKeyExW(parent, path, 0, access, key.put()) != ERROR_SUCCESS) {
        key.release();  // nothing was opened: whatever the slot holds is not ours
    }
    return key;
}

std::optional<RegistryData> ReadRegistryValue(HKEY key, const wchar_t* name, DWORD limitBytes) {
    if (key == nullptr) {
        return std::nullopt;
    }
    RegistryData value;
    value.bytes.resize(std::min(limitBytes, kFirstReadBytes));
    for (int attempt = 0; attempt < 3; ++attempt) {  // the value may grow between the calls
        DWORD delivered = static_cast<DWORD>(value.bytes.size());
        const LONG status =
            RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &delivered);
        if (status == ERROR_MORE_DATA && delivered <= limitBytes) {
            value.bytes.resize(delivered);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        value.bytes.resize(std::min<std::size_t>(delivered, value.bytes.size()));
        return value;
    }
    return std::nullopt;
}

std::wstring RegistryText(const RegistryData& value) {
    std::wstring text(value.bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value.bytes.data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::optional<std::wstring> ReadRegistryText(HKEY key, const wchar_t* name) {
    const auto value = ReadRegistryValue(key, name, kRegistryBufferChars * sizeof(wchar_t));
    if (!value) {
        return std::nullopt;
    }
    return RegistryText(*value);
}

std::optional<unsigned long long> ReadRegistryQword(HKEY key, const wchar_t* name) {
    return ReadRegistryNumber<ULONGLONG>(key, name, REG_QWORD);
}

std::optional<DWORD> ReadRegistryDword(HKEY key, const wchar_t* name) {
    return ReadRegistryNumber<DWORD>(key, name, REG_DWORD);
}

bool FindRegistrySubkey(HKEY key, const std::function<bool(const std::wstring& name)>& visit) {
    for (DWORD index = 0; key != nullptr; ++index) {
        wchar_t name[kMaxKeyNameChars] = {};
        DWORD length = kMaxKeyNameChars;
        const LONG status =
            RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return false;  // ERROR_NO_MORE_ITEMS, or an enumeration that cannot go on
        }
        if (visit(std::wstring(name, length))) {
            return true;
        }
    }
    return false;
}

std::optional<DWORD> RegistrySubkeyCount(HKEY key) {
    DWORD subkeys = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return subkeys;
}

}  // namespace orva
