#include "probes/os.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(ApplyWindows11Name, RenamesWindows10OnlyFromBuild22000On) {
    struct Case {
        const wchar_t* name;
        const wchar_t* build;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"Windows 10 Pro", L"22000", L"Windows 11 Pro"},
        {L"Windows 10 Home", L"26100", L"Windows 11 Home"},
        {L"Windows 10 Pro", L"21999", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L"19045", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L"022000", L"Windows 11 Pro"},
        {L"Windows 10 Pro", L"100000", L"Windows 11 Pro"},
        {L"Windows 10 Pro", L"", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L"22000a", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L" 22000", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L"-22000", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L"00000", L"Windows 10 Pro"},
        {L"Windows 10 Pro", L"99999999999999999999999", L"Windows 11 Pro"},
        {L"Windows 10 Pro for Windows 10 fans", L"22631", L"Windows 11 Pro for Windows 10 fans"},
        {L"Windows Server 2022 Standard", L"20348", L"Windows Server 2022 Standard"},
        {L"Windows 7 Ultimate", L"22000", L"Windows 7 Ultimate"},
        {L"Microsoft Windows 10", L"22000", L"Microsoft Windows 11"},
        {L"", L"22000", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyWindows11Name(c.name, c.build), c.result) << c.name << " / " << c.build;
    }
}

}  // namespace
}  // namespace orva
