#include "app/report.h"

#include "probes/board.h"
#include "probes/disks.h"
#include "probes/memory.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "probes/video.h"
#include "probes/wmic.h"

namespace orva {

std::variant<ReportRows, WaitStopped> CollectReportRows(WmiSession& wmi, MessagePump& pump) {
    // The three queries run together; their rows are made in run order.
    ReportLists lists;
    try {
        auto ran = RunReportQueries(wmi, pump);
        auto* const ranLists = std::get_if<ReportLists>(&ran);
        if (ranLists == nullptr) {
            return WaitStopped{};
        }
        lists = std::move(*ranLists);
    } catch (...) {
        // Out of memory: the three rows say what they can without a list.
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
