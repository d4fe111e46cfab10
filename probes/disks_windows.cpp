#include "probes/disks.h"

#include "probes/lists.h"
#include "probes/text.h"

namespace orva {

std::wstring ProbeDisks(const ListText& list) {
    return DecodeList(FormatDisksRow(list.bytes, TraceToStandardOutput), list.encoding);
}

}  // namespace orva
