// Text operations shared by the probes that read tool output.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orva {

// Cuts text at every occurrence of delimiter (never empty). Always returns one
// piece more than there are occurrences; empty pieces are kept.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter);

// Removes every occurrence of c from text, in place.
void StripChar(std::string& text, char c);

// Takes one whole trace line, its LF included, and passes it on at once, so
// the trace survives a crash.
using TraceSink = std::function<void(const std::string& line)>;

// Hands a cleaned value to sink as one line.
void TraceLine(const TraceSink& sink, const std::string& value);

// Whether a cleaned piece is traced once more, without its CRs.
enum class TraceCleaned : bool { kNo, kYes };

// Makes a piece of list text fit for a row, tracing it on the way: removes
// its LFs and traces it, then removes its CRs.
void CleanAndTrace(std::string& piece, const TraceSink& trace, TraceCleaned again);

// The program's sink: writes the line to standard output and flushes it.
// Through the C runtime's stream: iostream would bring most of the C++ stream
// library into the program.
void TraceToStandardOutput(const std::string& line);

// The piece at index, or empty text when the list is shorter.
std::string PieceAt(const std::vector<std::string>& pieces, std::size_t index);

}  // namespace orva
