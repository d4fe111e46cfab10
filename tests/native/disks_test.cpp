#include "probes/disks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/native/list_output.h"
#include "tests/native/trace_text.h"

namespace orva {
namespace {

std::string Record(const std::string& model, const std::string& size) {
    return "\n\nModel=" + model + "\nSize=" + size + "\n";
}

TEST(FormatDisksRow, NamesTheFirstTwoDisksWithTheirSizesInBinaryGigabytes) {
    struct Case {
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {Record("Drive One", "500107862016") + "\n\n", "Drive One(465GB)"},
        {Record("Drive One", "1000204886016") + Record("Drive Two", "2000398934016") + "\n\n",
         "Drive One(931GB), Drive Two(1863GB)"},
        {Record("Drive One", "256060514304") + Record("", "128035676160") + "\n\n",
         "Drive One(238GB)"},
        {Record("Drive One", "1073741823") + "\n\n", "Drive One(0GB)"},
        {Record("Drive One", "1073741824") + Record("Drive Two", "4000787030016") + "\n\n",
         "Drive One(1GB), Drive Two(3726GB)"},
        {Record("Drive One ", "500107862016") + "\n\n", "Drive One (465GB)"},
        {Record(" Drive One", "500107862016") + Record("  Drive Two  ", "500107862016"),
         " Drive One(465GB),   Drive Two  (465GB)"},
        {Record("Samsung SSD 860 EVO 500GB", "500105249280") +
             Record("WDC WD10EZEX-08WN4A0", "1000202273280") +
             Record("Third Drive", "2000398934016") + "\n\n",
         "Samsung SSD 860 EVO 500GB(465GB), WDC WD10EZEX-08WN4A0(931GB)"},
        {Record("Drive One", "500107862016 bytes"), "Drive One(465GB)"},
        {Record("Drive One", "  +1073741824"), "Drive One(1GB)"},
        {Record("Drive One", "-1073741824"), "Drive One(-1GB)"},
        {Record("Drive One", "-1073741823"), "Drive One(0GB)"},
        {Record("Drive One", "9223372036854775807"), "Drive One(8589934591GB)"},
        {Record("Drive One", "0"), "Drive One(0GB)"},
        {Record("", "1073741824"), "(1GB)"},
        {Record("Drive One", "1073741824") + Record("", ""), "Drive One(1GB)"},
        {Record("Drive One", "1073741824") + Record("", "not a number"), "Drive One(1GB)"},
        {Record("Drive One", "1073741824") + "\n\nModel=\n\n", "Drive One(1GB)"},
        // A slot with no medium in it: its model, and no size label.
        {Record("Samsung SSD 870 EVO 500GB", "500107862016") +
             Record("Generic- SD/MMC USB Device", ""),
         "Samsung SSD 870 EVO 500GB(465GB), Generic- SD/MMC USB Device"},
        {Record("Generic- SD/MMC USB Device", "") + Record("Drive Two", "1000204886016"),
         "Generic- SD/MMC USB Device, Drive Two(931GB)"},
        {Record("Drive One", ""), "Drive One"},
        {kFirstRunNotice + "Model=Drive One\nSize=500107862016\n", "Drive One(465GB)"},
        {Record("Card A", "") + Record("Card B", "") + "\n\n", "Card A, Card B"},
        // Model names in code page 949 pass through as bytes.
        {Record("\xBB\xEF\xBC\xBA SSD", "1073741824"), "\xBB\xEF\xBC\xBA SSD(1GB)"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            EXPECT_EQ(FormatDisksRow(output, AppendTo(trace)), c.row);
        }
    }
}

TEST(FormatDisksRow, SizeThatIsNeededButHoldsNoNumberInRangeThrows) {
    struct Case {
        std::string output;
        bool outOfRange;
    };
    const Case cases[] = {
        {"", false},
        {"\n\nNo Instance(s) Available.\n\n", false},
        {"\n\nMODEL=Drive One\nSIZE=500107862016\n", false},
        {"\n\nModel=Drive One\n\n", false},
        {Record("", ""), false},
        {Record("", "") + Record("Drive Two", "1073741824"), false},
        {Record("Drive One", "   "), false},
        {Record("Drive One", "GB500"), false},
        {Record("Drive One", "- 5"), false},
        {Record("Drive One", "1073741824") + Record("Drive Two", "x1"), false},
        {Record("Drive One", "9223372036854775808"), true},
        {Record("Drive One", "-9223372036854775809"), true},
        {Record("Drive One", "1073741824") + Record("Drive Two", "99999999999999999999"), true},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            if (c.outOfRange) {
                EXPECT_THROW(FormatDisksRow(output, AppendTo(trace)), std::out_of_range);
            } else {
                EXPECT_THROW(FormatDisksRow(output, AppendTo(trace)), std::invalid_argument);
            }
        }
    }
}

TEST(FormatDisksRow, TracesBothBlocksBeforeAndAfterRemovingCarriageReturns) {
    struct Case {
        std::string output;
        std::string trace;
    };
    const Case cases[] = {
        {"\r\r\n\r\r\nModel=Drive One\r\r\nSize=500107862016\r\r\n\r\r\n\r\r\n"
         "Model=Drive Two\r\r\nSize=1000204886016\r\r\n\r\r\n\r\r\n\r\r\n",
         "Drive One\r\rSize=500107862016\r\r\r\r\r\r\n"
         "Drive OneSize=500107862016\n"
         "Drive Two\r\rSize=1000204886016\r\r\r\r\r\r\r\r\n"
         "Drive TwoSize=1000204886016\n"},
        {"\r\n\r\nModel=Drive One\r\nSize=500107862016\r\n\r\n\r\n",
         "Drive One\rSize=500107862016\r\r\r\n"
         "Drive OneSize=500107862016\n"
         "\n"
         "\n"},
        {"Model=A\nSize=1\nModel=B\nSize=2\nModel=C\nSize=3\n",
         "ASize=1\nASize=1\nBSize=2\nBSize=2\n"},
    };
    for (const Case& c : cases) {
        std::string trace;
        FormatDisksRow(c.output, AppendTo(trace));
        EXPECT_EQ(trace, c.trace);
    }
}

TEST(FormatDisksRow, WritesAllFourTraceLinesBeforeAFailedConversion) {
    struct Case {
        std::string output;
        std::string trace;
    };
    const Case cases[] = {
        {"", "\n\n\n\n"},
        {"\r\r\nNo Instance(s) Available.\r\r\n", "\n\n\n\n"},
        {"Model=Drive One\r\nSize=x\r\n", "Drive One\rSize=x\r\nDrive OneSize=x\n\n\n"},
        {"Model=Drive One\r\nSize=1\r\nModel=Drive Two\r\nSize=x\r\n",
         "Drive One\rSize=1\r\nDrive OneSize=1\nDrive Two\rSize=x\r\nDrive TwoSize=x\n"},
    };
    for (const Case& c : cases) {
        std::string trace;
        EXPECT_THROW(FormatDisksRow(c.output, AppendTo(trace)), std::invalid_argument);
        EXPECT_EQ(trace, c.trace);
    }
}

}  // namespace
}  // namespace orva
