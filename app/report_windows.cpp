#include "app/report.h"

#include "probes/board.h"
#include "probes/command_runner.h"
#include "probes/disks.h"
#include "probes/memory.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "probes/video.h"
#include "probes/wmic.h"

namespace orva {

namespace {

std::wstring FromUtf8(const std::string& text) {
    return ToWide(text, kUtf8CodePage);
}

}  // namespace

ReportRows CollectReportRows() {
    // The three queries run together; their rows are made in run order.
    std::vector<ListText> lists(3);
    try {
        lists = RunWmicQueries({kMemoryQuery, kDiskQuery, kVideoQuery});
    } catch (...) {
        // Out of memory: the three rows say what they can without a list.
    }
    const ReportSources sources = {ProbeOs,
                                   ProbeProcessor,
                                   ProbeBoard,
                                   [&] { return ProbeMemory(lists[0]); },
                                   [&] { return ProbeDisks(lists[1]); },
                                   [&] { return ProbeVideo(lists[2]); },
                                   FromUtf8};
    return CollectReportRows(sources);
}

}  // namespace orva
