// Runs under Wine in a throwaway prefix whose registry the test writes itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "probes/failure_texts.h"
#include "probes/os.h"
#include "probes/processor.h"
#include "tests/windows/processor_count.h"
#include "tests/windows/registry_value.h"
#include "win32/registry.h"

namespace orva {
namespace {

constexpr const wchar_t* kOsKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kCpuKey = L"Hardware\\Description\\System\\CentralProcessor\\0";

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
        EXPECT_EQ(ProbeOs(), c.row) << c.stored.size() << " characters";
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
    EXPECT_EQ(ProbeOs(), kOsFailureText);
    EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
}

TEST(ProbeOs, ValueWithoutTerminatingNulEndsWithTheDeliveredBytes) {
    RegistryValue product(kOsKey, L"ProductName");
    const wchar_t bytes[] = {L'W', L'i', L'n', L'X'};
    product.SetRaw(REG_SZ, bytes, 3 * sizeof(wchar_t));
    EXPECT_EQ(ProbeOs(), L"Win");
}

TEST(ProbeProcessor, KeepsTheNameAsStoredAndAddsTheMachineCount) {
    RegistryValue name(kCpuKey, L"ProcessorNameString", 0);
    const std::wstring suffix = FormatProcessorRow(L"", LogicalProcessors());
    struct Case {
        std::wstring stored;
    };
    const Case cases[] = {
        {L"Intel(R) Core(TM) i5-9400F CPU @ 2.90GHz"},
        {L"AMD Ryzen 7 5800X 8-Core Processor   "},
        {std::wstring(99, L'C')},
    };
    for (const Case& c : cases) {
        name.SetText(c.stored);
        EXPECT_EQ(ProbeProcessor(), c.stored + suffix);
    }
}

TEST(ProbeProcessor, UnreadableNameGivesTheFailureText) {
    RegistryValue name(kCpuKey, L"ProcessorNameString", 0);
    const int keysBefore = UniqueRegKey::LiveCount();
    name.Delete();
    EXPECT_EQ(ProbeProcessor(), kProcessorFailureText);
    name.SetText(std::wstring(100, L'C'));
    EXPECT_EQ(ProbeProcessor(), kProcessorFailureText);
    EXPECT_EQ(UniqueRegKey::LiveCount(), keysBefore);
}

// tests/windows/processors.sh runs this on a machine made to list 48
// processors, more than the 32 a 32-bit process sees per group.
TEST(ProbeProcessor, CountsEveryLogicalProcessor) {
    wchar_t planted[16] = {};
    if (GetEnvironmentVariableW(L"ORVA_PLANTED_PROCESSORS", planted, 16) > 0) {
        ASSERT_EQ(std::to_wstring(LogicalProcessors()), planted) << "the planted list is not seen";
    }
    const std::wstring row = ProbeProcessor();
    const std::wstring expected = L" * " + std::to_wstring(LogicalProcessors()) + L" 코어";
    ASSERT_GE(row.size(), expected.size());
    EXPECT_EQ(row.substr(row.size() - expected.size()), expected);
}

}  // namespace
}  // namespace orva
