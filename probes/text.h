// Text operations shared by the probes that read tool output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orva {

// Cuts text at every occurrence of delimiter (never empty). Always returns one
// piece more than there are occurrences; empty pieces are kept.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter);

// Removes every occurrence of c from text, in place.
void StripChar(std::string& text, char c);

// Writes a cleaned value as one line and flushes, so the trace survives a crash.
void TraceLine(std::ostream& out, const std::string& value);

// The piece at index, or empty text when the list is shorter.
std::string PieceAt(const std::vector<std::string>& pieces, std::size_t index);

}  // namespace orva
