// A WMI record as text: what WMI's reader hands on, built and tested natively.
#pragma once

#include <string>
#include <vector>

namespace orva {

struct WmiProperty {
    std::string name;
    std::string value;  // narrow text, already formatted; empty for NULL
};
using WmiRecord = std::vector<WmiProperty>;

}  // namespace orva
