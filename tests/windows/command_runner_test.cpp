// RunCommand: the stand-in tool run by its path, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "tests/common/test_kit.h"
#include "tests/windows/tool_fixture.h"
#include "win32/command_runner.h"
#include "win32/handles.h"

namespace orva {
namespace {

// The stand-in tool run by its path from a folder of our own; for a query it
// does not know ("other") it prints wmic-other.txt byte for byte.
class StandInCommand {
public:
    StandInCommand() : folder_(L"orva-runner") {
        CopyFileW((ExeFolder() + L"fake_wmic.exe").c_str(), Tool().c_str(), FALSE);
    }
    std::wstring Tool() const { return folder_.path() + L"tool.exe"; }
    void Beside(const std::wstring& name, const std::string& bytes) {
        WriteBytes(folder_.path() + name, bytes);
    }
    void Remove(const std::wstring& name) { DeleteFileW((folder_.path() + name).c_str()); }
    std::optional<std::string> Run(const std::string& output,
                                   unsigned long timeLimitMs = kToolTimeLimitMs) {
        Beside(L"wmic-other.txt", output);
        return RunCommand(Tool(), L"\"" + Tool() + L"\" other", timeLimitMs);
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

// Every byte value, in an order that no line-end handling leaves alone.
std::string AllBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 20261207;
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

TEST(RunCommand, ReturnsExactlyTheBytesTheToolWrote) {
    struct Case {
        const char* what;
        std::string written;
    };
    const Case cases[] = {
        {"nothing", ""},
        {"a line longer than the old 127-byte chunks", std::string(300, 'x') + "\r\nend"},
        {"the list format's CR CR LF", "\r\r\nModel=A\r\r\nSize=1\r\r\n"},
        {"CR LF and a lone LF", "a\r\nb\nc"},
        {"a lone CR", "a\rb\r"},
        {"Ctrl-Z, which ends a text-mode read", "Model=A\x1A\r\nSize=1\x1A\x1A\r\n"},
        {"NULs", std::string("ab\0cd\r\n\0\0ef\0", 12)},
        {"3 MB of every byte value", AllBytes(3u << 20)},
    };
    StandInCommand command;
    for (const Case& c : cases) {
        const std::optional<std::string> output = command.Run(c.written);
        ASSERT_TRUE(output.has_value()) << c.what;
        EXPECT_EQ(output->size(), c.written.size()) << c.what;
        EXPECT_TRUE(*output == c.written) << c.what;
    }
}

TEST(RunCommand, CollectsStandardOutputOnly) {
    StandInCommand command;
    command.Beside(L"wmic-other.err", "err\r\n");
    EXPECT_EQ(command.Run("out\r\n"), "out\r\n");
}

TEST(RunCommand, MakesNoConsoleOverManyRuns) {
    FreeConsole();  // so that a console after the runs can only be the runner's
    const int before = CountConsoleWindows();
    StandInCommand command;
    for (int i = 1; i <= 30; ++i) {
        ASSERT_EQ(command.Run(std::to_string(i) + "\r\n"), std::to_string(i) + "\r\n");
    }
    EXPECT_EQ(GetConsoleWindow(), nullptr);
    EXPECT_EQ(CountConsoleWindows(), before);
}

TEST(RunCommand, AToolThatCannotStartGivesNothing) {
    TempFolder folder(L"orva-not-a-tool");
    WriteBytes(folder.path() + L"text.exe", "Model=not a program\r\n");
    CreateDirectoryW((folder.path() + L"folder.exe").c_str(), nullptr);
    const std::wstring paths[] = {folder.path() + L"missing.exe", folder.path() + L"text.exe",
                                  folder.path() + L"folder.exe"};
    const int owners = UniqueKernelHandle::LiveCount() + UniqueFile::LiveCount();
    for (const std::wstring& path : paths) {
        EXPECT_EQ(RunCommand(path, L"\"" + path + L"\" other", kToolTimeLimitMs), std::nullopt)
            << ToUtf8(path);
    }
    RemoveDirectoryW((folder.path() + L"folder.exe").c_str());
    EXPECT_EQ(UniqueKernelHandle::LiveCount() + UniqueFile::LiveCount(), owners);
}

// The stand-in writes a whole list, starts a process of its own and never
// ends: after the bound both are gone and the list is not used.
TEST(RunCommand, EndsAToolThatOverrunsItsBoundWithAllItStartedAndDiscardsItsOutput) {
    constexpr unsigned long kBoundMs = 3000;
    // Ending the tool, and the reader's grace after it, emulated.
    constexpr unsigned long kEndingMs = 5000;
    StandInCommand command;
    const int owners = UniqueKernelHandle::LiveCount() + UniqueFile::LiveCount();
    command.Beside(L"wmic-other.hang", "");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(command.Run("Model=A\r\r\nSize=1\r\r\n", kBoundMs), std::nullopt);
    EXPECT_GE(GetTickCount64() - start, kBoundMs) << "ended before its bound";
    EXPECT_LE(GetTickCount64() - start, kBoundMs + kEndingMs) << "ended long after its bound";
    EXPECT_TRUE(NoProcessNamed(L"tool.exe")) << "the tool or the process it started still runs";
    EXPECT_EQ(UniqueKernelHandle::LiveCount() + UniqueFile::LiveCount(), owners);

    command.Remove(L"wmic-other.hang");
    EXPECT_EQ(command.Run("Model=B\r\r\n", kBoundMs), "Model=B\r\r\n") << "the next run";
}

// A pipe of the caller's own, inheritable, as any handle of a program may be:
// once its write end is closed here, its read end sees the end at once,
// since no tool holds a copy.
TEST(RunCommand, HandsTheToolNoOtherHandleOfTheCaller) {
    StandInCommand command;
    command.Beside(L"wmic-other.hang", "");
    command.Beside(L"wmic-other.txt", "");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle readEnd;
    UniqueKernelHandle writeEnd;
    ASSERT_TRUE(CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0));
    RunningCommand stuck = StartCommand(command.Tool(), L"\"" + command.Tool() + L"\" other", 4000);
    Sleep(1000);
    writeEnd.reset();
    DWORD available = 0;
    EXPECT_FALSE(PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr))
        << "the pipe is still open: the tool holds its write end";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
    const auto finished = stuck.Finish(nullptr);
    ASSERT_TRUE(std::holds_alternative<std::optional<std::string>>(finished));
    EXPECT_EQ(std::get<std::optional<std::string>>(finished), std::nullopt);
}

// A program that dies while its tool runs (ended from the task manager, say)
// takes the tool and all it started along.
TEST(RunCommand, ACallerThatDiesLeavesNoToolRunning) {
    StandInCommand command;
    command.Beside(L"wmic-other.hang", "");
    command.Beside(L"wmic-other.txt", "");
    const std::wstring caller = ExeFolder() + L"orva_run_command.exe";
    std::wstring line = L"\"" + caller + L"\" \"" + command.Tool() + L"\" \"\\\"" + command.Tool() +
                        L"\\\" other\" 60000";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(caller.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started))
        << "orva_run_command.exe must be built beside the test program";
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    bool running = false;
    for (int i = 0; i < 100 && !running; ++i) {
        Sleep(100);
        running = !NoProcessNamed(L"tool.exe", 1);
    }
    ASSERT_TRUE(running) << "the tool never started";
    Sleep(2000);  // its own process started too, emulated or not
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 10000);
    EXPECT_TRUE(NoProcessNamed(L"tool.exe")) << "the tool outlived its caller";
}

}  // namespace
}  // namespace orva
