#include "probes/processor.h"

#include <windows.h>

#include "probes/failure_texts.h"
#include "probes/registry.h"

namespace orva {

namespace {

// The system makes one CentralProcessor subkey for every logical processor at
// each start, of every processor group, and a 32-bit process reads the same
// key: the calls that count processors show it a machine of at most 32 per
// group, as WOW64 does. Where the key cannot tell, the active count it is.
unsigned long LogicalProcessorCount() {
    const UniqueRegKey processors =
        OpenMachineKey(L"Hardware\\Description\\System\\CentralProcessor", KEY_QUERY_VALUE);
    DWORD subkeys = 0;
    if (processors &&
        RegQueryInfoKeyW(processors.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys > 0) {
        return subkeys;
    }
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
