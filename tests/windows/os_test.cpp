// ProbeOs under Wine, with registry values the test writes itself.
#include "probes/os.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/failure_texts.h"
#include "app/report.h"
#include "tests/windows/registry_value.h"
#include "win32/registry.h"

namespace orva {
namespace {

constexpr const wchar_t* kOsKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

TEST(ProbeOs, ReadsTheProductNameAsStored) {
    RegistryValue product(kOsKey, L"ProductName");
    RegistryValue build(kOsKey, L"CurrentBuildNumber");
    build.SetText(L"19045");
    struct Case {
        std::wstring stored;
        std::wstring row;
    };
    const Case cases[] = {
        {L"Windows 10 Pro", L"Windows 10 Pro"},
        {L"  Windows 7 Ultimate  ", L"  Windows 7 Ultimate  "},
        {L"", L""},
        {std::wstring(99, L'W'), std::wstring(99, L'W')},
        {std::wstring(100, L'W'), kOsFailureText},
        {std::wstring(2000, L'W'), kOsFailureText},
        {L"윈도우 10 홈", L"윈도우 10 홈"},
    };
    for (const Case& c : cases) {
        product.SetText(c.stored);
        EXPECT_EQ(RowValue(kOsRow, ProbeOs), c.row) << c.stored.size() << " characters";
    }
}

TEST(ProbeOs, ReadsTheSixtyFourBitView) {
    RegistryValue wide(kOsKey, L"ProductName", KEY_WOW64_64KEY);
    RegistryValue narrow(kOsKey, L"ProductName", KEY_WOW64_32KEY);
    wide.SetText(L"Windows 10 Pro (64-bit view)");
    narrow.SetText(L"Windows 10 Pro (32-bit view)");
    EXPECT_EQ(ProbeOs(), L"Windows 10 Pro (64-bit view)");
}

TEST(ProbeOs, NamesWindows11FromTheBuildNumber) {
    RegistryValue product(kOsKey, L"ProductName");
    RegistryValue build(kOsKey, L"CurrentBuildNumber");
    product.SetText(L"Windows 10 Pro");
    build.SetText(L"22631");
    EXPECT_EQ(ProbeOs(), L"Windows 11 Pro");
    build.SetText(L"19045");
    EXPECT_EQ(ProbeOs(), L"Windows 10 Pro");
    build.Delete();
    EXPECT_EQ(ProbeOs(), L"Windows 10 Pro");
}

TEST(ProbeOs, MissingNameGivesTheFailureTextAndClosesTheKey) {
    RegistryValue product(kOsKey, L"ProductName");
    product.Delete();
    const int keysBefore = UniqueRegKey::LiveCount();
    EXPECT_EQ(RowValue(kOsRow, ProbeOs), kOsFailureText);
    EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
}

TEST(ProbeOs, ValueWithoutTerminatingNulEndsWithTheDeliveredBytes) {
    RegistryValue product(kOsKey, L"ProductName");
    const wchar_t bytes[] = {L'W', L'i', L'n', L'X'};
    product.SetRaw(REG_SZ, bytes, 3 * sizeof(wchar_t));
    EXPECT_EQ(ProbeOs(), L"Win");
}

}  // namespace
}  // namespace orva
