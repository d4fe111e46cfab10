// Drives the running program for tools/run: orva_remote wait | copy | close.
//   wait   returns once the six rows are drawn (exit code 1 if they never are)
//   copy   presses the copy button, prints what the message box says and then
//          the clipboard's text exactly (CR LF kept) as UTF-8, then closes
//          the message box
//   close  closes the main window as its close box does
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "tests/e2e/program_driver.h"

namespace {

using namespace orva::e2e;

constexpr DWORD kWaitMs = 60000;

HWND MainWindow() {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        HWND window = FindWindowW(kMainWindowClass, nullptr);
        if (window != nullptr || GetTickCount64() - start >= kWaitMs) {
            return window;
        }
        Sleep(kPollMs);
    }
}

void Print(FILE* stream, const std::wstring& text) {
    const std::string bytes = Utf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

int Copy(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    PostMessageW(GetDlgItem(window, kCopyButtonId), BM_CLICK, 0, 0);
    const HWND box = WaitForWindow(processId, kMessageBoxClass, kWaitMs);
    if (box == nullptr) {
        Print(stderr, L"no message box appeared\n");
        return 1;
    }
    const MessageBoxView view = ReadMessageBox(box);
    Print(stdout, L"message box \"" + view.caption + L"\": " + view.text + L"\n");
    bool present = false;
    const std::wstring text = ReadClipboardText(present);
    DismissMessageBox(box);
    if (!present) {
        Print(stderr, L"the clipboard holds no text\n");
        return 1;
    }
    Print(stdout, text);
    Print(stdout, L"\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const HWND window = MainWindow();
    if (window == nullptr) {
        Print(stderr, L"the program's window did not appear\n");
        return 1;
    }
    if (command == L"wait") {
        return WaitUntilRowsDrawn(window, kWaitMs) ? 0 : 1;
    }
    if (command == L"copy") {
        return Copy(window);
    }
    if (command == L"close") {
        return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    }
    Print(stderr, L"usage: orva_remote wait | copy | close\n");
    return 2;
}
