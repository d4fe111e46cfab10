#include "probes/video.h"

#include <windows.h>

#include <algorithm>

#include "probes/lists.h"
#include "probes/text.h"
#include "win32/registry.h"

namespace orva {

namespace {

constexpr const wchar_t* kClassKey = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr const wchar_t* kDisplayClass = L"{4d36e968-e325-11ce-bfc1-08002be10318}";
constexpr const wchar_t* kEnumKey = L"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const wchar_t* kDirectXKey = L"SOFTWARE\\Microsoft\\DirectX";
constexpr const wchar_t* kMemorySize = L"HardwareInformation.qwMemorySize";
constexpr DWORD kAnyLength = 0xFFFFFFFF;
constexpr REGSAM kRead = KEY_QUERY_VALUE | KEY_WOW64_64KEY;

// Adapters live in 0000, 0001, ...; the class key holds other subkeys too.
bool IsNumbered(const std::wstring& name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// A REG_SZ value of any length equal to text.
bool HoldsText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const auto value = ReadRegistryValue(key, name, kAnyLength);
    return value && value->type == REG_SZ && RegistryText(*value) == text;
}

// The display class subkey that the device's Enum key names as its driver
// ("{4d36e968-...}\0001"); nothing where the device has no such value.
std::optional<UniqueRegKey> OwnDriverKey(const std::wstring& deviceId) {
    if (deviceId.empty()) {
        return std::nullopt;
    }
    const UniqueRegKey device =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, (kEnumKey + deviceId).c_str(), kRead);
    const std::optional<std::wstring> driver = ReadRegistryText(device.get(), L"Driver");
    if (!driver || driver->empty()) {
        return std::nullopt;
    }
    return OpenRegistryKey(HKEY_LOCAL_MACHINE, (kClassKey + *driver).c_str(), kRead);
}

// What the display class key keeps of an adapter: whether it has a subkey
// there, and that subkey's size.
struct DriverRecord {
    bool found = false;
    std::optional<unsigned long long> memory;
};

// The first numbered subkey whose DriverDesc is the name and that holds a size.
DriverRecord RecordOfNamedAdapter(const std::wstring& adapterName) {
    const UniqueRegKey classKey =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, (std::wstring(kClassKey) + kDisplayClass).c_str(),
                        KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY);
    DriverRecord record;
    FindRegistrySubkey(classKey.get(), [&](const std::wstring& name) {
        if (!IsNumbered(name)) {
            return false;
        }
        // A subkey that cannot be opened is skipped like one of another adapter.
        const UniqueRegKey adapter = OpenRegistryKey(classKey.get(), name.c_str(), kRead);
        if (!HoldsText(adapter.get(), L"DriverDesc", adapterName)) {
            return false;
        }
        record.found = true;
        record.memory = ReadRegistryQword(adapter.get(), kMemorySize);
        return record.memory.has_value();
    });
    return record;
}

DriverRecord RecordOf(const std::wstring& adapterName, const std::wstring& deviceId) {
    // The class key keeps the subkeys of removed cards with their old names:
    // only the device's own driver key is surely its own.
    if (const std::optional<UniqueRegKey> own = OwnDriverKey(deviceId)) {
        return {static_cast<bool>(*own), ReadRegistryQword(own->get(), kMemorySize)};
    }
    return RecordOfNamedAdapter(adapterName);
}

}  // namespace

std::optional<unsigned long long> AdapterMemoryFromClassKey(const std::wstring& adapterName,
                                                            const std::wstring& deviceId) {
    return RecordOf(adapterName, deviceId).memory;
}

std::optional<unsigned long long> DedicatedMemoryFromDirectX(const std::wstring& adapterName,
                                                             std::optional<unsigned> vendorId) {
    const UniqueRegKey directX =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, kDirectXKey, kRead | KEY_ENUMERATE_SUB_KEYS);
    // Every adapter the PC has seen keeps a subkey; those present at the last
    // start carry the LastSeen of the key itself (some PCs have none there).
    // Read once a subkey needs it: most PCs' adapters have no such record.
    std::optional<std::optional<unsigned long long>> lastStart;
    std::optional<unsigned long long> memory;
    FindRegistrySubkey(directX.get(), [&](const std::wstring& name) {
        const UniqueRegKey adapter = OpenRegistryKey(directX.get(), name.c_str(), kRead);
        if (!HoldsText(adapter.get(), L"Description", adapterName)) {
            return false;
        }
        const std::optional<DWORD> vendor = ReadRegistryDword(adapter.get(), L"VendorId");
        if ((vendorId && vendor && *vendor != *vendorId) ||
            ReadRegistryDword(adapter.get(), L"SoftwareAdapter").value_or(0) != 0) {
            return false;
        }
        if (!lastStart) {
            lastStart = ReadRegistryQword(directX.get(), L"LastSeen");
        }
        if (*lastStart && ReadRegistryQword(adapter.get(), L"LastSeen") != *lastStart) {
            return false;
        }
        memory = ReadRegistryQword(adapter.get(), L"DedicatedVideoMemory");
        return memory.has_value();
    });
    return memory;
}

StoredAdapterMemory StoredMemoryOf(const std::wstring& adapterName, const std::string& deviceId) {
    std::wstring id;  // device IDs are ASCII
    for (const char c : deviceId) {
        id += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    const DriverRecord record = RecordOf(adapterName, id);
    StoredAdapterMemory stored{record.memory, std::nullopt};
    // Only a driver that keeps no 64-bit figure sends the reader to DirectX:
    // an adapter the class key does not know has no driver to speak of.
    if (record.found && !record.memory) {
        stored.dedicated = DedicatedMemoryFromDirectX(adapterName, VendorIdOf(deviceId));
    }
    return stored;
}

std::wstring ProbeVideo(const ListText& list) {
    // The driver's records name the adapter as the decoded name does.
    const std::string row = FormatVideoRow(
        list.bytes,
        [&](const std::string& name, const std::string& deviceId) {
            return StoredMemoryOf(DecodeList(name, list.encoding), deviceId);
        },
        TraceToStandardOutput);
    return DecodeList(row, list.encoding);
}

}  // namespace orva
