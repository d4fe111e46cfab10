#include "app/report.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace orva {
namespace {

ReportSources FixedSources(std::vector<std::string>* runOrder = nullptr) {
    auto note = [runOrder](const char* name) {
        if (runOrder != nullptr) {
            runOrder->push_back(name);
        }
    };
    return ReportSources{
        [=] {
            note("os");
            return std::wstring(L"Windows 10 Pro");
        },
        [=] {
            note("cpu");
            return std::wstring(L"Intel CPU * 8 코어");
        },
        [=] {
            note("board");
            return std::wstring(L"MakerModel(FW.v1)");
        },
        [=] {
            note("memory");
            return std::wstring(L"16321 MB  (16GB), Type DDR4");
        },
        [=] {
            note("disks");
            return std::wstring(L"Disk(465GB)");
        },
        [=] {
            note("video");
            return std::wstring(L"Video (1024 MB)");
        },
    };
}

TEST(ComposeReport, JoinsLabelsAndValuesInDisplayOrder) {
    std::vector<std::string> runOrder;
    const std::wstring report = ComposeReport(CollectReportRows(FixedSources(&runOrder)));
    EXPECT_EQ(report,
              L"O  S : Windows 10 Pro\r\n"
              L"CPU  : Intel CPU * 8 코어\r\n"
              L"RAM : 16321 MB  (16GB), Type DDR4\r\n"
              L"M.B : MakerModel(FW.v1)\r\n"
              L"VGA : Video (1024 MB)\r\n"
              L"DISK : Disk(465GB)");
    EXPECT_EQ(runOrder,
              (std::vector<std::string>{"os", "cpu", "board", "memory", "disks", "video"}));
}

TEST(ComposeReport, EmptyValuesKeepTheirSeparators) {
    ReportRows rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].label = kRowLabels[i];
    }
    EXPECT_EQ(ComposeReport(rows), L"O  S : \r\nCPU  : \r\nRAM : \r\nM.B : \r\nVGA : \r\nDISK : ");
}

TEST(CollectReportRows, ValuesEndAtTheirFirstNul) {
    ReportSources sources = FixedSources();
    sources.os = [] { return std::wstring(L"Win\0dows", 8); };
    sources.disks = [] { return std::wstring(L"Disk\0(1GB)", 10); };
    const ReportRows rows = CollectReportRows(sources);
    EXPECT_EQ(rows[0].value, L"Win");
    EXPECT_EQ(rows[5].value, L"Disk");
}

// Registry values are used as stored, and a stored value may hold line breaks.
TEST(CollectReportRows, ValuesLoseTheirLineBreaksSoTheReportKeepsSixLines) {
    ReportSources sources = FixedSources();
    sources.os = [] { return std::wstring(L"Windows\r\n10 Pro"); };
    sources.processor = [] { return std::wstring(L"\nIntel\rCPU\r\n * 8 코어"); };
    sources.board = [] { return std::wstring(L"\r\n\r\n"); };
    sources.memory = [] { return std::wstring(L"16321 MB\n  (16GB)"); };
    sources.disks = [] { return std::wstring(L"Disk\r(465GB)\0\r\nrest", 19); };
    const ReportRows rows = CollectReportRows(sources);
    EXPECT_EQ(rows[0].value, L"Windows10 Pro");
    EXPECT_EQ(rows[1].value, L"IntelCPU * 8 코어");
    EXPECT_EQ(rows[2].value, L"16321 MB  (16GB)");
    EXPECT_EQ(rows[3].value, L"");
    EXPECT_EQ(rows[4].value, L"Video (1024 MB)");
    EXPECT_EQ(rows[5].value, L"Disk(465GB)");
    const std::wstring report = ComposeReport(rows);
    std::size_t breaks = 0;
    for (wchar_t c : report) {
        breaks += (c == L'\r' || c == L'\n') ? 1 : 0;
    }
    EXPECT_EQ(breaks, 10u) << "five CR LF pairs between six rows, no others";
}

TEST(CollectReportRows, AThrowingProbeCostsOnlyItsOwnRow) {
    struct Case {
        const char* probe;
        std::size_t row;
        const wchar_t* failureText;
    };
    const Case cases[] = {
        {"os", 0, L"운영체제 정보 로딩 실패"},      {"cpu", 1, L"CPU 정보 로딩 실패"},
        {"memory", 2, L"메모리 정보 로딩 실패"},    {"board", 3, L"메인보드 정보 로딩 실패"},
        {"video", 4, L"그래픽카드 정보 로딩 실패"}, {"disks", 5, L"디스크 정보 로딩 실패"},
    };
    const ReportRows expected = CollectReportRows(FixedSources());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.probe);
        ReportSources sources = FixedSources();
        const std::string probe = c.probe;
        auto fail = []() -> std::wstring { throw std::runtime_error("x"); };
        auto failConversion = []() -> std::wstring {
            throw std::invalid_argument("invalid stoll argument");
        };
        if (probe == "os") {
            sources.os = fail;
        }
        if (probe == "cpu") {
            sources.processor = fail;
        }
        if (probe == "board") {
            sources.board = fail;
        }
        if (probe == "memory") {
            sources.memory = failConversion;
        }
        if (probe == "disks") {
            sources.disks = failConversion;
        }
        if (probe == "video") {
            sources.video = failConversion;
        }

        const ReportRows rows = CollectReportRows(sources);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].label, expected[i].label);
            EXPECT_EQ(rows[i].value, i == c.row ? std::wstring(c.failureText) : expected[i].value);
        }
    }
}

TEST(CollectReportRows, AProbeOutOfMemoryCostsOnlyItsRow) {
    ReportSources sources = FixedSources();
    sources.video = []() -> std::wstring { throw std::bad_alloc(); };
    const ReportRows rows = CollectReportRows(sources);
    EXPECT_EQ(rows[4].value, L"그래픽카드 정보 로딩 실패");
    EXPECT_EQ(rows[5].value, L"Disk(465GB)");
}

}  // namespace
}  // namespace orva
