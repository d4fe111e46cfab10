// Helpers for tests that run commands: a throwaway folder, and the stand-in
// WMI tool put in place of the system's own (and the original put back).
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "win32/command_runner.h"
#include "win32/handles.h"
#include "win32/text_conversion.h"

namespace orva {

inline std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << ToUtf8(path);
}

// A fresh folder under the temporary folder, deleted with its files.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((path_ + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& path() const { return path_; }  // ends with a backslash

private:
    std::wstring path_;
};

// Whether no process of this file name runs in the prefix, looked for up to
// `looks` times while an ended process may still be going away.
inline bool NoProcessNamed(const std::wstring& fileName, int looks = 50) {
    for (int attempt = 0; attempt < looks; ++attempt) {
        const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        bool found = false;
        for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more && !found;
             more = Process32NextW(snapshot.get(), &entry)) {
            found = _wcsicmp(entry.szExeFile, fileName.c_str()) == 0;
        }
        if (snapshot && !found) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

// The stand-in tool (fake_wmic.exe, built beside this test program) as
// <system folder>\wbem\wmic.exe with canned outputs, or no tool at all. The
// prefix's own tool is put back when the test ends.
class SystemTool {
public:
    SystemTool() {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        folder_ = std::wstring(system) + L"\\wbem\\";
        // A copy left by a test that crashed is the original: keep it.
        if (GetFileAttributesW(Saved().c_str()) != INVALID_FILE_ATTRIBUTES) {
            saved_ = true;
        } else {
            saved_ = MoveFileExW(Tool().c_str(), Saved().c_str(), 0) != FALSE;
        }
    }
    SystemTool(const SystemTool&) = delete;
    SystemTool& operator=(const SystemTool&) = delete;
    ~SystemTool() {
        Clear();
        if (saved_) {
            MoveFileExW(Saved().c_str(), Tool().c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }

    // files: name beside the tool (wmic-diskdrive.txt, wmic-echo.flag...) to bytes.
    void InstallStandIn(const std::map<std::wstring, std::string>& files) {
        Clear();
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"fake_wmic.exe").c_str(), Tool().c_str(), FALSE))
            << "fake_wmic.exe must be built beside the test program";
        for (const auto& [name, bytes] : files) {
            WriteBytes(folder_ + name, bytes);
            canned_.push_back(name);
        }
    }

    // As on Windows 11 24H2 and later.
    void Remove() { Clear(); }

private:
    std::wstring Tool() const { return folder_ + L"wmic.exe"; }
    std::wstring Saved() const { return folder_ + L"wmic.exe.orva-saved"; }
    void Clear() {
        DeleteFileW(Tool().c_str());
        for (const std::wstring& name : canned_) {
            DeleteFileW((folder_ + name).c_str());
        }
        canned_.clear();
    }

    std::wstring folder_;
    bool saved_ = false;
    std::vector<std::wstring> canned_;
};

}  // namespace orva
