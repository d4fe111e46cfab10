#include "probes/disks.h"

#include "probes/command_runner.h"
#include "probes/text.h"
#include "probes/wmic.h"

namespace orva {

std::string ProbeDisks(const ListText& list) {
    return ToUtf8(FormatDisksRow(list.bytes, TraceToStandardOutput), list.codePage);
}

}  // namespace orva
