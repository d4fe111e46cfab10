// The system folder, where the program finds the system's own tool and libraries.
#pragma once

#include <string>

namespace orva {

// The system folder ("C:\Windows\system32"), empty if it cannot be had.
std::wstring SystemDirectory();

}  // namespace orva
