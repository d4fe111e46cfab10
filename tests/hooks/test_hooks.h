// What the test build of the program (orva_testhooks) answers. A test sends
// the registered message kTestHookMessage to the main window with one of
// these questions as wParam and gets the answer as the message's result.
#pragma once

#include <windows.h>

namespace orva::test_hooks {

inline constexpr const wchar_t* kTestHookMessage = L"ORVA test hook";

enum Question : WPARAM {
    kPaints,   // WM_PAINT messages the window procedure has finished
    kRepaint,  // invalidates the window and paints it now; answers kPaints
    // Live owners of one kind, from the owners' own counts.
    kLiveRegKeys,
    kLiveFonts,
    kLiveBitmaps,
    kLiveMemoryDcs,
    kLiveGlobals,
    kLiveKernelHandles,
    kLiveFiles,
    kLiveScreenDcs,
    kLiveWindows,
    kLiveModules,
    kLiveComObjects,
    kLiveBstrs,
    kLivePaintGuards,
    // What the process holds, counted by the system or by probing its tables.
    kOpenHandles,  // kernel handles: files, pipes, processes, registry keys...
    kGdiObjects,   // lParam: only objects of this type (OBJ_FONT...), 0 for all
    kHeapBytes,    // bytes in busy blocks of all the process's heaps
    // Clipboard: lParam 1 makes every SetClipboardData fail until lParam 0.
    kRefuseClipboard,
    // The block that the last SetClipboardData call was given: 1 when the
    // program freed it afterwards, 0 when it did not, -1 when there was none.
    kLastClipboardBlockFreed,
    // Gatherings whose rows the window has taken.
    kGathered,
    // lParam 1: from now on every WMI query the program submits is held
    // open until the program ends, as a call to a stuck WMI service is;
    // lParam 0 holds no more. Answers the calls held now, -1 when the seam
    // is not in place (no WMI connection made yet).
    kHoldWmi,
    kQuestionCount
};

// The first and the last of the live-owner questions.
inline constexpr WPARAM kFirstLiveOwners = kLiveRegKeys;
inline constexpr WPARAM kLastLiveOwners = kLivePaintGuards;

// Bytes in busy blocks of all of this process's heaps.
inline LRESULT HeapBytes() {
    HANDLE heaps[256] = {};
    const DWORD count = GetProcessHeaps(256, heaps);
    LRESULT bytes = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                bytes += static_cast<LRESULT>(entry.cbData);
            }
        }
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

inline const char* QuestionName(WPARAM question) {
    static const char* const names[] = {
        "paints",      "repaint",    "reg keys",         "fonts",
        "bitmaps",     "memory DCs", "global blocks",    "kernel handles",
        "files",       "screen DCs", "windows",          "modules",
        "COM objects", "BSTRs",      "paint guards",     "open handles",
        "GDI objects", "heap bytes", "refuse clipboard", "last clipboard block freed",
        "gathered",    "hold WMI",
    };
    static_assert(sizeof names / sizeof names[0] == kQuestionCount, "one name per question");
    return question < kQuestionCount ? names[question] : "?";
}

}  // namespace orva::test_hooks
