#include "probes/lists.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "probes/wmi_source.h"
#include "probes/wmic.h"
#include "win32/text_conversion.h"

namespace orva {

namespace {

bool StopIsSet(StopRequest stop) {
    return stop != nullptr && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0;
}

}  // namespace

std::wstring DecodeList(const std::string& text, ListEncoding encoding) {
    return ToWide(text, encoding == ListEncoding::kOemCodePage ? GetOEMCP() : CP_UTF8);
}

std::variant<std::vector<ListText>, Stopped> RunQueries(const std::vector<ListQuery>& queries,
                                                        WmiSession& wmi, StopRequest stop) {
    auto ran = RunToolQueries(queries, stop);
    auto* const fromTool = std::get_if<std::vector<std::optional<ListText>>>(&ran);
    if (fromTool == nullptr) {
        return Stopped{};
    }
    std::vector<ListText> lists(queries.size());
    std::vector<std::size_t> leftToWmi;
    std::vector<ListQuery> wmiQueries;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        if ((*fromTool)[i]) {
            lists[i] = std::move(*(*fromTool)[i]);
        } else {
            leftToWmi.push_back(i);
            wmiQueries.push_back(queries[i]);
        }
    }
    if (wmiQueries.empty()) {
        return lists;
    }
    if (StopIsSet(stop)) {
        return Stopped{};
    }
    // A stop that comes while WMI works ends the gathering once WMI returns,
    // which its own bounds see to.
    std::vector<ListText> fromWmi = QueryWmiLists(wmiQueries, wmi);
    if (StopIsSet(stop)) {
        return Stopped{};
    }
    for (std::size_t i = 0; i < leftToWmi.size(); ++i) {
        lists[leftToWmi[i]] = std::move(fromWmi[i]);
    }
    return lists;
}

std::variant<ReportLists, Stopped> RunReportQueries(WmiSession& wmi, StopRequest stop) {
    auto ran = RunQueries({kMemoryQuery, kDiskQuery, kVideoQuery}, wmi, stop);
    auto* const lists = std::get_if<std::vector<ListText>>(&ran);
    if (lists == nullptr) {
        return Stopped{};
    }
    return ReportLists{std::move((*lists)[0]), std::move((*lists)[1]), std::move((*lists)[2])};
}

}  // namespace orva
