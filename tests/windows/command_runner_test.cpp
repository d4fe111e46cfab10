// RunCommand and the narrow/wide conversions, under Wine with code page 949.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "probes/command_runner.h"
#include "tests/windows/tool_fixture.h"

namespace orva {
namespace {

// The stand-in tool run by its path from a folder of our own; for a query it
// does not know ("other") it prints wmic-other.txt byte for byte.
class StandInCommand {
public:
    StandInCommand() : folder_(L"orva-runner") {
        CopyFileW((ExeFolder() + L"fake_wmic.exe").c_str(), (folder_.path() + L"tool.exe").c_str(),
                  FALSE);
    }
    std::string Run(const std::string& output) {
        WriteBytes(folder_.path() + L"wmic-other.txt", output);
        return RunCommand(("\"" + ToNarrow(folder_.path()) + "tool.exe\" other").c_str());
    }

private:
    TempFolder folder_;
};

BOOL CALLBACK CountConsoleWindow(HWND window, LPARAM counter) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"ConsoleWindowClass" || std::wstring(name) == L"WineConsoleClass") {
        ++*reinterpret_cast<int*>(counter);
    }
    return TRUE;
}

// Console windows on the desktop (Windows and Wine name their class differently).
int CountConsoleWindows() {
    int count = 0;
    EnumWindows(CountConsoleWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(RunCommand, ReturnsTheWholeOutputReadInTextMode) {
    struct Case {
        const char* what;
        std::string written;
        std::string returned;
    };
    const std::string longLine(300, 'x');
    std::string big;
    for (int i = 0; i < 2000; ++i) {
        big += "Model=disk " + std::to_string(i) + "\r\n";
    }
    std::string bigInTextMode;
    for (int i = 0; i < 2000; ++i) {
        bigInTextMode += "Model=disk " + std::to_string(i) + "\n";
    }
    const Case cases[] = {
        {"nothing", "", ""},
        {"a line longer than one chunk", longLine + "\r\nend", longLine + "\nend"},
        {"the list format's CR CR LF", "\r\r\nModel=A\r\r\nSize=1\r\r\n",
         "\r\nModel=A\r\nSize=1\r\n"},
        {"a lone CR", "a\rb", "a\rb"},
        {"a NUL drops the rest of its chunk", std::string("ab\0cd\r\nef", 9), "abef"},
        {"a NUL in a line's second chunk", std::string(127, 'a') + std::string("bbb\0ccc\r\nd", 10),
         std::string(127, 'a') + "bbbd"},
        {"output of 30 KB", big, bigInTextMode},
    };
    StandInCommand command;
    for (const Case& c : cases) {
        EXPECT_EQ(command.Run(c.written), c.returned) << c.what;
    }
}

TEST(RunCommand, CollectsStandardOutputOnly) {
    EXPECT_EQ(RunCommand("echo out& echo err 1>&2"), "out\n");
}

TEST(RunCommand, KeepsOneHiddenConsoleOverManyCalls) {
    FreeConsole();  // so that the first call below has to make the console
    const int before = CountConsoleWindows();
    ASSERT_EQ(RunCommand("echo 1"), "1\n");
    const HWND console = GetConsoleWindow();
    ASSERT_NE(console, nullptr) << "no console window (is there a display?)";
    EXPECT_FALSE(IsWindowVisible(console));
    EXPECT_EQ(CountConsoleWindows(), before + 1);
    for (int i = 2; i <= 50; ++i) {
        ASSERT_EQ(RunCommand(("echo " + std::to_string(i)).c_str()), std::to_string(i) + "\n");
    }
    EXPECT_EQ(GetConsoleWindow(), console);
    EXPECT_FALSE(IsWindowVisible(console));
    EXPECT_EQ(CountConsoleWindows(), before + 1);
}

TEST(RunCommand, PipeThatCannotOpenRaisesTheKoreanMessage) {
    // _popen starts the interpreter named by COMSPEC.
    const char* saved = std::getenv("COMSPEC");
    const std::string comspec = saved != nullptr ? saved : "";
    ASSERT_EQ(_putenv("COMSPEC=C:\\nowhere\\cmd.exe"), 0);
    std::string message;
    try {
        RunCommand("echo never");
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    _putenv(("COMSPEC=" + comspec).c_str());
    EXPECT_EQ(message, "_popen() \xBD\xC7\xC6\xD0!");
    EXPECT_EQ(ToWide(message), L"_popen() 실패!");
}

TEST(ToWide, DecodesTheAnsiCodePageUpToTheFirstNul) {
    ASSERT_EQ(GetACP(), 949u) << "run under the ko_KR locale";
    struct Case {
        std::string narrow;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"abc", L"abc"},
        {"\xBD\xC7\xC6\xD0", L"실패"},
        {std::string("ab\0cd", 5), L"ab"},
        {std::string("\0abc", 4), L""},
        {"NVIDIA GeForce \xBB\xEF\xBC\xBA", L"NVIDIA GeForce 삼성"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWide(c.narrow), c.wide) << c.narrow;
    }
}

TEST(ToNarrow, EncodesInTheAnsiCodePageKeepingEveryCharacter) {
    ASSERT_EQ(GetACP(), 949u) << "run under the ko_KR locale";
    struct Case {
        std::wstring wide;
        std::string narrow;
    };
    const Case cases[] = {
        {L"", ""},
        {L"Wine Disk Drive", "Wine Disk Drive"},
        {L"실패", "\xBD\xC7\xC6\xD0"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToNarrow(c.wide), c.narrow);
    }
}

}  // namespace
}  // namespace orva
