// The entry point, the main window and its window procedure.
#include <windows.h>

#include <string>

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

// The button that has the keyboard focus while the window is active, and
// gets it back whenever the window is activated again.
HWND focusedButton = nullptr;

// The parent owns and destroys its buttons; a missing one has nothing to clean up.
HWND CreateButton(HWND parent, const std::wstring& caption, const ButtonLayout& layout) {
    return CreateWindowExW(0, L"button", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                           layout.x, layout.y, layout.width, layout.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), AppInstance,
                           nullptr);
}

void OnCreate(HWND window) {
    CreateButton(window, std::wstring(L"홈페이지 ") + HomePageAddress, kHomePageButton);
    focusedButton = CreateButton(window, L"PC사양 복사", kCopyButton);
    // As a dialog does: focus rectangles stay hidden until the keyboard is
    // used, unless the user has the system show keyboard cues always.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
}

void OnActivate(HWND window, WPARAM wParam) {
    const HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (focus != nullptr && GetParent(focus) == window) {
            focusedButton = focus;
        }
    } else if (HIWORD(wParam) == 0) {  // not minimized
        SetFocus(focusedButton != nullptr ? focusedButton : window);
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

// The WMI connection that wWinMain hands the window at its creation; it lives
// longer than the window, and every gathering is handed it.
void KeepSession(HWND window, LPARAM lParam) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
}

void OnPaint(HWND window) {
    auto* const wmi = reinterpret_cast<WmiSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (wmi != nullptr) {
        PaintReport(window, *wmi);
    } else {
        ValidateRect(window, nullptr);  // a window made without one has nothing to gather with
    }
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            DisconnectAccessibleObject();
            PostQuitMessage(0);
            return 0;
        case WM_NCCREATE:
            KeepSession(window, lParam);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_COMMAND:
            OnCommand(window, wParam);
            return 0;
        case WM_ACTIVATE:
            OnActivate(window, wParam);
            return 0;
        case DM_GETDEFID:
            return DefaultButton(window);
        case WM_GETOBJECT:
            return AnswerGetObject(window, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace orva

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace orva;
    LoadSystemDllsOnlyFromTheSystemFolder();
    // COM in one place, before any window: for this thread, where the shell
    // may hand the home page to a handler that needs it and WMI answers when
    // the tool cannot, and the process's security, which WMI's proxies need.
    const ComInitGuard com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    static_cast<void>(SetUpComSecurity());  // without it, WMI says whether access works
    // Every paint asks WMI when the tool is missing; the connection then stays
    // up for this thread instead of being set up for each query. The window is
    // handed it at its creation and hands it to every gathering.
    WmiSession wmi;
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
                        place.width, place.height, nullptr, nullptr, instance, &wmi);
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);  // the first paint gathers the report before any click

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_ORVA));
    MSG message{};
    // GetMessageW answers -1 on an error; looping on it would never end.
    // The dialog manager gives the keyboard to the buttons: Tab, Space, Enter.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(message.hwnd, accelerators, &message) &&
            !IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
