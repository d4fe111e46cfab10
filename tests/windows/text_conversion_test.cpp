// Text between code pages and UTF-16, under Wine with code page 949.
#include "win32/text_conversion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace orva {
namespace {

TEST(ToWide, DecodesTheGivenCodePageUpToTheFirstNul) {
    struct Case {
        std::string narrow;
        unsigned codePage;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", 949, L""},
        {"abc", 949, L"abc"},
        {"\xBD\xC7\xC6\xD0", 949, L"실패"},
        {std::string("ab\0cd", 5), 949, L"ab"},
        {std::string("\0abc", 4), 949, L""},
        {"NVIDIA GeForce \xBB\xEF\xBC\xBA", 949, L"NVIDIA GeForce 삼성"},
        // The same bytes in the OEM and the ANSI code page of a Spanish system.
        {"b\xA0sico", 850, L"b\u00E1sico"},
        {"b\xA0sico", 1252, L"b\u00A0sico"},
        {"\xEC\x82\xBC\xEC\x84\xB1 b\xC3\xA1sico", CP_UTF8, L"삼성 b\u00E1sico"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWide(c.narrow, c.codePage), c.wide) << c.narrow << " in " << c.codePage;
    }
}

TEST(ToUtf8, EncodesEveryCharacterInPlace) {
    struct Case {
        std::wstring wide;
        std::string utf8;
    };
    const Case cases[] = {
        {L"", ""},
        {L"Wine Disk Drive", "Wine Disk Drive"},
        {L"실패", "\xEC\x8B\xA4\xED\x8C\xA8"},
        {L"b\u00E1sico", "b\xC3\xA1sico"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf8(c.wide), c.utf8);
    }
}

}  // namespace
}  // namespace orva
