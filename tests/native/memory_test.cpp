#include "probes/memory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/native/list_output.h"
#include "tests/native/trace_text.h"

namespace orva {
namespace {

std::string MemoryRow(unsigned long long totalPhys, const std::string& toolOutput,
                      std::optional<unsigned long long> installedKibibytes = std::nullopt) {
    std::string trace;
    return FormatMemoryRow(totalPhys, installedKibibytes,
                           MemoryTypeText(toolOutput, AppendTo(trace)));
}

std::string OneModule(const std::string& code) {
    return "\n\nSMBIOSMemoryType=" + code + "\n\n\n";
}

TEST(MemoryRow, ShowsUsableMegabytesInstalledGigabytesAndTheFirstModulesType) {
    struct Case {
        unsigned long long totalPhys;
        std::optional<unsigned long long> installedKibibytes;  // none: the call failed
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {17114271744ULL, std::nullopt, OneModule("26"), "16321 MB  (16GB), Type DDR4"},
        {8446275584ULL, std::nullopt, "\nNode - PC\nERROR:\nDescription = Invalid query\n\n",
         "8054 MB  (8GB)"},
        {4181655552ULL, std::nullopt, "\n\nSMBIOSMemoryType=24\n\n\nSMBIOSMemoryType=26\n\n\n",
         "3987 MB  (4GB), Type DDR3"},
        {68719476736ULL, std::nullopt, OneModule("26"), "65536 MB  (64GB), Type DDR4"},
        {1073741824ULL, std::nullopt, OneModule("20"), "1024 MB  (1GB), Type DDR2 FB-DIMM"},
        {1047527424ULL, std::nullopt, OneModule("21"), "999 MB  (1GB)"},
        {34359738368ULL, std::nullopt, OneModule("34") + "SMBIOSMemoryType=34\n\n\n",
         "32768 MB  (32GB), Type DDR5"},
        {1048576000ULL, std::nullopt, "", "1000 MB  (1GB)"},
        {1048575ULL, std::nullopt, OneModule("26"), "0 MB  (0GB), Type DDR4"},
        {0ULL, std::nullopt, "", "0 MB  (0GB)"},
        {17114271744ULL, std::nullopt, kFirstRunNotice + OneModule("26"),
         "16321 MB  (16GB), Type DDR4"},
        {18446744073709551615ULL, std::nullopt, OneModule("35"),
         "17592186044415 MB  (17179869184GB), Type LPDDR5"},
        // Firmware and integrated graphics keep part of the installed memory.
        {8374976512ULL, 8388608ULL, OneModule("26"), "7987 MB  (8GB), Type DDR4"},
        {16535519232ULL, 16777216ULL, OneModule("34"), "15769 MB  (16GB), Type DDR5"},
        {68719476736ULL, 67108864ULL, OneModule("26"), "65536 MB  (64GB), Type DDR4"},
        {3221225472ULL, 4194304ULL, "", "3072 MB  (4GB)"},
        {1610612736ULL, 1572864ULL, "", "1536 MB  (2GB)"},
        {1610612736ULL, 1572863ULL, "", "1536 MB  (1GB)"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            EXPECT_EQ(MemoryRow(c.totalPhys, output, c.installedKibibytes), c.row);
        }
    }
}

TEST(MemoryTypeText, MatchesSmbiosCodesOnlyAsExactTwoCharacterText) {
    struct Case {
        std::string code;
        std::string type;
    };
    const Case cases[] = {
        {"18", ", Type DDR"},
        {"19", ", Type DDR2"},
        {"20", ", Type DDR2 FB-DIMM"},
        {"24", ", Type DDR3"},
        {"26", ", Type DDR4"},
        {"27", ", Type LPDDR"},
        {"28", ", Type LPDDR2"},
        {"29", ", Type LPDDR3"},
        {"30", ", Type LPDDR4"},
        {"34", ", Type DDR5"},
        {"35", ", Type LPDDR5"},
        {"0", ""},
        {"2", ""},
        {"21", ""},
        {"22", ""},
        {"25", ""},
        {"31", ""},
        {"36", ""},
        {"", ""},
        {"26 ", ""},
        {" 26", ""},
        {"026", ""},
        {"2 6", ""},
        {"26x", ""},
        {"DDR4", ""},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            std::string trace;
            const std::string output = WithLineEnds(OneModule(c.code), lineEnd);
            EXPECT_EQ(MemoryTypeText(output, AppendTo(trace)), c.type) << '"' << c.code << '"';
        }
    }
}

TEST(MemoryTypeText, OnlyTheFirstModuleCounts) {
    struct Case {
        std::string output;
        std::string type;
    };
    const Case cases[] = {
        {"SMBIOSMemoryType=2\r\r\n\r\r\nSMBIOSMemoryType=26\r\r\n", ""},
        {"SMBIOSMemoryType=\r\r\n\r\r\nSMBIOSMemoryType=26\r\r\n", ""},
        {"SMBIOSMemoryType=34\r\nSMBIOSMemoryType=26\r\n", ", Type DDR5"},
        {"smbiosmemorytype=26\r\n", ""},
        {"SMBIOSMemoryType=26", ", Type DDR4"},
    };
    for (const Case& c : cases) {
        std::string trace;
        EXPECT_EQ(MemoryTypeText(c.output, AppendTo(trace)), c.type) << c.output;
    }
}

TEST(MemoryTypeText, TracesTheCodeWithItsCarriageReturnsThenWithout) {
    struct Case {
        std::string output;
        std::string trace;
    };
    const Case cases[] = {
        {"\r\r\n\r\r\nSMBIOSMemoryType=26\r\r\n\r\r\n\r\r\nSMBIOSMemoryType=24\r\r\n\r\r\n\r\r\n",
         "26\r\r\r\r\r\r\n26\n"},
        {"\r\n\r\nSMBIOSMemoryType=26\r\n\r\n\r\n", "26\r\r\r\n26\n"},
        {"\n\nSMBIOSMemoryType=26\n\n\n", "26\n26\n"},
        {"", "\n\n"},
        {"\r\r\nNo Instance(s) Available.\r\r\n", "\n\n"},
        {"SMBIOSMemoryType=\r\r\n", "\r\r\n\n"},
    };
    for (const Case& c : cases) {
        std::string trace;
        MemoryTypeText(c.output, AppendTo(trace));
        EXPECT_EQ(trace, c.trace);
    }
}

}  // namespace
}  // namespace orva
