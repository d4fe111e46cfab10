// What the main window, its painting and its commands share.
#pragma once

#include <windows.h>

#include <string>

#include "app/report.h"
#include "res/resource.h"

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

// Draws the background and the six rows, gathered with WMI through wmi's
// connection where the tool cannot answer, then replaces ReportText. Never throws.
void PaintReport(HWND window, WmiSession& wmi) noexcept;

// The rows the window shows: those of the last complete gathering, or none.
const ReportRows* ShownRows() noexcept;

// WM_GETOBJECT: the window's own accessible object for OBJID_CLIENT, which
// reads the shown rows to a screen reader; any other object the system's.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);

// WM_DESTROY: the accessible object stops answering; clients that still
// hold it get errors.
void DisconnectAccessibleObject() noexcept;

// Tells screen readers which rows changed their text after a gathering.
void AnnounceChangedRows(HWND window, const ReportRows* before, const ReportRows& after) noexcept;

// Puts text on the clipboard as CF_UNICODETEXT, waiting briefly for another
// process to let go of it. False when any step failed; nothing leaks then.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

// The copy button: ReportText to the clipboard, and a message box that says
// whether it got there.
void CopyReport(HWND window);

// The home-page button: the address goes to whatever the shell opens it with.
void OpenHomePage();

}  // namespace orva
