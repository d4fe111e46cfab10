#include "probes/processor.h"

#include <windows.h>

#include "probes/failure_texts.h"
#include "probes/registry.h"

namespace orva {

namespace {

// A 32-bit process sees at most 32 processors through GetSystemInfo and only
// its own processor group; the active count covers every group.
unsigned long LogicalProcessorCount() {
    const DWORD count = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    if (count != 0) {
        return count;
    }
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

}  // namespace

std::wstring ProbeProcessor() {
    std::wstring name;
    {
        const UniqueRegKey key =
            OpenMachineKey(L"Hardware\\Description\\System\\CentralProcessor\\0", KEY_QUERY_VALUE);
        if (!key || QueryRegistryText(key.get(), L"ProcessorNameString", name) != ERROR_SUCCESS) {
            return kProcessorFailureText;
        }
    }
    return FormatProcessorRow(name, LogicalProcessorCount());
}

}  // namespace orva
