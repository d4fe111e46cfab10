#include "probes/video.h"

#include <algorithm>
#include <string>

#include "probes/text.h"

namespace orva {

namespace {

constexpr std::size_t kAdapterRamKeyLength = 11;  // "AdapterRAM="
constexpr long long kBytesPerMebibyte = 1048576;

}  // namespace

std::string FormatVideoRow(const std::string& toolOutput, const AdapterMemoryLookup& lookup,
                           const TraceSink& trace) {
    const std::vector<std::string> pieces = SplitString(toolOutput, "Name=");
    std::string memory = PieceAt(pieces, 0);
    std::string name = PieceAt(pieces, 1);
    const auto lineEnd = name.find('\n');
    if (lineEnd != std::string::npos) {
        name.erase(lineEnd);  // later adapters follow on the next lines
    }
    CleanAndTrace(name, trace, false);
    CleanAndTrace(memory, trace, false);

    // AdapterRAM is a 32-bit property and stops near 4 GiB; the driver's own
    // record of the memory size does not.
    std::optional<unsigned long long> stored;
    if (!name.empty() && lookup) {
        stored = lookup(name);
    }
    long long mebibytes = 0;
    if (stored) {
        mebibytes = static_cast<long long>(*stored / kBytesPerMebibyte);
    } else {
        // The key and nothing after it: an adapter that reports no memory
        // (a remote or USB display) is still named.
        if (memory.size() == kAdapterRamKeyLength && !name.empty()) {
            return name;
        }
        memory.erase(0, std::min(kAdapterRamKeyLength, memory.size()));
        mebibytes = std::stoll(memory, nullptr, 10) / kBytesPerMebibyte;
    }
    return name + " (" + std::to_string(mebibytes) + " MB)";
}

}  // namespace orva
