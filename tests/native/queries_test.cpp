#include "probes/queries.h"

#include <gtest/gtest.h>

#include <string>

namespace orva {
namespace {

TEST(HoldsQueryKey, AcceptsOnlyOutputWithTheExactKey) {
    struct Case {
        std::string output;
        const ListQuery& query;
        bool holds;
    };
    const Case cases[] = {
        {"\r\n\r\nModel=Samsung SSD\r\nSize=500105249280\r\n", kDiskQuery, true},
        {"Model=", kDiskQuery, true},
        {"", kDiskQuery, false},
        {"MODEL=x\r\nSIZE=1\r\n", kDiskQuery, false},
        {"Size=1\r\n", kDiskQuery, false},
        // Wine's tool: UTF-16 with a byte order mark, cut at the first NUL.
        {"\xFF\xFE"
         "A",
         kVideoQuery, false},
        {std::string("N\0a\0m\0e\0=\0", 10), kVideoQuery, false},
        {"AdapterRAM=1\r\nName=GTX\r\n", kVideoQuery, true},
        {"'wmic' is not recognized as an internal or external command,\r\n", kMemoryQuery, false},
        {"SMBIOSMemoryType=26\r\n", kMemoryQuery, true},
        {"SMBIOSMemoryType=26\r\n", kVideoQuery, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoldsQueryKey(c.output, c.query), c.holds) << c.output;
    }
}

}  // namespace
}  // namespace orva
