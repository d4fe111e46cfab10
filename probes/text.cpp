#include "probes/text.h"

#include <algorithm>
#include <cstdio>

namespace orva {

std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    if (delimiter.empty()) {  // an empty key would match everywhere and never advance
        pieces.push_back(text);
        return pieces;
    }
    for (auto found = text.find(delimiter, start); found != std::string::npos;
         found = text.find(delimiter, start)) {
        pieces.emplace_back(text, start, found - start);
        start = found + delimiter.size();
    }
    pieces.emplace_back(text, start);
    return pieces;
}

void StripChar(std::string& text, char c) {
    text.erase(std::remove(text.begin(), text.end(), c), text.end());
}

void TraceLine(const TraceSink& sink, const std::string& value) {
    sink(value + '\n');
}

void CleanAndTrace(std::string& piece, const TraceSink& trace, TraceCleaned again) {
    StripChar(piece, '\n');
    TraceLine(trace, piece);
    StripChar(piece, '\r');
    if (again == TraceCleaned::kYes) {
        TraceLine(trace, piece);
    }
}

void TraceToStandardOutput(const std::string& line) {
    // Standard output normally leads nowhere, so a line it refuses is no failure.
    static_cast<void>(std::fwrite(line.data(), 1, line.size(), stdout));
    static_cast<void>(std::fflush(stdout));
}

std::string PieceAt(const std::vector<std::string>& pieces, std::size_t index) {
    return index < pieces.size() ? pieces[index] : std::string();
}

}  // namespace orva
