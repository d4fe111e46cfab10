#include "probes/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/trace_text.h"

namespace orva {
namespace {

using Pieces = std::vector<std::string>;

TEST(SplitString, CutsAtEveryNonOverlappingOccurrence) {
    struct Case {
        std::string text;
        std::string delimiter;
        Pieces pieces;
    };
    const Case cases[] = {
        {"a=b=c", "=", {"a", "b", "c"}},
        {"", "Size=", {""}},
        {"Model=", "Model=", {"", ""}},
        {"xModel=Model=y", "Model=", {"x", "", "y"}},
        {"aaa", "aa", {"", "a"}},
        {"MODEL=abc", "Model=", {"MODEL=abc"}},
        {"no key here", "Name=", {"no key here"}},
        {"\r\nName=A\r\n\r\nName=B\r\n", "Name=", {"\r\n", "A\r\n\r\n", "B\r\n"}},
        {std::string("a\0Name=b", 8), "Name=", {std::string("a\0", 2), "b"}},
        {"abc", "", {"abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.delimiter);
        EXPECT_EQ(SplitString(c.text, c.delimiter), c.pieces);
    }
}

TEST(StripChar, RemovesEveryOccurrenceAndKeepsTheRest) {
    struct Case {
        std::string text;
        char c;
        std::string result;
    };
    const Case cases[] = {
        {"A\r\r\nB", '\n', "A\r\rB"},
        {"A\r\rB", '\r', "AB"},
        {"\n\n\n", '\n', ""},
        {"", '\r', ""},
        {"unchanged", '\n', "unchanged"},
        {" a b ", ' ', "ab"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        StripChar(text, c.c);
        EXPECT_EQ(text, c.result);
    }
}

TEST(TraceLine, WritesEveryByteThenALineEnd) {
    std::string out;
    TraceLine(AppendTo(out), std::string("a\r\0b", 4));
    TraceLine(AppendTo(out), "");
    EXPECT_EQ(out, std::string("a\r\0b\n\n", 6));
}

}  // namespace
}  // namespace orva
