#include "probes/wmi_list.h"

#include <algorithm>
#include <cctype>

namespace orva {
namespace {

// The tool orders properties by name without regard to case.
bool NameBefore(const WmiProperty& a, const WmiProperty& b) {
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) {
                                            return std::tolower(static_cast<unsigned char>(x)) <
                                                   std::tolower(static_cast<unsigned char>(y));
                                        });
}

}  // namespace

std::string WriteListText(const std::vector<WmiRecord>& records) {
    std::string text;
    for (WmiRecord record : records) {
        std::stable_sort(record.begin(), record.end(), NameBefore);
        text += "\r\n\r\n";
        for (const WmiProperty& property : record) {
            text += property.name + "=" + property.value + "\r\n";
        }
    }
    if (!records.empty()) {
        text += "\r\n\r\n";
    }
    return text;
}

}  // namespace orva
