#include "app/report.h"

#include "probes/board.h"
#include "probes/command_runner.h"
#include "probes/disks.h"
#include "probes/memory.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "probes/video.h"

namespace orva {

ReportRows CollectReportRows() {
    static const ReportSources sources = {ProbeOs,    ProbeProcessor, ProbeBoard, ProbeMemory,
                                          ProbeDisks, ProbeVideo,     ToWide};
    return CollectReportRows(sources);
}

}  // namespace orva
