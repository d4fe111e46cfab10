// Disk row.
#pragma once

#include <string>

#include "probes/text.h"
#include "probes/lists.h"

namespace orva {

// The first disk's model and size label, then ", " with the second disk's when
// that one has a model text. Sizes in units of 2^30 bytes as "(%lldGB)"; a
// disk with a model and an empty size (a slot with no medium) has no label.
// Writes both blocks to trace, each before and after its CRs are removed,
// before any size is converted. Throws std::invalid_argument or
// std::out_of_range when a size that is needed holds no number in range.
std::string FormatDisksRow(const std::string& toolOutput, const TraceSink& trace);

// Windows only: the row from the disk query's list text.
std::wstring ProbeDisks(const ListText& list);

}  // namespace orva
