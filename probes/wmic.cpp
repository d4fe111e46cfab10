#include "probes/wmic.h"

#include "probes/text.h"

namespace orva {

std::string WmicCommandLine(const std::string& systemDirectory, const WmicQuery& query) {
    // Quoted: the command interpreter keeps the quotes of a path with blanks
    // and drops them around one without.
    return "\"" + systemDirectory + "\\wbem\\WMIC.exe\" " + query.arguments;
}

std::string WqlText(const WmicQuery& query) {
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

bool HoldsQueryKey(const std::string& output, const WmicQuery& query) {
    return output.find(query.key) != std::string::npos;
}

}  // namespace orva
