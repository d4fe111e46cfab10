// What tests, the bench and the test tools use of the program's plumbing
// beyond what the program itself uses: owners for handles only they make,
// and one-query forms of the program's runs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "probes/wmi_source.h"
#include "probes/wmic.h"
#include "win32/command_runner.h"
#include "win32/handles.h"
#include "win32/wmi.h"

namespace orva {

// The whole screen's device context from GetDC(nullptr).
struct ScreenDcTraits {
    using Handle = HDC;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle dc) noexcept { ReleaseDC(nullptr, dc); }
};
using UniqueScreenDc = UniqueHandle<ScreenDcTraits>;

// Windows a test makes for itself.
struct WindowTraits {
    using Handle = HWND;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle window) noexcept { DestroyWindow(window); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

// StartCommand, then Finish.
inline std::optional<std::string> RunCommand(const std::wstring& applicationPath,
                                             const std::wstring& commandLine,
                                             unsigned long timeLimitMs) {
    return StartCommand(applicationPath, commandLine, timeLimitMs).Finish();
}

// COM for the calling thread as wWinMain sets it up, and a WMI connection
// that goes before COM does.
struct ThreadWmi {
    ComInitGuard com{COINIT_APARTMENTTHREADED};
    bool secured = SetUpComSecurity();
    WmiSession session;
};

// One query as a gathering runs it: the tool, or else WMI.
inline ListText RunWmicQuery(const WmicQuery& query) {
    ThreadWmi wmi;
    return RunWmicQueries({query}, wmi.session).front();
}

// One query from WMI itself, through the session's connection.
inline std::string QueryWmiListText(const WmicQuery& query, WmiSession& session) {
    return QueryWmiListTexts({query}, session).front();
}

// The same on a connection of its own.
inline std::string QueryWmiListText(const WmicQuery& query) {
    ThreadWmi wmi;
    return QueryWmiListText(query, wmi.session);
}

}  // namespace orva
