// Tests' seams in a process of their own: an import of the process's program
// file, or a method of a system object, pointed at a function of the test's.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace orva {

// Points this program's import of dll!function at replacement; returns the
// address it pointed at before, or null when the program does not import it.
inline void* ReplaceImport(const char* dll, const char* function, void* replacement) {
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* const headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress != 0 && library->Name != 0; ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), dll) != 0) {
            continue;
        }
        const auto* name =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            DWORD protection = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                                &protection)) {
                return nullptr;
            }
            void* const previous = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

// Points the slot of a COM object's method table at replacement, for every
// object of its class; returns what the slot held.
inline void* ReplaceMethod(void** table, std::size_t slot, void* replacement) {
    DWORD protection = 0;
    if (!VirtualProtect(&table[slot], sizeof table[slot], PAGE_READWRITE, &protection)) {
        return nullptr;
    }
    void* const previous = table[slot];
    table[slot] = replacement;
    VirtualProtect(&table[slot], sizeof table[slot], protection, &protection);
    return previous;
}

}  // namespace orva
