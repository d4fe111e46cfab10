#include "probes/wmic.h"

#include <windows.h>

#include "probes/command_runner.h"
#include "probes/wmi_source.h"

namespace orva {

namespace {

// Whether <system folder>\wbem\WMIC.exe is there to be run.
bool ToolExists() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    const std::wstring tool = std::wstring(folder, length) + L"\\wbem\\WMIC.exe";
    const DWORD attributes = GetFileAttributesW(tool.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::string RunWmicQuery(const WmicQuery& query) {
    // Without the tool the command interpreter would only print an error, and
    // starting it costs a tenth of a second or more.
    if (ToolExists()) {
        std::string output = RunCommand(WmicCommandLine(SystemDirectory(), query).c_str());
        if (HoldsQueryKey(output, query)) {
            return output;
        }
    }
    return QueryWmiListText(query);
}

}  // namespace orva
