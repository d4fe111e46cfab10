#include "probes/board.h"

#include <stdexcept>

namespace orva {

namespace {

bool HasText(const std::optional<std::wstring>& value) {
    return value && !value->empty();
}

}  // namespace

std::wstring FormatBoardRow(const std::optional<std::wstring>& manufacturer,
                            const std::optional<std::wstring>& product,
                            const std::optional<std::wstring>& version,
                            const std::function<SystemNames()>& systemNames) {
    if (!HasText(manufacturer) && !HasText(product) && systemNames) {
        const SystemNames system = systemNames();
        if (HasText(system.manufacturer) || HasText(system.product)) {
            return FormatBoardRow(system.manufacturer, system.product, version);
        }
    }
    if (!manufacturer && !product && !version) {
        throw std::runtime_error("no BIOS value can be read");
    }
    return manufacturer.value_or(L"") + product.value_or(L"") + L"(FW.v" + version.value_or(L"") +
           L")";
}

}  // namespace orva
