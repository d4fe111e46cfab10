// SplitString over any text and any delimiter. The first byte is the
// delimiter's length (modulo 32, so an empty delimiter comes up too), the
// delimiter's bytes follow, and the rest is the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "probes/text.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Leftmost, non-overlapping occurrences, counted byte by byte without find.
std::size_t CountOccurrences(const std::string& text, const std::string& delimiter) {
    std::size_t count = 0;
    std::size_t at = 0;
    while (at + delimiter.size() <= text.size()) {
        if (text.compare(at, delimiter.size(), delimiter) == 0) {
            ++count;
            at += delimiter.size();
        } else {
            ++at;
        }
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::size_t delimiterSize = std::min<std::size_t>(data[0] % 32, size - 1);
    const std::string delimiter(bytes + 1, delimiterSize);
    const std::string text(bytes + 1 + delimiterSize, size - 1 - delimiterSize);

    const std::vector<std::string> pieces = orva::SplitString(text, delimiter);

    if (delimiter.empty()) {
        Require(pieces.size() == 1 && pieces[0] == text);
        return 0;
    }
    Require(pieces.size() == CountOccurrences(text, delimiter) + 1);

    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i != 0) {
            joined += delimiter;
        }
        joined += pieces[i];
        // Each piece lies between two neighbouring leftmost matches: a search
        // from the end of one match would have stopped at any occurrence
        // inside the piece, so there is none.
        Require(CountOccurrences(pieces[i], delimiter) == 0);
        Require(orva::PieceAt(pieces, i) == pieces[i]);
    }
    Require(joined == text);
    Require(orva::PieceAt(pieces, pieces.size()).empty());
    return 0;
}
