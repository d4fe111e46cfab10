#include "probes/text.h"

#include <algorithm>

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

void TraceLine(std::ostream& out, const std::string& value) {
    out.write(value.data(), static_cast<std::streamsize>(value.size()));
    out << std::endl;
}

std::string PieceAt(const std::vector<std::string>& pieces, std::size_t index) {
    return index < pieces.size() ? pieces[index] : std::string();
}

}  // namespace orva
