// Registry reads in the program's one way: a 100-character buffer read with
// its whole size, the text taken up to its first NUL within what was delivered.
#pragma once

#include <windows.h>

#include <string>

#include "probes/win32_handles.h"

namespace orva {

constexpr DWORD kRegistryBufferChars = 100;

// Opens a key under HKEY_LOCAL_MACHINE; empty on failure.
UniqueRegKey OpenMachineKey(const wchar_t* path, REGSAM access);

// Reads one value as text. On any failure returns the error and leaves text empty.
LONG QueryRegistryText(HKEY key, const wchar_t* name, std::wstring& text);

}  // namespace orva
