// Registry reads: a key opened in the view asked for, and a value's type and
// bytes, which the readers below take as text or a number.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win32/handles.h"

namespace orva {

// The rows' text values are read into a buffer of 100 characters: a longer
// value is not read at all.
constexpr DWORD kRegistryBufferChars = 100;

// Opens path under parent (HKEY_LOCAL_MACHINE, or a key already open); with
// KEY_WOW64_64KEY in access, in the 64-bit view. Empty on failure.
UniqueRegKey OpenRegistryKey(HKEY parent, const wchar_t* path, REGSAM access);

struct RegistryData {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;  // as delivered
};

// The value's type and bytes; nothing when it cannot be read or holds more
// than limitBytes.
std::optional<RegistryData> ReadRegistryValue(HKEY key, const wchar_t* name, DWORD limitBytes);

// The value's characters up to its first NUL within the delivered bytes,
// whatever its type: a value stored without its NUL ends with its bytes.
std::wstring RegistryText(const RegistryData& value);

// A text value of any type as the rows read it: at most 100 characters with its NUL.
std::optional<std::wstring> ReadRegistryText(HKEY key, const wchar_t* name);

// A REG_QWORD value; nothing for any other type or size.
std::optional<unsigned long long> ReadRegistryQword(HKEY key, const wchar_t* name);

// A REG_DWORD value; nothing for any other type or size.
std::optional<DWORD> ReadRegistryDword(HKEY key, const wchar_t* name);

// Hands visit each subkey's name in turn until it answers true, and says
// whether one did. A name too long for a key name is passed over.
bool FindRegistrySubkey(HKEY key, const std::function<bool(const std::wstring& name)>& visit);

// The number of subkeys; nothing when it cannot be had.
std::optional<DWORD> RegistrySubkeyCount(HKEY key);

}  // namespace orva
