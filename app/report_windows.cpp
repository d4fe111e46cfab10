#include "app/report.h"

#include <new>

#include "probes/board.h"
#include "probes/disks.h"
#include "probes/memory.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "probes/video.h"
#include "probes/lists.h"

namespace orva {

std::variant<ReportRows, Stopped> CollectReportRows(WmiSession& wmi, StopRequest stop) {
    // The three queries run together; their rows are made in run order.
    ReportLists lists;
    try {
        auto ran = RunReportQueries(wmi, stop);
        auto* const ranLists = std::get_if<ReportLists>(&ran);
        if (ranLists == nullptr) {
            return Stopped{};
        }
        lists = std::move(*ranLists);
    } catch (const std::bad_alloc&) {
        // The three rows say what they can without a list.
    }
    const ReportSources sources = {ProbeOs,
                                   ProbeProcessor,
                                   ProbeBoard,
                                   [&] { return ProbeMemory(lists.memory); },
                                   [&] { return ProbeDisks(lists.disks); },
                                   [&] { return ProbeVideo(lists.video); }};
    return CollectReportRows(sources);
}

}  // namespace orva
