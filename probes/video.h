// Video adapter row.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

// The adapter memory in bytes that the driver stored for the adapter of this
// name, if any.
using AdapterMemoryLookup = std::function<std::optional<unsigned long long>(const std::string&)>;

// The adapter's name, then " (%lld MB)" with its memory in units of 2^20
// bytes. The adapter is the first whose PNPDeviceID does not begin with
// "ROOT\" or "SWD\" (a virtual display, the remote desktop's adapter), or
// else the first. The memory comes from lookup when it knows the name,
// otherwise from the number after "AdapterRAM=" before the adapter's "Name=";
// where that holds no value the row is the name alone. Writes the name and
// the memory piece to trace, each before its CRs are removed. Throws
// std::invalid_argument or std::out_of_range when AdapterRAM is needed and
// holds no number in range, or holds nothing and there is no name.
std::string FormatVideoRow(const std::string& toolOutput, const AdapterMemoryLookup& lookup,
                           const TraceSink& trace);

// Windows only: "HardwareInformation.qwMemorySize" of the first numbered
// subkey of the display adapter class whose "DriverDesc" is adapterName.
std::optional<unsigned long long> AdapterMemoryFromClassKey(const std::wstring& adapterName);

// Windows only: the row from the video query's list text.
std::wstring ProbeVideo(const ListText& list);

}  // namespace orva
