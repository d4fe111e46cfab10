// Owners for the Win32 handles the program uses, and guards for paired calls.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "win32/unique_handle.h"

namespace orva {

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle key) noexcept { RegCloseKey(key); }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle object) noexcept { DeleteObject(object); }
};
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle dc) noexcept { DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle block) noexcept { GlobalFree(block); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

// Kernel objects such as processes, threads, pipes and jobs (null when empty).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// Files from CreateFileW, which reports failure as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) noexcept { CloseHandle(handle); }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

// Modules from LoadLibraryExW, also those loaded only to read their resources.
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle module) noexcept { FreeLibrary(module); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

// BeginPaint ... EndPaint.
class PaintGuard {
public:
    explicit PaintGuard(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {
        ++live_;
    }
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    ~PaintGuard() {
        EndPaint(window_, &paint_);
        --live_;
    }
    HDC dc() const noexcept { return dc_; }
    static int LiveCount() noexcept { return live_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
    static inline int live_ = 0;
};

// SelectObject, and the previous object put back on every path.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GlobalLock ... GlobalUnlock.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block) noexcept : block_(block), data_(GlobalLock(block)) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (data_ != nullptr) {
            GlobalUnlock(block_);
        }
    }
    void* data() const noexcept { return data_; }

private:
    HGLOBAL block_;
    void* data_;
};

// OpenClipboard ... CloseClipboard; opened() says whether it is held.
class ClipboardGuard {
public:
    explicit ClipboardGuard(HWND owner) noexcept : opened_(OpenClipboard(owner) != FALSE) {}
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;
    ~ClipboardGuard() {
        if (opened_) {
            CloseClipboard();
        }
    }
    bool opened() const noexcept { return opened_; }

private:
    bool opened_;
};

// COM interface pointers, released on every path.
template <typename T>
struct ComTraits {
    using Handle = T*;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle object) noexcept { object->Release(); }
};
template <typename T>
using UniqueCom = UniqueHandle<ComTraits<T>>;

struct BstrTraits {
    using Handle = BSTR;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle text) noexcept { SysFreeString(text); }
};
using UniqueBstr = UniqueHandle<BstrTraits>;

// A VARIANT that is cleared on every path; put() clears it before reuse.
class VariantGuard {
public:
    VariantGuard() noexcept { VariantInit(&value_); }
    VariantGuard(const VariantGuard&) = delete;
    VariantGuard& operator=(const VariantGuard&) = delete;
    ~VariantGuard() { VariantClear(&value_); }
    VARIANT* put() noexcept {
        VariantClear(&value_);
        return &value_;
    }
    const VARIANT& get() const noexcept { return value_; }

private:
    VARIANT value_;
};

// CoInitializeEx ... CoUninitialize, balanced only when the call succeeded
// (S_OK or S_FALSE). A thread already in the other model (RPC_E_CHANGED_MODE)
// can use COM as it is and must not be uninitialized by us.
class ComInitGuard {
public:
    explicit ComInitGuard(DWORD model) noexcept : result_(CoInitializeEx(nullptr, model)) {}
    ComInitGuard(const ComInitGuard&) = delete;
    ComInitGuard& operator=(const ComInitGuard&) = delete;
    ~ComInitGuard() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    bool ready() const noexcept { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace orva
