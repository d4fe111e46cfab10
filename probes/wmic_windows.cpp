#include "probes/wmic.h"

#include <windows.h>

#include "win32/command_runner.h"
#include "win32/system_directory.h"

namespace orva {

namespace {

// A look for the file costs a round trip to the system; a run that fails to
// start costs a pipe, a job and a process attempt first.
bool ToolExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::variant<std::vector<std::optional<ListText>>, Stopped> RunToolQueries(
    const std::vector<ListQuery>& queries, StopRequest stop) {
    std::vector<std::optional<ListText>> lists(queries.size());
    const std::wstring system = SystemDirectory();
    if (system.empty() || !ToolExists(WmicPath(system))) {
        return lists;
    }
    std::vector<std::wstring> commandLines;
    commandLines.reserve(queries.size());
    for (const ListQuery& query : queries) {
        commandLines.push_back(WmicCommandLine(system, query));
    }
    auto ran = RunTogether(WmicPath(system), commandLines, kToolTimeLimitMs, stop);
    auto* const outputs = std::get_if<std::vector<std::optional<std::string>>>(&ran);
    if (outputs == nullptr) {
        return Stopped{};
    }
    for (std::size_t i = 0; i < queries.size(); ++i) {
        std::optional<std::string>& output = (*outputs)[i];
        if (output && HoldsQueryKey(*output, queries[i])) {
            lists[i] = ListText{std::move(*output), ListEncoding::kOemCodePage};
        }
    }
    return lists;
}

}  // namespace orva
