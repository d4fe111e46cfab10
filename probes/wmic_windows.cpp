#include "probes/wmic.h"

#include "probes/command_runner.h"
#include "probes/wmi_source.h"

namespace orva {

std::string RunWmicQuery(const WmicQuery& query) {
    // A tool that is missing, cannot start, is stuck or writes no list gives
    // way to WMI itself.
    const std::wstring system = SystemDirectory();
    if (!system.empty()) {
        const std::optional<std::string> output =
            RunCommand(WmicPath(system), WmicCommandLine(system, query), kToolTimeLimitMs);
        if (output && HoldsQueryKey(*output, query)) {
            return *output;
        }
    }
    return QueryWmiListText(query);
}

}  // namespace orva
