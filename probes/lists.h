// The list texts that three rows read, and the one place that chooses
// between their two sources: the system's tool, and WMI itself.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "probes/queries.h"
#include "win32/stop_request.h"

namespace orva {

class WmiSession;

// What a list's bytes are written in: the tool writes the OEM code page into
// a pipe, WMI's lists are written in UTF-8.
enum class ListEncoding { kOemCodePage, kUtf8 };

struct ListText {
    std::string bytes;
    ListEncoding encoding = ListEncoding::kUtf8;
};

// The lists of the three rows that read one.
struct ReportLists {
    ListText memory;
    ListText disks;
    ListText video;
};

// Windows only: text of a list, in the list's encoding, as UTF-16 up to its first NUL.
std::wstring DecodeList(const std::string& text, ListEncoding encoding);

// Windows only: the queries' lists, in their order: the system's tool's,
// or where it gives none (missing, cannot start, stuck, or no list), WMI's
// through the session's connection. The tool's runs go together, and the
// queries left to WMI are all submitted before any record is read, so a
// gathering waits for its slowest query rather than for their sum. Stopped
// once the request is set: the tool's runs end, and no list is made.
std::variant<std::vector<ListText>, Stopped> RunQueries(const std::vector<ListQuery>& queries,
                                                        WmiSession& wmi, StopRequest stop);

// Windows only: the three queries the same way, together.
std::variant<ReportLists, Stopped> RunReportQueries(WmiSession& wmi, StopRequest stop);

}  // namespace orva
