#include "probes/wmic.h"

#include "probes/text.h"

namespace orva {

std::wstring WmicPath(const std::wstring& systemDirectory) {
    return systemDirectory + L"\\wbem\\WMIC.exe";
}

std::wstring WmicCommandLine(const std::wstring& systemDirectory, const WmicQuery& query) {
    const std::string arguments = query.arguments;  // ASCII
    return L"\"" + WmicPath(systemDirectory) + L"\" " +
           std::wstring(arguments.begin(), arguments.end());
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
