// One run of the program under test, started from the folder of the test
// program that drives it, with its standard output kept in a file; and the
// small helpers around it that every end-to-end suite needs.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/program_driver.h"
#include "win32/handles.h"

namespace orva::e2e {

inline constexpr DWORD kStartMs = 30000;
inline constexpr DWORD kBoxMs = 15000;
inline constexpr DWORD kExitMs = 15000;

inline constexpr const wchar_t* kShippedProgram = L"ORVA사양확인프로그램.exe";
// The same program with tests/hooks linked in (see tests/hooks/test_hooks.h).
inline constexpr const wchar_t* kTestHooksProgram = L"orva_testhooks.exe";

inline std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value) : std::wstring();
}

inline std::wstring FolderOfThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

inline std::wstring ProgramPath(const wchar_t* file = kShippedProgram) {
    return FolderOfThisProgram() + file;
}

// Where logs and screenshots of this run go (the suite's .sh sets it).
inline std::wstring OutputFolder() {
    std::wstring folder = Environment(L"ORVA_E2E_OUTPUT");
    if (folder.empty()) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = temp;
    }
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}

inline std::string ReadWholeFile(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!file) {
        return bytes;
    }
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return bytes;
}

inline std::string TestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

inline std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// One run of the program, with its standard output and its standard error in
// files of their own; closed (or, if it will not close, ended) when the test
// is over.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& name, const wchar_t* file = kShippedProgram)
        : RunningProgram(name, ProgramPath(file)) {}

    // A copy of the program elsewhere.
    RunningProgram(const std::wstring& name, const std::wstring& program)
        : outputPath_(OutputFolder() + name + L".stdout"),
          errorsPath_(OutputFolder() + name + L".stderr") {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const UniqueFile output(CreateFileW(outputPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                            &inherit, CREATE_ALWAYS, 0, nullptr));
        const UniqueFile errors(CreateFileW((OutputFolder() + name + L".stderr").c_str(),
                                            GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                            0, nullptr));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        startup.hStdOutput = output.get();
        startup.hStdError = errors.get();
        std::wstring commandLine = L"\"" + program + L"\"";
        PROCESS_INFORMATION process{};
        // Started as from Explorer, without a console to inherit: Wine would
        // hand this test's console to the program, where Windows never does.
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                           DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
            process_.reset(process.hProcess);
            UniqueKernelHandle thread(process.hThread);
            id_ = process.dwProcessId;
            window_ = WaitForWindow(id_, kMainWindowClass, kStartMs);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram() {
        for (HWND box : WindowsOf(id_, kMessageBoxClass)) {
            DismissMessageBox(box);
        }
        if (window_ != nullptr) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        if (process_ && WaitForSingleObject(process_.get(), kExitMs) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 1);
        }
    }

    HWND window() const { return window_; }
    HWND Button(int id) const { return GetDlgItem(window_, id); }
    DWORD id() const { return id_; }

    void Click(int buttonId) const { PostMessageW(Button(buttonId), BM_CLICK, 0, 0); }

    HWND WaitForMessageBox(DWORD timeoutMs = kBoxMs) const {
        return WaitForWindow(id_, kMessageBoxClass, timeoutMs);
    }

    // The exit code, or STILL_ACTIVE if it did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = kExitMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.get(), &code);
        }
        return code;
    }

    std::string Output() const { return ReadWholeFile(outputPath_); }
    std::string Errors() const { return ReadWholeFile(errorsPath_); }

private:
    std::wstring outputPath_;
    std::wstring errorsPath_;
    UniqueKernelHandle process_;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

}  // namespace orva::e2e
