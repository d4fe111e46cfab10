#include "probes/memory.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "probes/text.h"
#include "probes/queries.h"

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

// RawSMBIOSData: Used20CallingMethod, SMBIOSMajorVersion, SMBIOSMinorVersion,
// DmiRevision, then the table's Length as a little-endian DWORD.
constexpr std::size_t kSmbiosHeaderBytes = 8;
constexpr std::size_t kSmbiosLengthAt = 4;
constexpr unsigned kMemoryDeviceType = 17;
constexpr unsigned kEndOfTableType = 127;
constexpr std::size_t kStructureHeaderBytes = 4;  // type, length, handle
constexpr std::size_t kDeviceSizeAt = 0x0C;       // 0: an empty slot
constexpr std::size_t kDeviceTypeAt = 0x12;       // from SMBIOS 2.1 on

unsigned ByteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

std::string TypeTextOf(const std::string& code) {
    for (const MemoryType& type : kMemoryTypes) {
        if (code == type.code) {
            return type.text;
        }
    }
    return std::string();
}

unsigned long long RoundedQuotient(unsigned long long value, unsigned long long divisor) {
    return value / divisor + (value % divisor >= divisor / 2 ? 1 : 0);
}

}  // namespace

std::string MemoryTypeText(const std::string& toolOutput, const TraceSink& trace,
                           const SmbiosTableReader& readSmbios) {
    std::string code = PieceAt(SplitString(toolOutput, "SMBIOSMemoryType="), 1);
    CleanAndTrace(code, trace, TraceCleaned::kYes);
    if (readSmbios && !HoldsQueryKey(toolOutput, kMemoryQuery)) {
        return SmbiosMemoryTypeText(readSmbios());
    }
    return TypeTextOf(code);
}

std::string SmbiosMemoryTypeText(std::string_view rawSmbiosData) {
    if (rawSmbiosData.size() < kSmbiosHeaderBytes) {
        return std::string();
    }
    std::size_t length = 0;
    for (std::size_t i = 0; i < sizeof(std::uint32_t); ++i) {
        length |= std::size_t{ByteAt(rawSmbiosData, kSmbiosLengthAt + i)} << (8 * i);
    }
    // Only what the header counts, and only what was delivered.
    const std::string_view table = rawSmbiosData.substr(kSmbiosHeaderBytes, length);
    // Every step moves on by at least the structure's header and the double
    // NUL, so no table can make the walk go round.
    for (std::size_t at = 0; table.size() - at >= kStructureHeaderBytes;) {
        const unsigned type = ByteAt(table, at);
        const std::size_t formatted = ByteAt(table, at + 1);
        if (type == kEndOfTableType || formatted < kStructureHeaderBytes ||
            formatted > table.size() - at) {
            break;
        }
        const std::size_t stringsEnd = table.find(std::string_view("\0\0", 2), at + formatted);
        if (stringsEnd == std::string_view::npos) {
            break;
        }
        if (type == kMemoryDeviceType) {
            // A device too old to hold its type speaks for the others too.
            if (formatted <= kDeviceTypeAt) {
                break;
            }
            if (ByteAt(table, at + kDeviceSizeAt) != 0 ||
                ByteAt(table, at + kDeviceSizeAt + 1) != 0) {
                return TypeTextOf(std::to_string(ByteAt(table, at + kDeviceTypeAt)));
            }
        }
        at = stringsEnd + 2;
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
