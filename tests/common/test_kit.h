// What tests, the bench and the test tools use of the program's plumbing
// beyond what the program itself uses: owners for handles only they make,
// and one-query forms of the program's runs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <variant>

#include "app/report.h"
#include "probes/lists.h"
#include "probes/wmi_source.h"
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

// StartCommand, then Finish, with nothing to stop it.
inline std::optional<std::string> RunCommand(const std::wstring& applicationPath,
                                             const std::wstring& commandLine,
                                             unsigned long timeLimitMs) {
    return std::get<std::optional<std::string>>(
        StartCommand(applicationPath, commandLine, timeLimitMs).Finish(nullptr));
}

// COM for the calling thread as the gathering thread sets it up, and a WMI
// connection that goes before COM does.
struct ThreadWmi {
    ComInitGuard com{COINIT_MULTITHREADED};
    bool secured = SetUpComSecurity();
    WmiSession session;
};

// One query as a gathering runs it: the tool, or else WMI.
inline ListText RunQuery(const ListQuery& query) {
    ThreadWmi wmi;
    return std::get<std::vector<ListText>>(RunQueries({query}, wmi.session, nullptr)).front();
}

// The three queries as a gathering runs them.
inline ReportLists RunReportLists(WmiSession& session) {
    return std::get<ReportLists>(RunReportQueries(session, nullptr));
}

// A whole gathering of the machine's rows, as the gathering thread makes it.
inline ReportRows GatherRows(WmiSession& session) {
    return std::get<ReportRows>(CollectReportRows(session, nullptr));
}

// One query from WMI itself, through the session's connection.
inline std::string QueryWmiListText(const ListQuery& query, WmiSession& session) {
    return QueryWmiLists({query}, session).front().bytes;
}

// The same on a connection of its own.
inline std::string QueryWmiListText(const ListQuery& query) {
    ThreadWmi wmi;
    return QueryWmiListText(query, wmi.session);
}

}  // namespace orva
