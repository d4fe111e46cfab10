// ProbeMemory's way to the firmware's SMBIOS table under Wine, whose table
// holds no memory device.
#include "probes/memory.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/windows/memory_sizes.h"
#include "win32/firmware.h"

namespace orva {
namespace {

TEST(ProbeMemory, WithoutTheListsKeyTheFirmwaresTableIsReadWholeAndWinesNamesNoType) {
    const std::string raw = ReadFirmwareTable(kRawSmbiosProvider, 0);
    ASSERT_GE(raw.size(), 8U + 6U) << "no SMBIOS table";
    std::uint32_t length = 0;
    std::memcpy(&length, raw.data() + 4, sizeof length);
    EXPECT_EQ(length, raw.size() - 8);
    EXPECT_EQ(raw.substr(raw.size() - 6, 2), "\x7F\x04") << "no end structure last";
    // What Windows 7 answers for the query's property.
    const ListText list{"\r\r\nNode - PC\r\r\nERROR:\r\r\nDescription = Invalid query\r\r\n",
                        ListEncoding::kOemCodePage};
    EXPECT_EQ(ProbeMemory(list), MemorySizes());
}

}  // namespace
}  // namespace orva
