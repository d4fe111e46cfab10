#include "probes/wmic.h"

#include <windows.h>

#include "probes/command_runner.h"
#include "probes/wmi_source.h"

namespace orva {

namespace {

// A look for the file costs a round trip to the system; a run that fails to
// start costs a pipe, a job and a process attempt first.
bool ToolExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::string RunWmicQuery(const WmicQuery& query) {
    // A tool that is missing, cannot start, is stuck or writes no list gives
    // way to WMI itself.
    const std::wstring system = SystemDirectory();
    if (!system.empty() && ToolExists(WmicPath(system))) {
        const std::optional<std::string> output =
            RunCommand(WmicPath(system), WmicCommandLine(system, query), kToolTimeLimitMs);
        if (output && HoldsQueryKey(*output, query)) {
            return *output;
        }
    }
    return QueryWmiListText(query);
}

}  // namespace orva
