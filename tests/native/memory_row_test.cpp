#include "probes/memory.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/native/list_output.h"
#include "tests/native/trace_text.h"

namespace orva {
namespace {

std::string MemoryRow(unsigned long long totalPhys, const std::string& toolOutput) {
    std::string trace;
    return FormatMemoryRow(totalPhys, MemoryTypeText(toolOutput, AppendTo(trace)));
}

std::string OneModule(const std::string& code) {
    return "\n\nSMBIOSMemoryType=" + code + "\n\n\n";
}

TEST(MemoryRow, ShowsMegabytesDecimalGigabytesAndTheFirstModulesType) {
    struct Case {
        unsigned long long totalPhys;
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {17114271744ULL, OneModule("26"), "16321 MB  (16GB), Type DDR4"},
        {8446275584ULL, "\nNode - PC\nERROR:\nDescription = Invalid query\n\n", "8054 MB  (8GB)"},
        {4181655552ULL, "\n\nSMBIOSMemoryType=24\n\n\nSMBIOSMemoryType=26\n\n\n",
         "3987 MB  (3GB), Type DDR3"},
        {68719476736ULL, OneModule("26"), "65536 MB  (65GB), Type DDR4"},
        {1073741824ULL, OneModule("20"), "1024 MB  (1GB), Type DDR2 FB-DIMM"},
        {1047527424ULL, OneModule("21"), "999 MB  (0GB)"},
        {34359738368ULL, OneModule("34") + "SMBIOSMemoryType=34\n\n\n",
         "32768 MB  (32GB), Type DDR5"},
        {1048576000ULL, "", "1000 MB  (1GB)"},
        {1048575ULL, OneModule("26"), "0 MB  (0GB), Type DDR4"},
        {0ULL, "", "0 MB  (0GB)"},
        {17114271744ULL, kFirstRunNotice + OneModule("26"), "16321 MB  (16GB), Type DDR4"},
        {18446744073709551615ULL, OneModule("35"),
         "17592186044415 MB  (17592186044GB), Type LPDDR5"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            EXPECT_EQ(MemoryRow(c.totalPhys, output), c.row);
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
