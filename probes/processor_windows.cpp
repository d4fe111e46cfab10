#include "probes/processor.h"

#include <windows.h>

#include <stdexcept>

#include "win32/registry.h"

namespace orva {

namespace {

// The system makes one CentralProcessor subkey for every logical processor at
// each start, of every processor group, and a 32-bit process reads the same
// key: the calls that count processors show it a machine of at most 32 per
// group, as WOW64 does. Where the key cannot tell, the active count it is.
unsigned long LogicalProcessorCount() {
    const UniqueRegKey processors = OpenRegistryKey(
        HKEY_LOCAL_MACHINE, L"Hardware\\Description\\System\\CentralProcessor", KEY_QUERY_VALUE);
    const std::optional<DWORD> subkeys =
        processors ? RegistrySubkeyCount(processors.get()) : std::nullopt;
    if (subkeys && *subkeys > 0) {
        return *subkeys;
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
    std::optional<std::wstring> name;
    {
        const UniqueRegKey key =
            OpenRegistryKey(HKEY_LOCAL_MACHINE,
                            L"Hardware\\Description\\System\\CentralProcessor\\0", KEY_QUERY_VALUE);
        name = ReadRegistryText(key.get(), L"ProcessorNameString");
    }
    if (!name) {
        throw std::runtime_error("ProcessorNameString cannot be read");
    }
    return FormatProcessorRow(*name, LogicalProcessorCount());
}

}  // namespace orva
