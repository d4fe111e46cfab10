// The three queries of the WMI command-line tool, and where their list text comes from.
#pragma once

#include <string>

namespace orva {

struct WmicQuery {
    const char* arguments;  // the command line after the tool's name
    const char* key;        // a key that any useful output of this query holds
};

inline constexpr WmicQuery kDiskQuery = {
    "diskdrive where (index='0' or index='1') GET MODEL, SIZE /format:list", "Model="};
inline constexpr WmicQuery kMemoryQuery = {"memorychip get SMBIOSMemoryType /format:list",
                                           "SMBIOSMemoryType="};
inline constexpr WmicQuery kVideoQuery = {
    "path win32_VideoController get name,AdapterRAM /format:list", "Name="};

// The command line that runs the system's own tool by its full path, so that
// no wmic.exe, .bat or .cmd in the current folder or on PATH runs instead.
std::string WmicCommandLine(const std::string& systemDirectory, const WmicQuery& query);

// Windows only: the query's list text from the tool.
std::string RunWmicQuery(const WmicQuery& query);

}  // namespace orva
