// A stand-in for the WMI command-line tool in test prefixes. It prints, byte
// for byte, the file beside it that belongs to the query on its command line:
// wmic-diskdrive.txt, wmic-memorychip.txt or wmic-videocontroller.txt. A
// missing file prints nothing. A file wmic-<query>.sleep holding a number of
// seconds makes it wait that long first, for tests of a slow tool.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

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

int wmain() {
    const std::wstring query = QueryName(GetCommandLineW());
    if (FILE* sleep = _wfopen(BesideMe(L"wmic-" + query + L".sleep").c_str(), L"r")) {
        unsigned seconds = 0;
        if (std::fscanf(sleep, "%u", &seconds) == 1) {
            Sleep(seconds * 1000);
        }
        std::fclose(sleep);
    }
    FILE* canned = _wfopen(BesideMe(L"wmic-" + query + L".txt").c_str(), L"rb");
    if (canned == nullptr) {
        return 0;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, canned)) > 0) {
        std::fwrite(buffer, 1, count, stdout);
    }
    std::fclose(canned);
    return 0;
}
