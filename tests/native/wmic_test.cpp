#include "probes/wmic.h"

#include <gtest/gtest.h>

#include <string>

namespace orva {
namespace {

TEST(WmicCommandLine, RunsTheToolFromTheSystemFolderWithTheQueryUnchanged) {
    struct Case {
        const WmicQuery& query;
        std::wstring line;
    };
    const Case cases[] = {
        {kDiskQuery,
         L"\"C:\\Windows\\system32\\wbem\\WMIC.exe\" diskdrive where (index='0' or index='1') GET "
         L"MODEL, SIZE /format:list"},
        {kMemoryQuery,
         L"\"C:\\Windows\\system32\\wbem\\WMIC.exe\" memorychip get SMBIOSMemoryType /format:list"},
        {kVideoQuery,
         L"\"C:\\Windows\\system32\\wbem\\WMIC.exe\" path win32_VideoController get "
         L"name,AdapterRAM,PNPDeviceID /format:list"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WmicCommandLine(L"C:\\Windows\\system32", c.query), c.line);
    }
    EXPECT_EQ(WmicPath(L"D:\\내 Windows\\system32"), L"D:\\내 Windows\\system32\\wbem\\WMIC.exe");
    EXPECT_EQ(WmicCommandLine(L"D:\\내 Windows\\system32", kMemoryQuery),
              L"\"D:\\내 Windows\\system32\\wbem\\WMIC.exe\" memorychip get SMBIOSMemoryType "
              L"/format:list");
}

TEST(WqlText, SelectsTheListedPropertiesOfTheClass) {
    struct Case {
        const WmicQuery& query;
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

TEST(HoldsQueryKey, AcceptsOnlyOutputWithTheExactKey) {
    struct Case {
        std::string output;
        const WmicQuery& query;
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
