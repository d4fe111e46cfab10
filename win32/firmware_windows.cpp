#include "win32/firmware.h"

namespace orva {

std::string ReadFirmwareTable(DWORD provider, DWORD id) {
    // The first call says how large the table is.
    std::string table(GetSystemFirmwareTable(provider, id, nullptr, 0), '\0');
    if (table.empty()) {
        return table;
    }
    const UINT delivered =
        GetSystemFirmwareTable(provider, id, table.data(), static_cast<DWORD>(table.size()));
    table.resize(delivered <= table.size() ? delivered : 0);
    return table;
}

}  // namespace orva
