#include "probes/wmic.h"

namespace orva {

std::wstring WmicPath(const std::wstring& systemDirectory) {
    return systemDirectory + L"\\wbem\\WMIC.exe";
}

std::wstring WmicCommandLine(const std::wstring& systemDirectory, const ListQuery& query) {
    const std::string arguments = query.arguments;  // ASCII
    return L"\"" + WmicPath(systemDirectory) + L"\" " +
           std::wstring(arguments.begin(), arguments.end());
}

}  // namespace orva
