#include "probes/board.h"

#include <stdexcept>

namespace orva {

std::wstring FormatBoardRow(const std::optional<std::wstring>& manufacturer,
                            const std::optional<std::wstring>& product,
                            const std::optional<std::wstring>& version) {
    if (!manufacturer && !product && !version) {
        throw std::runtime_error("no BIOS value can be read");
    }
    return manufacturer.value_or(L"") + product.value_or(L"") + L"(FW.v" + version.value_or(L"") +
           L")";
}

}  // namespace orva
