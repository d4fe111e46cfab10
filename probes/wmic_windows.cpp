#include "probes/wmic.h"

#include "probes/command_runner.h"

namespace orva {

std::string RunWmicQuery(const WmicQuery& query) {
    return RunCommand(WmicCommandLine(SystemDirectory(), query).c_str());
}

}  // namespace orva
