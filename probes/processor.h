// Processor row.
#pragma once

#include <string>

namespace orva {

// Name as stored, then " * ", the logical processor count and " 코어".
std::wstring FormatProcessorRow(const std::wstring& name, unsigned long count);

// Windows only: the processor name from the registry with the machine's count.
// Throws when the name cannot be read.
std::wstring ProbeProcessor();

}  // namespace orva
