// WMI through COM: the connection a session keeps, and values as text.
#include "win32/wmi.h"

#include <windows.h>
#include <wbemcli.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/common/test_kit.h"
#include "tests/windows/wmi_fixture.h"
#include "win32/handles.h"

namespace orva {
namespace {

// Queries inside a session on a fresh thread, and what stays up between them.
struct SessionRun {
    int ownersBefore = 0;
    int ownersAfterFirst = 0;
    int ownersAfterSecond = 0;
    int ownersAfterSession = 0;
    bool sameConnection = false;
    HRESULT comDuring = E_FAIL;  // CoInitializeEx inside the session: S_FALSE if COM is up
    HRESULT comAfter = E_FAIL;   // and after it: S_OK once the session took COM down
    std::string disks;
    std::string video;
};

DWORD WINAPI QueriesInSession(void* parameter) {
    SessionRun& run = *static_cast<SessionRun*>(parameter);
    run.ownersBefore = LiveComOwners();
    {
        ThreadWmi wmi;
        run.disks = QueryWmiListText(kDiskQuery, wmi.session);
        run.ownersAfterFirst = LiveComOwners();
        IWbemServices* const first = wmi.session.Services();
        run.video = QueryWmiListText(kVideoQuery, wmi.session);
        run.ownersAfterSecond = LiveComOwners();
        run.sameConnection = first != nullptr && wmi.session.Services() == first;
        run.comDuring = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(run.comDuring)) {
            CoUninitialize();
        }
    }
    run.ownersAfterSession = LiveComOwners();
    run.comAfter = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(run.comAfter)) {
        CoUninitialize();
    }
    return 0;
}

TEST(WmiSession, KeepsOneConnectionForItsQueriesAndTakesCOMDownAtItsEnd) {
    SessionRun run;
    const HANDLE thread = CreateThread(nullptr, 0, QueriesInSession, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(FirstValue(run.disks, "Model=", "Size="), "Wine Disk Drive") << run.disks;
    EXPECT_FALSE(FirstValue(run.video, "Name=", "AdapterRAM=").empty()) << run.video;
    EXPECT_EQ(run.ownersAfterFirst, run.ownersBefore + 1) << "only the connection stays";
    EXPECT_EQ(run.ownersAfterSecond, run.ownersAfterFirst);
    EXPECT_TRUE(run.sameConnection);
    EXPECT_EQ(run.comDuring, S_FALSE);
    EXPECT_EQ(run.ownersAfterSession, run.ownersBefore);
    EXPECT_EQ(run.comAfter, S_OK);
}

// Text stays whole whatever the ANSI code page holds: here 949, without the
// Spanish name's accented letter.
TEST(VariantText, PrintsValuesAsTheToolDoesWithTextInUtf8) {
    struct Case {
        const char* what;
        VARTYPE type;
        long cimType;
        LONG number;
        const wchar_t* text;
        std::string printed;
    };
    const Case cases[] = {
        {"NULL", VT_NULL, CIM_STRING, 0, nullptr, ""},
        {"empty", VT_EMPTY, CIM_UINT32, 0, nullptr, ""},
        {"uint32 above 2 GiB", VT_I4, CIM_UINT32, -1048576, nullptr, "4293918720"},
        {"uint32 maximum", VT_I4, CIM_UINT32, -1, nullptr, "4294967295"},
        {"uint16 arrives as I4", VT_I4, CIM_UINT16, 26, nullptr, "26"},
        {"sint32 stays signed", VT_I4, CIM_SINT32, -5, nullptr, "-5"},
        {"uint64 arrives as text", VT_BSTR, CIM_UINT64, 0, L"2000398934016", "2000398934016"},
        {"Hangul", VT_BSTR, CIM_STRING, 0, L"삼성 SSD 860", "\xEC\x82\xBC\xEC\x84\xB1 SSD 860"},
        {"a Spanish name", VT_BSTR, CIM_STRING, 0,
         L"Adaptador de pantalla b\u00E1sico de Microsoft",
         "Adaptador de pantalla b\xC3\xA1sico de Microsoft"},
        {"empty text", VT_BSTR, CIM_STRING, 0, L"", ""},
        {"boolean", VT_BOOL, CIM_BOOLEAN, VARIANT_TRUE, nullptr, "TRUE"},
    };
    for (const Case& c : cases) {
        VariantGuard value;
        VARIANT* slot = value.put();
        V_VT(slot) = c.type;
        if (c.type == VT_BSTR) {
            V_BSTR(slot) = SysAllocString(c.text);
        } else if (c.type == VT_BOOL) {
            V_BOOL(slot) = static_cast<VARIANT_BOOL>(c.number);
        } else if (c.type == VT_I4) {
            V_I4(slot) = c.number;
        }
        EXPECT_EQ(VariantText(value.get(), c.cimType), c.printed) << c.what;
    }
}

}  // namespace
}  // namespace orva
