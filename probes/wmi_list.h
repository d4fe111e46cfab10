// WMI records written as the command-line tool's list format.
#pragma once

#include <string>
#include <vector>

#include "probes/queries.h"
#include "win32/wmi_record.h"

namespace orva {

// The records in the tool's list format: each record after blank lines, one
// "Name=value" line per property in alphabetical order of the names, CR LF
// line ends. No records give empty text.
std::string WriteListText(const std::vector<WmiRecord>& records);

// The WQL statement that selects the query's properties from its class.
std::string WqlText(const ListQuery& query);

}  // namespace orva
