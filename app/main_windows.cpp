// The entry point, the main window and its window procedure.
#include <windows.h>

#include <new>
#include <string>
#include <utility>

#include "app/gatherer.h"
#include "app/placement.h"
#include "app/window.h"
#include "win32/handles.h"
#include "win32/wmi.h"

namespace orva {

namespace {

constexpr int kStringBufferChars = 100;

struct ButtonLayout {
    int id;
    int x;
    int y;
    int width;
    int height;
};

constexpr ButtonLayout kHomePageButton = {IDC_HOMEPAGE, 20, 210, 650, 30};
constexpr ButtonLayout kCopyButton = {IDC_COPYSPEC, 300, 10, 100, 20};

// The parent owns and destroys its buttons; a missing one has nothing to clean up.
HWND CreateButton(HWND parent, const std::wstring& caption, const ButtonLayout& layout,
                  DWORD style = 0) {
    return CreateWindowExW(
        0, L"button", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, layout.x,
        layout.y, layout.width, layout.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), AppInstance, nullptr);
}

void OnCreate(MainWindow& state) {
    const HWND window = state.window();
    CreateButton(window, std::wstring(L"홈페이지 ") + HomePageAddress, kHomePageButton);
    // Nothing to copy until the first gathering is complete: the button waits
    // disabled, so no press can confirm a copy of nothing.
    state.focusedButton = CreateButton(window, L"PC사양 복사", kCopyButton, WS_DISABLED);
    // As a dialog does: focus rectangles stay hidden until the keyboard is
    // used, unless the user has the system show keyboard cues always.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
}

void OnActivate(MainWindow& state, WPARAM wParam) {
    const HWND window = state.window();
    const HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (focus != nullptr && GetParent(focus) == window) {
            state.focusedButton = focus;
        }
    } else if (HIWORD(wParam) == 0) {  // not minimized
        const HWND button = state.focusedButton;
        SetFocus(button != nullptr && IsWindowEnabled(button) ? button : window);
    }
}

// The first report exists: the copy button takes its place, and the focus
// that waited on the window itself.
void OfferCopy(const MainWindow& state) {
    const HWND copy = GetDlgItem(state.window(), IDC_COPYSPEC);
    EnableWindow(copy, TRUE);
    if (GetFocus() == state.window()) {
        SetFocus(copy);
    }
}

// Enter presses the focused button, as in a dialog; with none focused it does nothing.
LRESULT DefaultButton(HWND window) {
    const HWND focus = GetFocus();
    if (focus == nullptr || GetParent(focus) != window) {
        return 0;
    }
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

void OnCommand(HWND window, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDC_HOMEPAGE:
            OpenHomePage();
            break;
        case IDC_COPYSPEC:
            CopyReport(window);
            break;
        default:
            break;
    }
}

// A program run from a downloads folder must not load a DLL planted beside
// it when a system library loads one by name. Windows 7 without KB2533623
// lacks the call; the program starts there all the same.
void LoadSystemDllsOnlyFromTheSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

// A screen of 1280 pixels (a laptop at 150 % scaling, a 1280x1024 monitor)
// would put the close box beyond its right edge.
WindowBox PlaceOnItsMonitor(const WindowBox& box) {
    const RECT wanted = {box.x, box.y, box.x + box.width, box.y + box.height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return box;
    }
    const RECT& work = monitor.rcWork;
    return FitInside(box, {work.left, work.top, work.right, work.bottom});
}

void OnPaint(MainWindow& state) {
    PaintReport(state.window(), state.shown);
    // Every paint asks for fresh rows, but the one that shows them.
    if (!state.drawingGathered && !state.gathering) {
        state.gathering = true;
        state.gatherer().Request();
    }
}

