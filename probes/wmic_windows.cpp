#include "probes/wmic.h"

#include <windows.h>

#include "probes/wmi_source.h"
#include "win32/command_runner.h"

namespace orva {

namespace {

// A look for the file costs a round trip to the system; a run that fails to
// start costs a pipe, a job and a process attempt first.
bool ToolExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::variant<std::vector<ListText>, WaitStopped> RunWmicQueries(
    const std::vector<WmicQuery>& queries, WmiSession& wmi, MessagePump& pump) {
    std::vector<ListText> lists(queries.size());
    std::vector<WmicQuery> leftToWmi;
    // A tool that is missing, cannot start, is stuck or writes no list gives
    // way to WMI itself.
    const std::wstring system = SystemDirectory();
    if (!system.empty() && ToolExists(WmicPath(system))) {
        std::vector<RunningCommand> runs;
        runs.reserve(queries.size());
        for (const WmicQuery& query : queries) {
            runs.push_back(
                StartCommand(WmicPath(system), WmicCommandLine(system, query), kToolTimeLimitMs));
        }
        for (std::size_t i = 0; i < queries.size(); ++i) {
            auto finished = runs[i].Finish(pump);
            auto* const output = std::get_if<std::optional<std::string>>(&finished);
            if (output == nullptr) {
                return WaitStopped{};  // the runs not yet finished end with their owners
            }
            if (*output && HoldsQueryKey(**output, queries[i])) {
                lists[i] = {std::move(**output), GetOEMCP()};
            }
        }
    }
    std::vector<std::size_t> fromWmi;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        if (lists[i].codePage == 0) {
            fromWmi.push_back(i);
            leftToWmi.push_back(queries[i]);
        }
    }
    if (leftToWmi.empty()) {
        return lists;
    }
    // WMI's own waits answer only what COM lets through; a close that came
    // meanwhile is heard before and after them.
    if (!pump.AnswerMessages()) {
        return WaitStopped{};
    }
    std::vector<std::string> texts = QueryWmiListTexts(leftToWmi, wmi);
    if (!pump.AnswerMessages()) {
        return WaitStopped{};
    }
    for (std::size_t i = 0; i < fromWmi.size(); ++i) {
        lists[fromWmi[i]] = {std::move(texts[i]), kUtf8CodePage};
    }
    return lists;
}

std::variant<ReportLists, WaitStopped> RunReportQueries(WmiSession& wmi, MessagePump& pump) {
    auto ran = RunWmicQueries({kMemoryQuery, kDiskQuery, kVideoQuery}, wmi, pump);
    auto* const lists = std::get_if<std::vector<ListText>>(&ran);
    if (lists == nullptr) {
        return WaitStopped{};
    }
    return ReportLists{std::move((*lists)[0]), std::move((*lists)[1]), std::move((*lists)[2])};
}

}  // namespace orva
