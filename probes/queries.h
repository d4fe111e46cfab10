// The three queries that rows read a list from: what the system's tool is
// asked, the key that any useful list holds, and where WMI itself keeps the
// same records.
#pragma once

#include <string>

namespace orva {

struct ListQuery {
    const char* arguments;  // the tool's command line after its name
    const char* key;        // a key that any useful list of this query holds
    const char* wmiClass;
    const char* properties;  // comma-separated, spelled as the list keys are
    const char* condition;   // WQL condition, empty for every instance
};

inline constexpr ListQuery kDiskQuery = {
    "diskdrive where (index='0' or index='1') GET MODEL, SIZE /format:list",
    "Model=", "Win32_DiskDrive", "Model,Size", "Index=0 OR Index=1"};
inline constexpr ListQuery kMemoryQuery = {"memorychip get SMBIOSMemoryType /format:list",
                                           "SMBIOSMemoryType=", "Win32_PhysicalMemory",
                                           "SMBIOSMemoryType", ""};
inline constexpr ListQuery kVideoQuery = {
    "path win32_VideoController get name,AdapterRAM,PNPDeviceID /format:list",
    "Name=", "Win32_VideoController", "AdapterRAM,Name,PNPDeviceID", ""};

// Whether a list can serve the query: it holds the query's key. Output
// without it (no tool, Wine's tool, which writes UTF-16 and no list, or
// "Invalid query" where a property is unknown) serves no row.
bool HoldsQueryKey(const std::string& list, const ListQuery& query);

}  // namespace orva
