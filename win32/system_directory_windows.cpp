#include "win32/system_directory.h"

#include <windows.h>

namespace orva {

std::wstring SystemDirectory() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    return std::wstring(folder, length);
}

}  // namespace orva
