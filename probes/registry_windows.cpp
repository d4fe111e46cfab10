#include "probes/registry.h"

#include <algorithm>

namespace orva {

UniqueRegKey OpenMachineKey(const wchar_t* path, REGSAM access) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, key.put()) != ERROR_SUCCESS) {
        key.release();  // nothing was opened: whatever the slot holds is not ours
    }
    return key;
}

LONG QueryRegistryText(HKEY key, const wchar_t* name, std::wstring& text) {
    text.clear();
    if (key == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    wchar_t buffer[kRegistryBufferChars] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer;
    const LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    // A value stored without its NUL ends where the delivered bytes end.
    const wchar_t* const begin = buffer;
    const wchar_t* const end =
        begin + std::min<DWORD>(size / sizeof(wchar_t), kRegistryBufferChars);
    text.assign(begin, std::find(begin, end, L'\0'));
    return status;
}

}  // namespace orva
