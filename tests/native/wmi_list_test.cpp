#include "probes/wmi_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probes/queries.h"
#include "probes/text.h"

namespace orva {
namespace {

TEST(WriteListText, WritesRecordsAsTheToolsListFormat) {
    struct Case {
        const char* what;
        std::vector<WmiRecord> records;
        std::string text;
    };
    const Case cases[] = {
        {"no records", {}, ""},
        {"one record",
         {{{"Model", "Wine Disk Drive"}, {"Size", "82252800000"}}},
         "\r\n\r\nModel=Wine Disk Drive\r\nSize=82252800000\r\n\r\n\r\n"},
        {"two records",
         {{{"Model", "A"}, {"Size", "1"}}, {{"Model", "B"}, {"Size", "2"}}},
         "\r\n\r\nModel=A\r\nSize=1\r\n\r\n\r\nModel=B\r\nSize=2\r\n\r\n\r\n"},
        {"names sorted whatever order they come in",
         {{{"Name", "GTX"}, {"AdapterRAM", "4293918720"}}},
         "\r\n\r\nAdapterRAM=4293918720\r\nName=GTX\r\n\r\n\r\n"},
        {"sorted without regard to case",
         {{{"size", "1"}, {"Name", "n"}, {"adapterRAM", "2"}, {"Model", "m"}}},
         "\r\n\r\nadapterRAM=2\r\nModel=m\r\nName=n\r\nsize=1\r\n\r\n\r\n"},
        {"a NULL value is an empty value",
         {{{"AdapterRAM", ""}, {"Name", ""}}},
         "\r\n\r\nAdapterRAM=\r\nName=\r\n\r\n\r\n"},
        {"values kept byte for byte",
         {{{"Model", " \xBB\xEF\xBC\xBA SSD "}}},
         "\r\n\r\nModel= \xBB\xEF\xBC\xBA SSD \r\n\r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteListText(c.records), c.text) << c.what;
    }
}

// The probes cut the text at a key and drop every CR and LF: each value then
// runs on into the next property of its record, as with the tool's output.
TEST(WriteListText, CutsAtKeysLikeTheToolsOutput) {
    const std::string text =
        WriteListText({{{"Size", "500"}, {"Model", "A"}}, {{"Size", "1000"}, {"Model", "B"}}});
    const std::vector<std::string> pieces = SplitString(text, "Model=");
    ASSERT_EQ(pieces.size(), 3u);
    std::vector<std::string> lines;
    for (std::string piece : pieces) {
        StripChar(piece, '\n');
        StripChar(piece, '\r');
        lines.push_back(piece);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"", "ASize=500", "BSize=1000"}));
}

TEST(WqlText, SelectsTheListedPropertiesOfTheClass) {
    struct Case {
        const ListQuery& query;
        std::string wql;
    };
    const Case cases[] = {
        {kDiskQuery, "SELECT Model, Size FROM Win32_DiskDrive WHERE Index=0 OR Index=1"},
        {kMemoryQuery, "SELECT SMBIOSMemoryType FROM Win32_PhysicalMemory"},
        {kVideoQuery, "SELECT AdapterRAM, Name, PNPDeviceID FROM Win32_VideoController"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WqlText(c.query), c.wql);
    }
}

}  // namespace
}  // namespace orva
