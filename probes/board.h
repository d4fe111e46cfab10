// Mainboard row.
#pragma once

#include <optional>
#include <string>

namespace orva {

// Maker, product, "(FW.v", firmware version and ")", with no separator
// anywhere. A value that could not be read adds nothing; throws when none of
// the three could be read.
std::wstring FormatBoardRow(const std::optional<std::wstring>& manufacturer,
                            const std::optional<std::wstring>& product,
                            const std::optional<std::wstring>& version);

// Windows only: the three values from the BIOS key of the registry's 64-bit view.
std::wstring ProbeBoard();

}  // namespace orva
