// Looking at and driving the running program from another process: its
// windows, its message boxes, the clipboard and the screen. Header-only, so
// the end-to-end tests and the helper of tools/run share it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/common/test_kit.h"
#include "win32/handles.h"

namespace orva::e2e {

inline constexpr const wchar_t* kMainWindowClass = L"ORVATELMOX";
inline constexpr const wchar_t* kMessageBoxClass = L"#32770";
inline constexpr int kHomePageButtonId = 111;
inline constexpr int kCopyButtonId = 123;
inline constexpr DWORD kPollMs = 50;

inline std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

inline std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

struct WindowSearch {
    DWORD processId;
    const std::wstring* className;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectMatchingWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) &&
        ClassOf(window) == *search.className) {
        search.found.push_back(window);
    }
    return TRUE;
}

// Visible top-level windows of one process and class.
inline std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className) {
    WindowSearch search{processId, &className, {}};
    EnumWindows(CollectMatchingWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND WaitForWindow(DWORD processId, const std::wstring& className, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    do {
        const std::vector<HWND> found = WindowsOf(processId, className);
        if (!found.empty()) {
            return found.front();
        }
        Sleep(kPollMs);
    } while (GetTickCount64() - start < timeoutMs);
    return nullptr;
}

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

inline std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

// What a message box shows. Windows and Wine number its controls differently,
// so the statics are told apart by style: an icon, or the message text.
struct MessageBoxView {
    std::wstring caption;
    std::wstring text;
    bool showsIcon = false;
};

inline MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view;
    view.caption = TextOf(box);
    for (HWND child : ChildrenOf(box)) {
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0 || !IsWindowVisible(child)) {
            continue;
        }
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            view.showsIcon = view.showsIcon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
        } else {
            view.text += TextOf(child);
        }
    }
    return view;
}

// Presses the box's OK button.
inline void DismissMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

// The clipboard's Unicode text; present is false when it holds none.
inline std::wstring ReadClipboardText(bool& present, DWORD timeoutMs = 5000) {
    present = false;
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const ClipboardGuard clipboard(nullptr);
        if (clipboard.opened()) {
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            if (data == nullptr) {
                return std::wstring();
            }
            const GlobalLockGuard lock(data);
            if (lock.data() == nullptr) {
                return std::wstring();
            }
            present = true;
            const auto* text = static_cast<const wchar_t*>(lock.data());
            return std::wstring(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
        }
        if (GetTickCount64() - start >= timeoutMs) {
            return std::wstring();
        }
        Sleep(kPollMs);
    }
}

// 0x00RRGGBB pixels, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

inline int Red(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 16) & 0xFF);
}
inline int Green(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 8) & 0xFF);
}
inline int Blue(std::uint32_t pixel) {
    return static_cast<int>(pixel & 0xFF);
}
inline bool IsNearWhite(std::uint32_t pixel) {
    return Red(pixel) >= 200 && Green(pixel) >= 200 && Blue(pixel) >= 200;
}

// The pixels of a bitmap as they would show on a 32-bit screen.
inline Picture PictureOf(HDC dc, HBITMAP bitmap, int width, int height) {
    Picture picture;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format,
                  DIB_RGB_COLORS) != height) {
        return picture;
    }
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0x00FFFFFF;
    }
    picture.width = width;
    picture.height = height;
    picture.pixels = std::move(pixels);
    return picture;
}

// What the screen shows in a rectangle of screen coordinates.
inline Picture CaptureScreen(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const UniqueScreenDc screen(GetDC(nullptr));
    if (!screen || width <= 0 || height <= 0) {
        return Picture();
    }
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) {
        return Picture();
    }
    {
        const SelectGuard selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    }
    return PictureOf(screen.get(), bitmap.get(), width, height);
}

inline RECT ClientRectOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

// A 24-bit bottom-up .bmp file of the picture.
inline bool SaveBitmapFile(const Picture& picture, const std::wstring& path) {
    const int rowBytes = (picture.width * 3 + 3) & ~3;
    const DWORD imageBytes = static_cast<DWORD>(rowBytes) * static_cast<DWORD>(picture.height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageBytes;
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = picture.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    std::vector<BYTE> bytes(imageBytes, 0);
    for (int y = 0; y < picture.height; ++y) {
        BYTE* row = bytes.data() + static_cast<std::size_t>(picture.height - 1 - y) *
                                       static_cast<std::size_t>(rowBytes);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t pixel = picture.At(x, y);
            row[x * 3 + 0] = static_cast<BYTE>(Blue(pixel));
            row[x * 3 + 1] = static_cast<BYTE>(Green(pixel));
            row[x * 3 + 2] = static_cast<BYTE>(Red(pixel));
        }
    }
    const UniqueFile out(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return out && WriteFile(out.get(), &file, sizeof file, &written, nullptr) &&
           WriteFile(out.get(), &info, sizeof info, &written, nullptr) &&
           WriteFile(out.get(), bytes.data(), imageBytes, &written, nullptr);
}

inline constexpr int kRowCount = 6;
inline constexpr int kFirstRowY = 35;
inline constexpr int kRowPitch = 30;
inline constexpr int kLabelX = 20;
inline constexpr int kValueX = 70;

inline int RowY(int row) {
    return kFirstRowY + row * kRowPitch;
}

// Near-white pixels in a rectangle of the client picture.
inline int CountNearWhite(const Picture& client, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom && y < client.height; ++y) {
        for (int x = left; x < right && x < client.width; ++x) {
            count += IsNearWhite(client.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// The client area once two looks a moment apart see the same pixels.
Picture SettledPicture(HWND window) {
    Picture previous;
    for (int attempt = 0; attempt < 50; ++attempt) {
        Picture now = CaptureScreen(ClientRectOnScreen(window));
        if (now.width > 0 && now.pixels == previous.pixels) {
            return now;
        }
        previous = std::move(now);
        Sleep(4 * kPollMs);
    }
    return previous;
}

// True once every row shows a label and a value and the window has stopped
// changing: a paint draws the picture first and its text only after all probes.
inline bool WaitUntilRowsDrawn(HWND window, DWORD timeoutMs, Picture* shown = nullptr) {
    const ULONGLONG start = GetTickCount64();
    Picture previous;
    while (GetTickCount64() - start < timeoutMs) {
        Picture now = CaptureScreen(ClientRectOnScreen(window));
        bool complete = now.width > 0;
        for (int row = 0; complete && row < kRowCount; ++row) {
            complete = CountNearWhite(now, kLabelX, RowY(row), kValueX, RowY(row) + 14) > 0 &&
                       CountNearWhite(now, kValueX, RowY(row), now.width, RowY(row) + 14) > 0;
        }
        if (complete && now.pixels == previous.pixels) {
            if (shown != nullptr) {
                *shown = std::move(now);
            }
            return true;
        }
        previous = std::move(now);
        Sleep(4 * kPollMs);
    }
    return false;
}

// True once the first gathering is complete: the copy button waits disabled
// until then, while the window answers all along.
inline bool WaitForFirstReport(HWND window, DWORD timeoutMs) {
    const HWND copy = GetDlgItem(window, kCopyButtonId);
    for (const ULONGLONG start = GetTickCount64();
         !IsWindowEnabled(copy) && GetTickCount64() - start < timeoutMs;) {
        Sleep(kPollMs);
    }
    return copy != nullptr && IsWindowEnabled(copy);
}

inline std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                            size, nullptr, nullptr);
    }
    return narrow;
}

}  // namespace orva::e2e
