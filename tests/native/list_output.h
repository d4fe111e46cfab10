// Tool output as the probes receive it, written in tests with plain "\n".
#pragma once

#include <string>

namespace orva {

// The tool's list format ends lines with CR CR LF; the runner's text-mode pipe
// turns each CR LF into LF, so CR LF arrives; other tools write bare LF.
inline constexpr const char* kToolLineEnd = "\r\r\n";
inline constexpr const char* kPipeLineEnd = "\r\n";
inline constexpr const char* kBareLineEnd = "\n";
inline constexpr const char* kLineEnds[] = {kToolLineEnd, kPipeLineEnd, kBareLineEnd};

// What the tool writes ahead of its list the first time it runs on a PC.
inline const std::string kFirstRunNotice = "Please wait while WMIC is being installed.";

// text with every LF replaced by lineEnd.
inline std::string WithLineEnds(const std::string& text, const std::string& lineEnd) {
    std::string result;
    for (const char c : text) {
        if (c == '\n') {
            result += lineEnd;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace orva
