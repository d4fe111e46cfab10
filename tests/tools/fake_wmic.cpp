// A stand-in for the WMI command-line tool in test prefixes. It prints, byte
// for byte, the file beside it that belongs to the query on its command line:
// wmic-diskdrive.txt, wmic-memorychip.txt or wmic-videocontroller.txt. A
// missing file prints nothing. With a file wmic-<query>.hang, it writes its
// output, starts a copy of itself that never ends and never ends either, for
// tests of a stuck tool. With a file wmic-<query>.delay holding a number of
// milliseconds, it waits that long after writing its output, for tests of a
// slow tool. A file wmic-<query>.err is written to standard error. With a file wmic-echo.flag
// beside it, it ends with a line "Line=" and its own command line, so tests can see exactly what
// reached it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kStuckChild = L"--stuck-child";

std::wstring QueryName(const wchar_t* commandLine) {
    std::wstring line(commandLine);
    for (wchar_t& c : line) {
        c = static_cast<wchar_t>(towlower(c));
    }
    if (line.find(L"diskdrive") != std::wstring::npos) {
        return L"diskdrive";
    }
    if (line.find(L"memorychip") != std::wstring::npos) {
        return L"memorychip";
    }
    if (line.find(L"videocontroller") != std::wstring::npos) {
        return L"videocontroller";
    }
    return L"other";
}

std::wstring BesideMe(const std::wstring& name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

}  // namespace

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CopyFileTo(const std::wstring& path, FILE* stream) {
    if (FILE* canned = _wfopen(path.c_str(), L"rb")) {
        char buffer[65536];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, canned)) > 0) {
            std::fwrite(buffer, 1, count, stream);
        }
        std::fclose(canned);
    }
    std::fflush(stream);
}

// A process of the tool's own that outlives it unless something ends both.
void StartStuckChild() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" " + kStuckChild;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

int wmain() {
    if (std::wstring(GetCommandLineW()).find(kStuckChild) != std::wstring::npos) {
        Sleep(INFINITE);
    }
    const std::wstring query = QueryName(GetCommandLineW());
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    CopyFileTo(BesideMe(L"wmic-" + query + L".err"), stderr);
    CopyFileTo(BesideMe(L"wmic-" + query + L".txt"), stdout);
    if (FILE* delay = _wfopen(BesideMe(L"wmic-" + query + L".delay").c_str(), L"rb")) {
        unsigned long milliseconds = 0;
        if (std::fscanf(delay, "%lu", &milliseconds) != 1) {
            milliseconds = 0;
        }
        std::fclose(delay);
        Sleep(milliseconds);
    }
    if (Exists(BesideMe(L"wmic-" + query + L".hang"))) {
        StartStuckChild();
        Sleep(INFINITE);
    }
    if (Exists(BesideMe(L"wmic-echo.flag"))) {
        char line[4096] = {};
        WideCharToMultiByte(CP_ACP, 0, GetCommandLineW(), -1, line, sizeof line - 1, nullptr,
                            nullptr);
        std::printf("Line=%s\r\n", line);
    }
    return 0;
}
