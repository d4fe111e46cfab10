#include "probes/video.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "probes/text.h"

namespace orva {

namespace {

constexpr std::string_view kAdapterRamKey = "AdapterRAM=";
constexpr std::string_view kDeviceIdKey = "PNPDeviceID=";
constexpr long long kBytesPerMebibyte = 1048576;

// The remote desktop's adapter (SWD\REMOTEDISPLAYENUM\...) and virtual
// displays (ROOT\DISPLAY\0000...) are not the PC's own card.
bool IsRemoteOrVirtual(const std::string& deviceId) {
    const auto startsWith = [&](const std::string& prefix) {
        return deviceId.size() >= prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), deviceId.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) ==
                          std::toupper(static_cast<unsigned char>(b));
               });
    };
    return startsWith("ROOT\\") || startsWith("SWD\\");
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// pieces: the output cut at "Name="; adapter n's name starts piece n. The
// first adapter whose device ID does not name it remote or virtual, or else
// the first.
std::size_t ChosenAdapter(const std::vector<std::string>& pieces) {
    for (std::size_t n = 1; n < pieces.size(); ++n) {
        const auto key = pieces[n].find(kDeviceIdKey);
        std::string deviceId;
        if (key != std::string::npos) {
            deviceId = FirstLine(pieces[n].substr(key + kDeviceIdKey.size()));
        }
        if (!IsRemoteOrVirtual(deviceId)) {
            return n;
        }
    }
    return 1;
}

}  // namespace

std::string FormatVideoRow(const std::string& toolOutput, const AdapterMemoryLookup& lookup,
                           const TraceSink& trace) {
    const std::vector<std::string> pieces = SplitString(toolOutput, "Name=");
    const std::size_t chosen = ChosenAdapter(pieces);
    // Later adapters follow on the name's next lines. The memory figure comes
    // before the name: after the device ID line of the adapter passed over.
    std::string name = FirstLine(PieceAt(pieces, chosen));
    std::string memory = PieceAt(pieces, chosen - 1);
    if (chosen > 1) {
        const auto lineEnd = memory.find('\n', memory.find(kDeviceIdKey));
        memory.erase(0, lineEnd == std::string::npos ? memory.size() : lineEnd + 1);
    }
    CleanAndTrace(name, trace, TraceCleaned::kNo);
    CleanAndTrace(memory, trace, TraceCleaned::kNo);

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
        // Text before the key (the tool's notice on its first run on a PC)
        // is skipped; without the key, its eleven characters are dropped unread.
        const auto key = memory.find(kAdapterRamKey);
        const bool keyed = key != std::string::npos;
        const std::size_t figure =
            keyed ? key + kAdapterRamKey.size() : std::min(kAdapterRamKey.size(), memory.size());
        // An adapter that reports no memory (a remote or USB display) is still named.
        const bool noFigure =
            keyed ? figure == memory.size() : memory.size() == kAdapterRamKey.size();
        if (noFigure && !name.empty()) {
            return name;
        }
        mebibytes = std::stoll(memory.substr(figure), nullptr, 10) / kBytesPerMebibyte;
    }
    return name + " (" + std::to_string(mebibytes) + " MB)";
}

}  // namespace orva
