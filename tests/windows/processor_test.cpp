// ProbeProcessor under Wine, with registry values the test writes itself.
#include "probes/processor.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/failure_texts.h"
#include "app/report.h"
#include "tests/windows/processor_count.h"
#include "tests/windows/registry_value.h"
#include "win32/registry.h"

namespace orva {
namespace {

constexpr const wchar_t* kCpuKey = L"Hardware\\Description\\System\\CentralProcessor\\0";

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
    EXPECT_EQ(RowValue(kCpuRow, ProbeProcessor), kProcessorFailureText);
    name.SetText(std::wstring(100, L'C'));
    EXPECT_EQ(RowValue(kCpuRow, ProbeProcessor), kProcessorFailureText);
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
