#include "app/report.h"

#include <algorithm>
#include <exception>

#include "app/failure_texts.h"

namespace orva {

namespace {

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

}  // namespace

const std::array<const wchar_t*, kReportRowCount> kRowLabels = {
    L"O  S", L"CPU ", L"RAM", L"M.B", L"VGA", L"DISK",
};

const std::array<const wchar_t*, kReportRowCount> kRowFailureTexts = {
    kOsFailureText,    kProcessorFailureText, kMemoryFailureText,
    kBoardFailureText, kVideoFailureText,     kDisksFailureText,
};

std::wstring RowValue(ReportRowIndex row, const std::function<std::wstring()>& probe) {
    // The one place a failure becomes text: none ends a gathering.
    try {
        return OneLine(probe());
    } catch (const std::exception&) {
        return kRowFailureTexts[row];
    }
}

ReportRows CollectReportRows(const ReportSources& sources) {
    ReportRows rows;
    for (std::size_t i = 0; i < kReportRowCount; ++i) {
        rows[i].label = kRowLabels[i];
    }
    rows[kOsRow].value = RowValue(kOsRow, sources.os);
    rows[kCpuRow].value = RowValue(kCpuRow, sources.processor);
    rows[kBoardRow].value = RowValue(kBoardRow, sources.board);
    rows[kRamRow].value = RowValue(kRamRow, sources.memory);
    rows[kDiskRow].value = RowValue(kDiskRow, sources.disks);
    rows[kVgaRow].value = RowValue(kVgaRow, sources.video);
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
