// What the main window, its painting and its commands share.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>

#include "app/report.h"
#include "res/resource.h"
#include "win32/handles.h"

namespace orva {

// The maker's home page: the home-page command's target, the end of the
// title (string IDS_APP_TITLE) and of the home-page button's caption.
inline constexpr const wchar_t* HomePageAddress = L"https://www.orva.co.kr";

inline constexpr const wchar_t* kCopyDoneText = L"클립보드 복사 완료!";
inline constexpr const wchar_t* kCopyFailedText = L"클립보드 복사 실패!";
inline constexpr const wchar_t* kNoticeCaption = L"알림";

// The instance given to wWinMain; buttons and the background bitmap come from it.
inline HINSTANCE AppInstance = nullptr;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A gathering's rows, sent to the main window by the thread that gathered
// them: lParam points to the ReportRows, which the window takes during the
// call (null: the gathering made none).
inline constexpr UINT kRowsGatheredMessage = WM_APP + 1;

class Gatherer;

// The rows the window shows: the last complete gathering's, none before the first.
using ShownRows = std::optional<ReportRows>;

// What lives as long as the main window, in one place. wWinMain owns it and
// hands it to the window as its creation data; the window finds it through
// its GWLP_USERDATA.
class MainWindow final {
public:
    MainWindow(Gatherer& gatherer, HACCEL accelerators) noexcept
        : gatherer_(gatherer), accelerators_(accelerators) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() = default;

    // The window's own, null before WM_NCCREATE has kept it.
    static MainWindow* Of(HWND window) noexcept;
    // WM_NCCREATE: the window keeps the object handed as its creation data.
    static void Keep(HWND window, LPARAM createStruct) noexcept;

    // One message as the loop answers it: the dialog manager's keys first.
    void Answer(MSG& message) const;

    HWND window() const noexcept { return window_; }
    // The thread wWinMain hands the window; it outlives the window.
    Gatherer& gatherer() const noexcept { return gatherer_; }

    ShownRows shown;
    // Asked of the gathering thread and not answered yet: a paint asks for
    // no second one meanwhile.
    bool gathering = false;
    // While a gathering's rows are drawn: that paint asks for no gathering,
    // or the window would gather forever.
    bool drawingGathered = false;
    // Has the keyboard focus while the window is active, and gets it back
    // whenever the window is activated again.
    HWND focusedButton = nullptr;
    // Made at a screen reader's first request; gone with the window.
    UniqueCom<IAccessible> accessible;
    bool destroyed = false;

private:
    HWND window_ = nullptr;
    Gatherer& gatherer_;
    HACCEL accelerators_;
};

// Draws the background and the shown rows, if any: a paint only draws.
void PaintReport(HWND window, const ShownRows& shown) noexcept;

// WM_GETOBJECT: the window's own accessible object for OBJID_CLIENT, which
// reads the shown rows to a screen reader; any other object the system's.
LRESULT AnswerGetObject(MainWindow& state, WPARAM wParam, LPARAM lParam);

// WM_DESTROY: the accessible object stops answering; clients that still
// hold it get errors.
void DisconnectAccessibleObject(MainWindow& state) noexcept;

// Tells screen readers which rows changed their text after a gathering.
void AnnounceChangedRows(HWND window, const ReportRows* before, const ReportRows& after) noexcept;

// Puts text on the clipboard as CF_UNICODETEXT, waiting briefly for another
// process to let go of it. False when any step failed; nothing leaks then.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

// The copy button: ReportText to the clipboard, and a message box that says
// whether it got there. Before the first report there is nothing to copy.
void CopyReport(HWND window);

// The home-page button: the address goes to whatever the shell opens it with.
void OpenHomePage();

}  // namespace orva
