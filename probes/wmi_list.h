// WMI records written as the command-line tool's list format.
#pragma once

#include <string>
#include <vector>

namespace orva {

struct WmiProperty {
    std::string name;
    std::string value;  // narrow text, already formatted; empty for NULL
};
using WmiRecord = std::vector<WmiProperty>;

// The records in the tool's list format: each record after blank lines, one
// "Name=value" line per property in alphabetical order of the names, CR LF
// line ends. No records give empty text.
std::string WriteListText(const std::vector<WmiRecord>& records);

}  // namespace orva
