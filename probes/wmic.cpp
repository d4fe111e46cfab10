#include "probes/wmic.h"

namespace orva {

std::string WmicCommandLine(const std::string& systemDirectory, const WmicQuery& query) {
    // Quoted: the command interpreter keeps the quotes of a path with blanks
    // and drops them around one without.
    return "\"" + systemDirectory + "\\wbem\\WMIC.exe\" " + query.arguments;
}

}  // namespace orva
