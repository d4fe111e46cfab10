// The video row over any tool output: one line ending in its memory or
// naming the adapter alone, or a number failure; without device IDs nothing
// of a second adapter.
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
    const orva::AdapterMemoryLookup lookup = [driverKnows](const std::string& name,
                                                           const std::string& deviceId) {
        fuzz::Require(!name.empty() && fuzz::IsOneLine(name) && fuzz::IsOneLine(deviceId));
        orva::StoredAdapterMemory stored;
        if (driverKnows) {
            stored.driver = 8ULL << 30;
        }
        return stored;
    };
    const auto format = [&lookup](const std::string& text) {
        return orva::FormatVideoRow(text, lookup, fuzz::NullTrace());
    };

    std::string row;
    if (fuzz::TryRow(format, output, row)) {
        fuzz::Require(fuzz::IsOneLine(row));
        fuzz::Require(!row.empty());
    }
    // Without device IDs the first adapter is named, whatever follows it.
    if (fuzz::CountOf(output, "Name=") >= 1 && fuzz::CountOf(output, "PNPDeviceID=") == 0) {
        fuzz::RequireSameRow(format, output, output + "\nName=Second Adapter\r\n");
    }
    return 0;
}
