// Test build only (orva_testhooks): the shipped program is linked without this
// file. On start it waits for the main window to be created and subclasses
// it, so that the end-to-end tests can ask the running program what it holds
// (see test_hooks.h) and make it repaint on request. Nothing else changes
// unless a test asks for it.
#include "tests/hooks/test_hooks.h"

#include <windows.h>
#include <wbemcli.h>

#include <cstring>

#include "app/window.h"
#include "tests/common/import_patch.h"
#include "tests/common/test_kit.h"
#include "win32/handles.h"

namespace orva::test_hooks {
namespace {

struct HookTraits {
    using Handle = HHOOK;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle hook) noexcept { UnhookWindowsHookEx(hook); }
};

UniqueHandle<HookTraits> creationWatch;
WNDPROC programWndProc = nullptr;
UINT questionMessage = 0;
LRESULT paints = 0;

// SetClipboardData as this program imports it, and what the tests learn of it.
using SetClipboardDataFunction = HANDLE(WINAPI*)(UINT, HANDLE);
using GlobalFreeFunction = HGLOBAL(WINAPI*)(HGLOBAL);
SetClipboardDataFunction realSetClipboardData = nullptr;
GlobalFreeFunction realGlobalFree = nullptr;
bool refuseClipboard = false;
HGLOBAL lastClipboardBlock = nullptr;
bool lastClipboardBlockFreed = false;

// GlobalMemoryStatusEx as this program imports it: the memory row's call, once a gathering.
using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
GlobalMemoryStatusExFunction realGlobalMemoryStatusEx = nullptr;
HWND mainWindow = nullptr;
LRESULT gatherings = 0;
ULONGLONG plantedMegabytes = 0;
bool nestPaints = false;
bool waiting = false;
// Long enough for COM's loop to dispatch the pending paint.
constexpr DWORD kModalWaitMs = 300;

HANDLE WINAPI WatchedSetClipboardData(UINT format, HANDLE data) {
    lastClipboardBlock = data;
    lastClipboardBlockFreed = false;
    if (refuseClipboard) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return realSetClipboardData(format, data);
}

HGLOBAL WINAPI WatchedGlobalFree(HGLOBAL block) {
    if (block != nullptr && block == lastClipboardBlock) {
        lastClipboardBlockFreed = true;
    }
    return realGlobalFree(block);
}

BOOL WINAPI WatchedGlobalMemoryStatusEx(LPMEMORYSTATUSEX status) {
    ++gatherings;
    const BOOL result = realGlobalMemoryStatusEx(status);
    if (result && plantedMegabytes != 0) {
        status->ullTotalPhys = plantedMegabytes << 20;
    }
    if (nestPaints && !waiting) {
        waiting = true;
        InvalidateRect(mainWindow, nullptr, FALSE);
        const UniqueKernelHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        HANDLE handles[] = {never.get()};
        DWORD index = 0;
        CoWaitForMultipleHandles(0, kModalWaitMs, 1, handles, &index);
        waiting = false;
    }
    return result;
}

void WatchClipboardImports() {
    realSetClipboardData = reinterpret_cast<SetClipboardDataFunction>(ReplaceImport(
        "user32.dll", "SetClipboardData", reinterpret_cast<void*>(&WatchedSetClipboardData)));
    realGlobalFree = reinterpret_cast<GlobalFreeFunction>(
        ReplaceImport("kernel32.dll", "GlobalFree", reinterpret_cast<void*>(&WatchedGlobalFree)));
}

// The memory row's other call: the firmware's figure, planted the same.
using InstalledMemoryFunction = BOOL(WINAPI*)(PULONGLONG);
InstalledMemoryFunction realInstalledMemory = nullptr;

BOOL WINAPI WatchedInstalledMemory(PULONGLONG kibibytes) {
    const BOOL result = realInstalledMemory(kibibytes);
    if (result && plantedMegabytes != 0) {
        *kibibytes = plantedMegabytes << 10;
    }
    return result;
}

void WatchMemoryStatus() {
    realGlobalMemoryStatusEx = reinterpret_cast<GlobalMemoryStatusExFunction>(
        ReplaceImport("kernel32.dll", "GlobalMemoryStatusEx",
                      reinterpret_cast<void*>(&WatchedGlobalMemoryStatusEx)));
    realInstalledMemory = reinterpret_cast<InstalledMemoryFunction>(
        ReplaceImport("kernel32.dll", "GetPhysicallyInstalledSystemMemory",
                      reinterpret_cast<void*>(&WatchedInstalledMemory)));
}

// Wine answers 0 for GetProcessHandleCount; its handles are small multiples
// of four handed out from the bottom, so probing them finds every one.
LRESULT OpenHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) {
        return static_cast<LRESULT>(count);
    }
    constexpr ULONG_PTR kProbedHandles = 16384;
    LRESULT found = 0;
    for (ULONG_PTR value = 4; value < 4 * kProbedHandles; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++found;
        }
    }
    return found;
}

