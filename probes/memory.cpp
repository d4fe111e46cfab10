#include "probes/memory.h"

#include <string>

#include "probes/text.h"

namespace orva {

namespace {

struct MemoryType {
    const char* code;
    const char* text;
};

// SMBIOS memory type codes, which is what the query reports.
constexpr MemoryType kMemoryTypes[] = {
    {"18", ", Type DDR"},    {"19", ", Type DDR2"},   {"20", ", Type DDR2 FB-DIMM"},
    {"24", ", Type DDR3"},   {"26", ", Type DDR4"},   {"27", ", Type LPDDR"},
    {"28", ", Type LPDDR2"}, {"29", ", Type LPDDR3"}, {"30", ", Type LPDDR4"},
    {"34", ", Type DDR5"},   {"35", ", Type LPDDR5"},
};

constexpr unsigned long long kKibibytesPerGibibyte = 1024ULL * 1024;

unsigned long long RoundedQuotient(unsigned long long value, unsigned long long divisor) {
    return value / divisor + (value % divisor >= divisor / 2 ? 1 : 0);
}

}  // namespace

std::string MemoryTypeText(const std::string& toolOutput, const TraceSink& trace) {
    std::string code = PieceAt(SplitString(toolOutput, "SMBIOSMemoryType="), 1);
    CleanAndTrace(code, trace, TraceCleaned::kYes);
    for (const MemoryType& type : kMemoryTypes) {
        if (code == type.code) {
            return type.text;
        }
    }
    return std::string();
}

std::string FormatMemoryRow(unsigned long long totalPhys,
                            std::optional<unsigned long long> installedKibibytes,
                            const std::string& typeText) {
    const unsigned long long megabytes = totalPhys >> 20;
    // Firmware and integrated graphics keep part of the installed memory for
    // themselves: a shop names the modules' size, which the usable total is not.
    const unsigned long long gigabytes =
        installedKibibytes ? RoundedQuotient(*installedKibibytes, kKibibytesPerGibibyte)
                           : RoundedQuotient(megabytes, 1024);
    return std::to_string(static_cast<long long>(megabytes)) + " MB  (" +
           std::to_string(static_cast<long long>(gigabytes)) + "GB)" + typeText;
}

}  // namespace orva
