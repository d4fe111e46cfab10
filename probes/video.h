// Video adapter row.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "probes/text.h"
#include "probes/lists.h"

namespace orva {

// What the registry keeps of one adapter's memory, in bytes.
struct StoredAdapterMemory {
    // HardwareInformation.qwMemorySize of its display class subkey.
    std::optional<unsigned long long> driver;
    // DirectX's DedicatedVideoMemory for it; asked for only without the first.
    std::optional<unsigned long long> dedicated;
};

// The stored memory of the adapter of this name and device ID (empty when
// its record has none).
using AdapterMemoryLookup =
    std::function<StoredAdapterMemory(const std::string& name, const std::string& deviceId)>;

// The adapter's name, then " (%lld MB)" with its memory in units of 2^20
// bytes. Of the adapters whose PNPDeviceID does not begin with "ROOT\" or
// "SWD\" (a virtual display, the remote desktop's adapter) the one with the
// largest figure is named, the first of equals; where every adapter is one
// of those, or no record holds a PNPDeviceID, the first. The figure is the
// driver's stored one, else DirectX's where that is larger than the number
// after "AdapterRAM=" in the adapter's record, else that number; a figure of
// 0 bytes counts as none, and where none holds one the row is the name alone. Writes the named
// adapter's name and memory piece to trace, each before its CRs are removed. Throws
// std::invalid_argument or std::out_of_range when AdapterRAM is needed and
// holds no number in range, or holds nothing and there is no name.
std::string FormatVideoRow(const std::string& toolOutput, const AdapterMemoryLookup& lookup,
                           const TraceSink& trace);

// The device ID as the device has it: the tool's list format writes "&" as "&amp;".
std::string DecodeDeviceId(const std::string& listed);

// The PCI vendor after "VEN_" in a device ID, if it has one.
std::optional<unsigned> VendorIdOf(const std::string& deviceId);

// Windows only: "HardwareInformation.qwMemorySize" of the adapter's own
// display class subkey, which its device's Enum key names as its Driver; for
// an adapter without an ID or without that value, of the first numbered
// subkey whose "DriverDesc" is adapterName.
std::optional<unsigned long long> AdapterMemoryFromClassKey(const std::wstring& adapterName,
                                                            const std::wstring& deviceId);

// Windows only: DedicatedVideoMemory of the DirectX adapter key that has
// this description and vendor, is no software adapter and was seen at the
// last start (its LastSeen is the DirectX key's own, where that has one).
std::optional<unsigned long long> DedicatedMemoryFromDirectX(const std::wstring& adapterName,
                                                             std::optional<unsigned> vendorId);

// Windows only: both, the second only where the adapter has a display class
// subkey that holds no figure.
StoredAdapterMemory StoredMemoryOf(const std::wstring& adapterName, const std::string& deviceId);

// Windows only: the row from the video query's list text.
std::wstring ProbeVideo(const ListText& list);

}  // namespace orva
