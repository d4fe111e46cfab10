// The six report rows, their gathering and the report text.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace orva {

struct ReportRow {
    std::wstring label;
    std::wstring value;
};

constexpr std::size_t kReportRowCount = 6;
using ReportRows = std::array<ReportRow, kReportRowCount>;

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

// Runs every probe once, in run order, and returns the rows in display order.
// A probe that throws gives its row the row's failure text; the others keep theirs.
// Each value ends at its first NUL and loses every CR and LF.
ReportRows CollectReportRows(const ReportSources& sources);

// The machine's own probes (Windows only).
ReportRows CollectReportRows();

// The row's line of the report: label, " : ", value.
std::wstring ReportLine(const ReportRow& row);

// The rows' lines joined by CR LF, with none after the last.
std::wstring ComposeReport(const ReportRows& rows);

// The report of the last completed paint; empty until then.
std::wstring& ReportText();

}  // namespace orva
