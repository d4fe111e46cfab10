// The three queries of the WMI command-line tool, and where their list text comes from.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "win32/message_pump.h"

namespace orva {

class WmiSession;

struct WmicQuery {
    const char* arguments;  // the command line after the tool's name
    const char* key;        // a key that any useful output of this query holds
    // Where the built-in source finds the same records when the tool is
    // missing or writes something else (Windows 11 24H2 and later, Wine).
    const char* wmiClass;
    const char* properties;  // comma-separated, spelled as the list keys are
    const char* condition;   // WQL condition, empty for every instance
};

inline constexpr WmicQuery kDiskQuery = {
    "diskdrive where (index='0' or index='1') GET MODEL, SIZE /format:list",
    "Model=", "Win32_DiskDrive", "Model,Size", "Index=0 OR Index=1"};
inline constexpr WmicQuery kMemoryQuery = {"memorychip get SMBIOSMemoryType /format:list",
                                           "SMBIOSMemoryType=", "Win32_PhysicalMemory",
                                           "SMBIOSMemoryType", ""};
inline constexpr WmicQuery kVideoQuery = {
    "path win32_VideoController get name,AdapterRAM,PNPDeviceID /format:list",
    "Name=", "Win32_VideoController", "AdapterRAM,Name,PNPDeviceID", ""};

// A normal run of the tool takes 0.1 to 6 s, the first WMI call after a start
// of Windows the longest; one that has not ended in 30 s is stuck, and the
// built-in source answers instead.
inline constexpr unsigned long kToolTimeLimitMs = 30000;

// The system's own tool, by its full path, so that no wmic.exe, .bat or .cmd
// in the current folder or on PATH runs instead.
std::wstring WmicPath(const std::wstring& systemDirectory);

// The whole command line of the tool for the query: its quoted path first.
std::wstring WmicCommandLine(const std::wstring& systemDirectory, const WmicQuery& query);

// The WQL statement that selects the query's properties from its class.
std::string WqlText(const WmicQuery& query);

// Whether the tool's output can serve the query: it holds the query's key.
// Output without it (no tool, or Wine's tool, which writes UTF-16 and no list)
// is replaced by the built-in source.
bool HoldsQueryKey(const std::string& output, const WmicQuery& query);

// A query's list text, and the code page its bytes are in: the tool writes
// the OEM code page into a pipe, the built-in source UTF-8.
struct ListText {
    std::string bytes;
    unsigned codePage = 0;
};

// The code page number of UTF-8 (CP_UTF8).
inline constexpr unsigned kUtf8CodePage = 65001;

// Windows only: the queries' list texts, in their order, from the tool or else
// from WMI itself through the session's connection. Every tool run starts
// before any is waited for, and the queries left to WMI are all submitted
// before any record is read, so a gathering waits for its slowest query
// rather than for their sum. The thread's messages are answered through the
// pump while the tool runs; stopped when the pump ends the wait, with every
// run ended and no list made.
std::variant<std::vector<ListText>, WaitStopped> RunWmicQueries(
    const std::vector<WmicQuery>& queries, WmiSession& wmi, MessagePump& pump);

// The list texts of the three rows that read one.
struct ReportLists {
    ListText memory;
    ListText disks;
    ListText video;
};

// Windows only: the three queries the same way, run together.
std::variant<ReportLists, WaitStopped> RunReportQueries(WmiSession& wmi, MessagePump& pump);

}  // namespace orva
