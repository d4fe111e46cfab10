// The six report rows, their gathering and the report text.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <variant>

#include "win32/stop_request.h"

namespace orva {

class WmiSession;

struct ReportRow {
    std::wstring label;
    std::wstring value;
};

constexpr std::size_t kReportRowCount = 6;
using ReportRows = std::array<ReportRow, kReportRowCount>;

// The rows' places in display order.
enum ReportRowIndex : std::size_t { kOsRow, kCpuRow, kRamRow, kBoardRow, kVgaRow, kDiskRow };

// The probes behind the rows, so the gathering can be tested without the machine.
struct ReportSources {
    std::function<std::wstring()> os;
    std::function<std::wstring()> processor;
    std::function<std::wstring()> board;
    std::function<std::wstring()> memory;
    std::function<std::wstring()> disks;
    std::function<std::wstring()> video;
};

// Row labels and failure texts, in display order.
extern const std::array<const wchar_t*, kReportRowCount> kRowLabels;
extern const std::array<const wchar_t*, kReportRowCount> kRowFailureTexts;

// The row's value from its probe, which returns the row or throws: the text
// up to its first NUL without any CR or LF, or the row's failure text.
std::wstring RowValue(ReportRowIndex row, const std::function<std::wstring()>& probe);

// Runs every probe once, in run order, and returns the rows in display order,
// each value as RowValue makes it: a failure costs only its own row.
ReportRows CollectReportRows(const ReportSources& sources);

// The machine's own probes, with WMI through the session's connection where
// the tool cannot answer (Windows only). A gathering that the stop request
// ended makes no rows.
std::variant<ReportRows, Stopped> CollectReportRows(WmiSession& wmi, StopRequest stop);

// The row's line of the report: label, " : ", value.
std::wstring ReportLine(const ReportRow& row);

// The rows' lines joined by CR LF, with none after the last.
std::wstring ComposeReport(const ReportRows& rows);

// The report of the last completed paint; empty until then.
std::wstring& ReportText();

}  // namespace orva
