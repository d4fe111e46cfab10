#include "probes/disks.h"

#include <iostream>

#include "probes/wmic.h"

namespace orva {

std::string ProbeDisks() {
    return FormatDisksRow(RunWmicQuery(kDiskQuery), std::cout);
}

}  // namespace orva
