#include "probes/processor.h"

#include <gtest/gtest.h>

#include <string>

namespace orva {
namespace {

TEST(FormatProcessorRow, AppendsCountAndCoreWordAfterTheNameAsStored) {
    struct Case {
        std::wstring name;
        unsigned long count;
        std::wstring row;
    };
    const Case cases[] = {
        {L"Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz", 12,
         L"Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz * 12 코어"},
        {L"CPU", 1, L"CPU * 1 코어"},
        {L"CPU", 16, L"CPU * 16 코어"},
        {L"CPU   ", 6, L"CPU    * 6 코어"},
        {L"  CPU", 128, L"  CPU * 128 코어"},
        {L"", 4, L" * 4 코어"},
        {std::wstring(99, L'x'), 2048, std::wstring(99, L'x') + L" * 2048 코어"},
        {std::wstring(120, L'x'), 99999, std::wstring(120, L'x') + L" * 99999 코어"},
        {L"CPU", 4294967295UL, L"CPU * 4294967295 코어"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatProcessorRow(c.name, c.count), c.row);
    }
}

}  // namespace
}  // namespace orva