// Wine answers 0 for GetGuiResources; its GDI handle table takes a bare index
// (no generation in the upper word), so probing every index finds every
// object, and tells their types (OBJ_FONT...; 0 counts all).
LRESULT GdiObjects(DWORD type) {
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0 && type == 0) {
        return static_cast<LRESULT>(count);
    }
    LRESULT found = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        const DWORD foundType = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (foundType != 0 && (type == 0 || foundType == type)) {
            ++found;
        }
    }
    return found;
}

LRESULT Answer(HWND window, WPARAM question, LPARAM argument) {
    switch (question) {
        case kPaints:
            return paints;
        case kRepaint:
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return paints;
        case kLiveRegKeys:
            return UniqueRegKey::LiveCount();
        case kLiveFonts:
            return UniqueFont::LiveCount();
        case kLiveBitmaps:
            return UniqueBitmap::LiveCount();
        case kLiveMemoryDcs:
            return UniqueMemoryDc::LiveCount();
        case kLiveGlobals:
            return UniqueGlobal::LiveCount();
        case kLiveKernelHandles:
            return UniqueKernelHandle::LiveCount();
        case kLiveFiles:
            return UniqueFile::LiveCount();
        case kLiveScreenDcs:
            return UniqueScreenDc::LiveCount();
        case kLiveWindows:
            return UniqueWindow::LiveCount();
        case kLiveModules:
            return UniqueModule::LiveCount();
        case kLiveComObjects:
            return UniqueCom<IWbemLocator>::LiveCount() + UniqueCom<IWbemServices>::LiveCount() +
                   UniqueCom<IEnumWbemClassObject>::LiveCount() +
                   UniqueCom<IWbemClassObject>::LiveCount();
        case kLiveBstrs:
            return UniqueBstr::LiveCount();
        case kLivePaintGuards:
            return PaintGuard::LiveCount();
        case kOpenHandles:
            return OpenHandles();
        case kGdiObjects:
            return GdiObjects(static_cast<DWORD>(argument));
        case kHeapBytes:
            return HeapBytes();
        case kRefuseClipboard:
            refuseClipboard = argument != 0;
            return realSetClipboardData != nullptr && realGlobalFree != nullptr;
        case kLastClipboardBlockFreed:
            return lastClipboardBlock == nullptr ? -1 : (lastClipboardBlockFreed ? 1 : 0);
        case kGatherings:
            return realGlobalMemoryStatusEx != nullptr ? gatherings : -1;
        case kPlantMemory:
            plantedMegabytes = static_cast<ULONGLONG>(argument);
            return realGlobalMemoryStatusEx != nullptr && realInstalledMemory != nullptr;
        case kNestPaints:
            nestPaints = argument != 0;
            return realGlobalMemoryStatusEx != nullptr;
        default:
            return -1;
    }
}

LRESULT CALLBACK AnsweringWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == questionMessage && questionMessage != 0) {
        return Answer(window, wParam, lParam);
    }
    const LRESULT result = CallWindowProcW(programWndProc, window, message, wParam, lParam);
    if (message == WM_PAINT) {
        ++paints;
    }
    return result;
}

// The first window of the program's class is its main window.
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const HHOOK self = creationWatch.get();
    if (code == HCBT_CREATEWND) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == MainWndProc) {
            programWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsweringWndProc)));
            mainWindow = window;
            creationWatch.reset();
        }
    }
    return CallNextHookEx(self, code, wParam, lParam);
}

// Runs before wWinMain, on the thread that will create the main window.
struct Installer {
    Installer() {
        questionMessage = RegisterWindowMessageW(kTestHookMessage);
        WatchClipboardImports();
        WatchMemoryStatus();
        creationWatch.reset(
            SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId()));
    }
} installer;

}  // namespace
}  // namespace orva::test_hooks
