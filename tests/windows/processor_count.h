// The machine's logical processors, as the tests expect the processor row to
// count them.
#pragma once

#include <windows.h>

namespace orva {

// Under Wine GetSystemInfo counts every processor for a 32-bit process too
// (up to 64), where the processor group calls stop at 32 as on Windows.
inline unsigned long LogicalProcessors() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

}  // namespace orva
