#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "app/report.h"
#include "app/window.h"
#include "win32/handles.h"

namespace orva {

namespace {

// Another program (a clipboard manager, a remote desktop client) may hold the
// clipboard for a moment; waiting this long covers that without a visible stall.
constexpr DWORD kClipboardPatienceMs = 500;
constexpr DWORD kClipboardRetryMs = 20;

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
    if (text.size() >= std::numeric_limits<SIZE_T>::max() / sizeof(wchar_t)) {
        return false;
    }
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) {
        return false;
    }
    {
        const GlobalLockGuard lock(block.get());
        if (lock.data() == nullptr) {
            return false;
        }
        std::memset(lock.data(), 0, bytes);
        std::copy(text.begin(), text.end(), static_cast<wchar_t*>(lock.data()));
    }

    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const ClipboardGuard clipboard(owner);
        if (clipboard.opened()) {
            if (!EmptyClipboard()) {
                return false;
            }
            if (SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr) {
                return false;
            }
            block.release();  // the clipboard owns it now
            return true;
        }
        if (GetTickCount64() - start >= kClipboardPatienceMs) {
            return false;
        }
        Sleep(kClipboardRetryMs);
    }
}

void CopyReport(HWND window) {
    // Before the first gathering is complete the button waits disabled; a
    // command that comes all the same confirms nothing.
    if (ReportText().empty()) {
        return;
    }
    if (CopyTextToClipboard(window, ReportText())) {
        MessageBoxW(window, kCopyDoneText, kNoticeCaption, MB_OK);
    } else {
        MessageBoxW(window, kCopyFailedText, kNoticeCaption, MB_OK | MB_ICONWARNING);
    }
}

void OpenHomePage() {
    ShellExecuteW(nullptr, nullptr, HomePageAddress, nullptr, nullptr, SW_SHOW);
}

}  // namespace orva
