// The system's WMI command-line tool as a source of the queries' lists.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "probes/lists.h"
#include "probes/queries.h"
#include "win32/stop_request.h"

namespace orva {

// The system's own tool, by its full path, so that no wmic.exe, .bat or .cmd
// in the current folder or on PATH runs instead.
std::wstring WmicPath(const std::wstring& systemDirectory);

// The whole command line of the tool for the query: its quoted path first.
std::wstring WmicCommandLine(const std::wstring& systemDirectory, const ListQuery& query);

// Windows only: the tool's list for each query, in the OEM code page, from
// runs that all go together under the tool's bound; nothing for a query
// where the tool is missing, cannot start, is stuck or writes no list.
// Stopped once the request is set, with every run ended.
std::variant<std::vector<std::optional<ListText>>, Stopped> RunToolQueries(
    const std::vector<ListQuery>& queries, StopRequest stop);

}  // namespace orva
