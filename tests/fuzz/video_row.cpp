// The video row over any tool output: one line ending in its memory or
// naming the adapter alone, a number failure, and nothing of a second adapter.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "probes/video.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks whether the driver knows the adapter's memory.
    const bool driverKnows = size > 0 && (data[0] & 1) != 0;
    const std::string output(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                             size > 0 ? size - 1 : 0);
    const orva::AdapterMemoryLookup lookup =
        [driverKnows](const std::string& name) -> std::optional<unsigned long long> {
        fuzz::Require(!name.empty() && fuzz::IsOneLine(name));
        if (driverKnows) {
            return 8ULL << 30;
        }
        return std::nullopt;
    };
    const auto format = [&lookup](const std::string& text) {
        return orva::FormatVideoRow(text, lookup, fuzz::NullTrace());
    };

    std::string row;
    if (fuzz::TryRow(format, output, row)) {
        fuzz::Require(fuzz::IsOneLine(row));
        fuzz::Require(!row.empty());
    }
    if (fuzz::CountOf(output, "Name=") >= 1) {
        fuzz::RequireSameRow(format, output, output + "\nName=Second Adapter\r\n");
    }
    return 0;
}
