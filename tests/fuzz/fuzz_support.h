// What the row fuzz programs share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "probes/text.h"

namespace fuzz {

inline void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Trace lines go nowhere: only the row matters here.
inline const orva::TraceSink& NullTrace() {
    static const orva::TraceSink sink = [](const std::string&) {};
    return sink;
}

inline bool IsOneLine(const std::string& row) {
    return row.find('\r') == std::string::npos && row.find('\n') == std::string::npos;
}

// The row for output, or nothing when the number conversion fails: those
// two failures are the only ones a row may end with, and the report shows
// the row's failure text for them. Anything else escapes and is a finding.
template <typename Format>
bool TryRow(const Format& format, const std::string& output, std::string& row) {
    try {
        row = format(output);
        return true;
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    return false;
}

// The same row, or the same failure, for two outputs.
template <typename Format>
void RequireSameRow(const Format& format, const std::string& a, const std::string& b) {
    std::string rowA;
    std::string rowB;
    const bool okA = TryRow(format, a, rowA);
    const bool okB = TryRow(format, b, rowB);
    Require(okA == okB && rowA == rowB);
}

inline std::size_t CountOf(const std::string& text, const std::string& key) {
    std::size_t count = 0;
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + key.size())) {
        ++count;
    }
    return count;
}

}  // namespace fuzz
