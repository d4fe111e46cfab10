#include "app/report.h"

#include <algorithm>

#include "probes/failure_texts.h"

namespace orva {

namespace {

enum RowIndex : std::size_t { kOs, kCpu, kRam, kBoard, kVga, kDisk };

// A row is one line of the report: the value ends at its first NUL, and a CR
// or LF (a registry value may hold them) would split the report's lines.
std::wstring OneLine(std::wstring value) {
    const auto nul = value.find(L'\0');
    if (nul != std::wstring::npos) {
        value.erase(nul);
    }
    value.erase(std::remove_if(value.begin(), value.end(),
                               [](wchar_t c) { return c == L'\r' || c == L'\n'; }),
                value.end());
    return value;
}

// Probes must not throw past the window procedure; a failure costs only its row.
template <typename Probe>
void Fill(ReportRows& rows, RowIndex index, const Probe& probe) {
    try {
        rows[index].value = OneLine(probe());
    } catch (...) {
        rows[index].value = kRowFailureTexts[index];
    }
}

}  // namespace

const std::array<const wchar_t*, kReportRowCount> kRowLabels = {
    L"O  S", L"CPU ", L"RAM", L"M.B", L"VGA", L"DISK",
};

const std::array<const wchar_t*, kReportRowCount> kRowFailureTexts = {
    kOsFailureText,    kProcessorFailureText, kMemoryFailureText,
    kBoardFailureText, kVideoFailureText,     kDisksFailureText,
};

ReportRows CollectReportRows(const ReportSources& sources) {
    ReportRows rows;
    for (std::size_t i = 0; i < kReportRowCount; ++i) {
        rows[i].label = kRowLabels[i];
    }
    Fill(rows, kOs, sources.os);
    Fill(rows, kCpu, sources.processor);
    Fill(rows, kBoard, sources.board);
    Fill(rows, kRam, sources.memory);
    Fill(rows, kDisk, sources.disks);
    Fill(rows, kVga, sources.video);
    return rows;
}

std::wstring ReportLine(const ReportRow& row) {
    return row.label + L" : " + row.value;
}

std::wstring ComposeReport(const ReportRows& rows) {
    std::wstring text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i != 0) {
            text += L"\r\n";
        }
        text += ReportLine(rows[i]);
    }
    return text;
}

std::wstring& ReportText() {
    static std::wstring text;
    return text;
}

}  // namespace orva
