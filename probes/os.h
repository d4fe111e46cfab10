// Operating system row.
#pragma once

#include <string>

namespace orva {

// Windows 11 still stores "Windows 10" as its product name; its build number
// (22000 and up) tells it apart. Any other name is returned unchanged.
std::wstring ApplyWindows11Name(std::wstring productName, const std::wstring& buildNumber);

// Windows only: the product name from the registry's 64-bit view. Throws when
// it cannot be read.
std::wstring ProbeOs();

}  // namespace orva
