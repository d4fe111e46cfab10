// Trace lines kept in a string, byte for byte as standard output gets them.
#pragma once

#include <string>

#include "probes/text.h"

namespace orva {

inline TraceSink AppendTo(std::string& text) {
    return [&text](const std::string& line) { text += line; };
}

}  // namespace orva
