#include "probes/video.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "probes/text.h"

namespace orva {

namespace {

constexpr std::string_view kAdapterRamKey = "AdapterRAM=";
constexpr std::string_view kDeviceIdKey = "PNPDeviceID=";
constexpr unsigned long long kBytesPerMebibyte = 1048576;

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

// The remote desktop's adapter (SWD\REMOTEDISPLAYENUM\...) and virtual
// displays (ROOT\DISPLAY\0000...) are not the PC's own card.
bool IsRemoteOrVirtual(const std::string& deviceId) {
    return StartsWithIgnoringCase(deviceId, "ROOT\\") || StartsWithIgnoringCase(deviceId, "SWD\\");
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// One adapter of the list as the tool wrote it.
struct ListedAdapter {
    std::string name;                     // the rest of its "Name=" line
    std::string memory;                   // what stands between the previous record and its name
    std::optional<std::string> deviceId;  // nothing where its record has no key
};

// pieces: the output cut at "Name="; adapter n's name starts piece n, and
// its memory figure ends piece n - 1, after the previous adapter's lines.
// An output without a name still gives one adapter, nameless.
std::vector<ListedAdapter> ListedAdapters(const std::vector<std::string>& pieces) {
    std::vector<ListedAdapter> adapters;
    for (std::size_t n = 1; n < std::max<std::size_t>(2, pieces.size()); ++n) {
        const std::string piece = PieceAt(pieces, n);
        ListedAdapter adapter{FirstLine(piece), pieces[n - 1], std::nullopt};
        if (n > 1) {  // past the previous adapter's device ID line, or its name line
            const auto key = adapter.memory.find(kDeviceIdKey);
            const auto lineEnd = adapter.memory.find('\n', key == std::string::npos ? 0 : key);
            adapter.memory.erase(
                0, lineEnd == std::string::npos ? adapter.memory.size() : lineEnd + 1);
        }
        const auto key = piece.find(kDeviceIdKey);
        if (key != std::string::npos) {
            std::string id = FirstLine(piece.substr(key + kDeviceIdKey.size()));
            StripChar(id, '\r');
            adapter.deviceId = DecodeDeviceId(id);
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

std::optional<long long> NumberIn(const std::string& text) {
    try {
        return std::stoll(text, nullptr, 10);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

long long Mebibytes(unsigned long long bytes) {
    return static_cast<long long>(bytes / kBytesPerMebibyte);
}

// The figure the adapter's row shows, from its cleaned name and memory
// piece: nothing where it reports none. Throws where AdapterRAM is needed
// and holds no number in range.
// A figure of 0 bytes is none: an adapter that shares the system's memory
// (Adreno on Windows on ARM, a virtual machine's QXL display) reports 0.
std::optional<long long> MemoryFigure(const std::string& name, const std::string& memory,
                                      const StoredAdapterMemory& stored) {
    if (stored.driver.value_or(0) != 0) {
        return Mebibytes(*stored.driver);
    }
    // Text before the key (the tool's notice on its first run on a PC) is
    // skipped; without the key, its eleven characters are dropped unread.
    const auto key = memory.find(kAdapterRamKey);
    const bool keyed = key != std::string::npos;
    const std::size_t figure =
        keyed ? key + kAdapterRamKey.size() : std::min(kAdapterRamKey.size(), memory.size());
    const bool noFigure = keyed ? figure == memory.size() : memory.size() == kAdapterRamKey.size();
    const std::string digits = memory.substr(figure);
    // AdapterRAM is a 32-bit property and can only understate a card, while
    // integrated graphics count less as dedicated than its figure for them.
    if (stored.dedicated && *stored.dedicated > 0) {
        const std::optional<long long> ram = noFigure ? std::nullopt : NumberIn(digits);
        if (!ram || *ram < 0 || *stored.dedicated > static_cast<unsigned long long>(*ram)) {
            return Mebibytes(*stored.dedicated);
        }
    }
    if (!noFigure) {
        const long long bytes = std::stoll(digits, nullptr, 10);
        if (bytes != 0) {
            return bytes / static_cast<long long>(kBytesPerMebibyte);
        }
    }
    // An adapter that reports no memory (a remote or USB display) is still named.
    if (name.empty()) {
        throw std::invalid_argument("no adapter name and no memory figure");
    }
    return std::nullopt;
}

std::string WithoutLineBreaks(std::string text) {
    StripChar(text, '\n');
    StripChar(text, '\r');
    return text;
}

}  // namespace

std::string DecodeDeviceId(const std::string& listed) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string id;
    for (std::size_t i = 0; i < listed.size();) {
        const auto entity = std::find_if(
            std::begin(kEntities), std::end(kEntities),
            [&](const auto& e) { return listed.compare(i, e.first.size(), e.first) == 0; });
        if (entity != std::end(kEntities)) {
            id += entity->second;
            i += entity->first.size();
        } else {
            id += listed[i++];
        }
    }
    return id;
}

std::optional<unsigned> VendorIdOf(const std::string& deviceId) {
    constexpr std::size_t kDigits = 4;
    const auto key = deviceId.find("VEN_");
    if (key == std::string::npos || deviceId.size() < key + 4 + kDigits) {
        return std::nullopt;
    }
    const std::string digits = deviceId.substr(key + 4, kDigits + 1);
    const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (!std::all_of(digits.begin(), digits.begin() + kDigits, isHex) ||
        (digits.size() > kDigits && isHex(digits[kDigits]))) {
        return std::nullopt;  // not a PCI vendor (ACPI's VEN_QCOM, say)
    }
    return static_cast<unsigned>(std::stoul(digits.substr(0, kDigits), nullptr, 16));
}

std::string FormatVideoRow(const std::string& toolOutput, const AdapterMemoryLookup& lookup,
                           const TraceSink& trace) {
    const std::vector<ListedAdapter> adapters = ListedAdapters(SplitString(toolOutput, "Name="));
    std::vector<StoredAdapterMemory> stored(adapters.size());
    const auto lookUp = [&](std::size_t i) {
        const std::string name = WithoutLineBreaks(adapters[i].name);
        if (!name.empty() && lookup) {
            stored[i] = lookup(name, adapters[i].deviceId.value_or(std::string()));
        }
    };

    // Hybrid graphics list the integrated adapter and the card in no fixed
    // order: the card is the one with the most memory. Output of another
    // shape than the query's has no device IDs and names its first adapter.
    std::vector<std::size_t> candidates;
    const bool anyId = std::any_of(adapters.begin(), adapters.end(),
                                   [](const ListedAdapter& a) { return a.deviceId.has_value(); });
    for (std::size_t i = 0; anyId && i < adapters.size(); ++i) {
        if (!IsRemoteOrVirtual(adapters[i].deviceId.value_or(std::string()))) {
            candidates.push_back(i);
        }
    }
    std::size_t chosen = candidates.empty() ? 0 : candidates.front();
    if (candidates.size() > 1) {
        std::optional<long long> most;
        for (const std::size_t i : candidates) {
            lookUp(i);
            std::optional<long long> figure;
            try {
                figure = MemoryFigure(WithoutLineBreaks(adapters[i].name),
                                      WithoutLineBreaks(adapters[i].memory), stored[i]);
            } catch (const std::invalid_argument&) {  // an unreadable figure ranks as none
            } catch (const std::out_of_range&) {
            }
            if (figure && (!most || *figure > *most)) {
                most = figure;
                chosen = i;
            }
        }
    } else {
        lookUp(chosen);
    }

    std::string name = adapters[chosen].name;
    std::string memory = adapters[chosen].memory;
    CleanAndTrace(name, trace, TraceCleaned::kNo);
    CleanAndTrace(memory, trace, TraceCleaned::kNo);
    const std::optional<long long> mebibytes = MemoryFigure(name, memory, stored[chosen]);
    if (!mebibytes) {
        return name;
    }
    return name + " (" + std::to_string(*mebibytes) + " MB)";
}

}  // namespace orva
