#include "probes/wmi_list.h"

#include <algorithm>
#include <cctype>

#include "probes/text.h"

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

std::string WqlText(const ListQuery& query) {
    std::string wql = "SELECT ";
    const std::vector<std::string> names = SplitString(query.properties, ",");
    for (std::size_t i = 0; i < names.size(); ++i) {
        wql += (i == 0 ? "" : ", ") + names[i];
    }
    wql += std::string(" FROM ") + query.wmiClass;
    if (query.condition[0] != '\0') {
        wql += std::string(" WHERE ") + query.condition;
    }
    return wql;
}

}  // namespace orva
