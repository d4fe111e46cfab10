#pragma once

#include <string>

namespace orva {

std::string ProbeMemory();

}  // namespace orva
