#include "probes/wmic.h"

#include <gtest/gtest.h>

#include <string>

namespace orva {
namespace {

TEST(WmicCommandLine, RunsTheToolFromTheSystemFolderWithTheQueryUnchanged) {
    struct Case {
        const ListQuery& query;
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

}  // namespace
}  // namespace orva
