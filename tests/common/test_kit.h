// What tests, the bench and the test tools use of the program's plumbing
// beyond what the program itself uses: owners for handles only they make,
// and one-query forms of the program's runs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <variant>

#include "app/report.h"
#include "probes/wmi_source.h"
#include "probes/wmic.h"
#include "win32/command_runner.h"
#include "win32/handles.h"
#include "win32/message_pump.h"
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

// Answers the calling thread's messages as the window does while it waits,
// and never stops a wait.
class AnsweringPump final : public MessagePump {
public:
    bool AnswerMessages() override {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return true;
    }
};

// StartCommand, then Finish.
inline std::optional<std::string> RunCommand(const std::wstring& applicationPath,
                                             const std::wstring& commandLine,
                                             unsigned long timeLimitMs) {
    AnsweringPump pump;
    return std::get<std::optional<std::string>>(
        StartCommand(applicationPath, commandLine, timeLimitMs).Finish(pump));
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
    AnsweringPump pump;
    return std::get<std::vector<ListText>>(RunWmicQueries({query}, wmi.session, pump)).front();
}

// The three queries as a gathering runs them.
inline ReportLists RunReportLists(WmiSession& session) {
    AnsweringPump pump;
    return std::get<ReportLists>(RunReportQueries(session, pump));
}

// A whole gathering of the machine's rows, as a paint makes it.
inline ReportRows GatherRows(WmiSession& session) {
    AnsweringPump pump;
    return std::get<ReportRows>(CollectReportRows(session, pump));
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
