#include "probes/disks.h"

#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

std::string ProbeDisks() {
    return FormatDisksRow(RunWmicQuery(kDiskQuery), TraceToStandardOutput);
}

}  // namespace orva
