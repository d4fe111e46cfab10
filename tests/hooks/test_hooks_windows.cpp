// Test build only (orva_testhooks): the shipped program is linked without this
// file. On start it waits for the main window to be created and subclasses
// it, so that the end-to-end tests can ask the running program what it holds
// (see test_hooks.h) and make it repaint on request. Nothing else changes
// unless a test asks for it.
#include "tests/hooks/test_hooks.h"

#include <windows.h>
#include <wbemcli.h>

#include <atomic>
#include <cstddef>

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

LRESULT gathered = 0;

// IWbemServices::ExecQuery, reached through the method table of the first
// connection, which the program's CoSetProxyBlanket call hands over.
using BlanketFunction = HRESULT(WINAPI*)(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD,
                                         RPC_AUTH_IDENTITY_HANDLE, DWORD);
using ExecQueryFunction = HRESULT(STDMETHODCALLTYPE*)(IWbemServices*, BSTR, BSTR, long,
                                                      IWbemContext*, IEnumWbemClassObject**);
constexpr std::size_t kExecQuerySlot = 20;  // after IUnknown's 3 and 17 others
BlanketFunction realBlanket = nullptr;
std::atomic<ExecQueryFunction> realExecQuery{nullptr};  // set on the gathering thread
std::atomic<bool> holdWmi{false};
std::atomic<LRESULT> heldWmiCalls{0};

HRESULT STDMETHODCALLTYPE HeldExecQuery(IWbemServices* services, BSTR language, BSTR query,
                                        long flags, IWbemContext* context,
                                        IEnumWbemClassObject** rows) {
    if (holdWmi) {
        ++heldWmiCalls;
        Sleep(INFINITE);
    }
    return realExecQuery.load()(services, language, query, flags, context, rows);
}

HRESULT WINAPI WatchedBlanket(IUnknown* proxy, DWORD authentication, DWORD authorization,
                              OLECHAR* server, DWORD level, DWORD impersonation,
                              RPC_AUTH_IDENTITY_HANDLE identity, DWORD capabilities) {
    if (realExecQuery == nullptr) {
        realExecQuery = reinterpret_cast<ExecQueryFunction>(
            ReplaceMethod(*reinterpret_cast<void***>(proxy), kExecQuerySlot,
                          reinterpret_cast<void*>(&HeldExecQuery)));
    }
    return realBlanket(proxy, authentication, authorization, server, level, impersonation, identity,
                       capabilities);
}

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

void WatchClipboardImports() {
    realSetClipboardData = reinterpret_cast<SetClipboardDataFunction>(ReplaceImport(
        "user32.dll", "SetClipboardData", reinterpret_cast<void*>(&WatchedSetClipboardData)));
    realGlobalFree = reinterpret_cast<GlobalFreeFunction>(
        ReplaceImport("kernel32.dll", "GlobalFree", reinterpret_cast<void*>(&WatchedGlobalFree)));
}

void WatchWmiCalls() {
    realBlanket = reinterpret_cast<BlanketFunction>(
        ReplaceImport("ole32.dll", "CoSetProxyBlanket", reinterpret_cast<void*>(&WatchedBlanket)));
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
        case kGathered:
            return gathered;
        case kHoldWmi:
            holdWmi = argument != 0;
            return realExecQuery != nullptr ? heldWmiCalls.load() : -1;
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
    } else if (message == kRowsGatheredMessage) {
        ++gathered;
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
        WatchWmiCalls();
        creationWatch.reset(
            SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId()));
    }
} installer;

}  // namespace
}  // namespace orva::test_hooks
