#include "probes/wmic.h"

#include "probes/command_runner.h"
#include "probes/wmi_source.h"

namespace orva {

std::string RunWmicQuery(const WmicQuery& query) {
    std::string output = RunCommand(WmicCommandLine(SystemDirectory(), query).c_str());
    if (HoldsQueryKey(output, query)) {
        return output;
    }
    return QueryWmiListText(query);
}

}  // namespace orva