// A gathering's rows: they replace the shown rows and the report, and are drawn.
void OnRowsGathered(MainWindow& state, ReportRows* rows) noexcept {
    state.gathering = false;
    if (rows == nullptr) {
        return;
    }
    const bool first = !state.shown;
    ShownRows before;
    try {
        std::wstring report = ComposeReport(*rows);
        before = std::exchange(state.shown, std::move(*rows));
        ReportText() = std::move(report);
    } catch (const std::bad_alloc&) {
        return;  // the window keeps the rows it shows
    }
    AnnounceChangedRows(state.window(), before ? &*before : nullptr, *state.shown);
    state.drawingGathered = true;
    RedrawWindow(state.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    state.drawingGathered = false;
    if (first) {
        OfferCopy(state);
    }
}

}  // namespace

MainWindow* MainWindow::Of(HWND window) noexcept {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void MainWindow::Keep(HWND window, LPARAM createStruct) noexcept {
    auto* const state =
        static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(createStruct)->lpCreateParams);
    if (state != nullptr) {
        state->window_ = window;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

void MainWindow::Answer(MSG& message) const {
    // The dialog manager gives the keyboard to the buttons: Tab, Space, Enter.
    if (!TranslateAcceleratorW(message.hwnd, accelerators_, &message) &&
        !IsDialogMessageW(window_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        MainWindow::Keep(window, lParam);
    }
    MainWindow* const state = MainWindow::Of(window);
    if (state == nullptr) {  // messages before WM_NCCREATE, or a window made without one
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            OnCreate(*state);
            return 0;
        case WM_DESTROY:
            state->gatherer().Stop();
            DisconnectAccessibleObject(*state);
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            OnPaint(*state);
            return 0;
        case kRowsGatheredMessage:
            // Only the gathering thread's answer, sent while one is asked for:
            // a stray posted message carries no rows.
            if (state->gathering && InSendMessage()) {
                OnRowsGathered(*state, reinterpret_cast<ReportRows*>(lParam));
            }
            return 0;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                DestroyWindow(window);  // the session ends: so does the gathering
            }
            return 0;
        case WM_COMMAND:
            OnCommand(window, wParam);
            return 0;
        case WM_ACTIVATE:
            OnActivate(*state, wParam);
            return 0;
        case DM_GETDEFID:
            return DefaultButton(window);
        case WM_GETOBJECT:
            return AnswerGetObject(*state, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace orva

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace orva;
    LoadSystemDllsOnlyFromTheSystemFolder();
    // COM before any window: for this thread, where the shell may hand the
    // home page to a handler that needs it, and the process's security, which
    // WMI's proxies on the gathering thread need.
    const ComInitGuard com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    static_cast<void>(SetUpComSecurity());  // without it, WMI says whether access works
    // Outlives the window: what the thread still holds when the window goes
    // is released as it ends.
    Gatherer gatherer;
    MainWindow state(gatherer, LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_ORVA)));
    wchar_t AppTitle[kStringBufferChars] = {};
    wchar_t WndClassName[kStringBufferChars] = {};
    LoadStringW(instance, IDS_APP_TITLE, AppTitle, kStringBufferChars);
    LoadStringW(instance, IDS_WNDCLASS, WndClassName, kStringBufferChars);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // the paint covers the window with its picture
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDC_ORVA);
    windowClass.lpszClassName = WndClassName;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
    RegisterClassExW(&windowClass);

    AppInstance = instance;
    const WindowBox place = PlaceOnItsMonitor(kMainWindowBox);
    HWND window =
        CreateWindowExW(0, WndClassName, AppTitle, WS_CAPTION | WS_SYSMENU, place.x, place.y,
                        place.width, place.height, nullptr, nullptr, instance, &state);
    if (window == nullptr) {
        return 0;
    }
    if (!gatherer.Start(window)) {
        DestroyWindow(window);  // a window that could never show a row
        return 0;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);  // the first paint starts the first gathering before any input

    MSG message{};
    // GetMessageW answers -1 on an error; looping on it would never end.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        state.Answer(message);
    }
    return static_cast<int>(message.wParam);
}
