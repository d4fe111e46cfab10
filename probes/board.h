// Mainboard row.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace orva {

// The system's maker and product, as the firmware's system record names them.
struct SystemNames {
    std::optional<std::wstring> manufacturer;
    std::optional<std::wstring> product;
};

// Maker, product, "(FW.v", firmware version and ")", with no separator
// anywhere. Where neither board value has text (a server or a virtual
// machine whose firmware has no base board record), systemNames is asked,
// and its maker and product stand in their places if either has text. A
// value that could not be read adds nothing; throws when nothing could be read.
std::wstring FormatBoardRow(const std::optional<std::wstring>& manufacturer,
                            const std::optional<std::wstring>& product,
                            const std::optional<std::wstring>& version,
                            const std::function<SystemNames()>& systemNames = nullptr);

// Windows only: the values from the BIOS key of the registry's 64-bit view.
std::wstring ProbeBoard();

}  // namespace orva
