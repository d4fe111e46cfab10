// The memory row over any tool output and total: one line, always both
// numbers, a type text only from the table, and only the first module counts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "probes/memory.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool IsKnownType(const std::string& type) {
    static const char* const kTypes[] = {
        "",
        ", Type DDR",
        ", Type DDR2",
        ", Type DDR2 FB-DIMM",
        ", Type DDR3",
        ", Type DDR4",
        ", Type LPDDR",
        ", Type LPDDR2",
        ", Type LPDDR3",
        ", Type LPDDR4",
        ", Type DDR5",
        ", Type LPDDR5",
    };
    for (const char* known : kTypes) {
        if (type == known) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned long long total = 0;
    const std::size_t totalBytes = size < sizeof total ? size : sizeof total;
    std::memcpy(&total, data, totalBytes);
    const std::string output(reinterpret_cast<const char*>(data) + totalBytes, size - totalBytes);

    const std::string type = orva::MemoryTypeText(output, fuzz::NullTrace());
    fuzz::Require(IsKnownType(type));
    // The total's lowest bit picks whether the firmware's table answered.
    const std::optional<unsigned long long> installed =
        (total & 1) != 0 ? std::optional<unsigned long long>(total / 1024) : std::nullopt;
    const std::string row = orva::FormatMemoryRow(total, installed, type);
    fuzz::Require(fuzz::IsOneLine(row));
    fuzz::Require(row.find(" MB  (") != std::string::npos);
    fuzz::Require(row.size() >= type.size() &&
                  row.compare(row.size() - type.size(), type.size(), type) == 0);

    if (fuzz::CountOf(output, "SMBIOSMemoryType=") >= 1) {
        const std::string more = output + "SMBIOSMemoryType=26\r\n";
        fuzz::Require(orva::MemoryTypeText(more, fuzz::NullTrace()) == type);
    }
    return 0;
}
