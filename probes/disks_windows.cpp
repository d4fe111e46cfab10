#include "probes/disks.h"

#include "probes/text.h"
#include "probes/wmic.h"
#include "win32/text_conversion.h"

namespace orva {

std::wstring ProbeDisks(const ListText& list) {
    return ToWide(FormatDisksRow(list.bytes, TraceToStandardOutput), list.codePage);
}

}  // namespace orva
