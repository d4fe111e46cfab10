#pragma once

#include <string>

namespace orva {

std::string ProbeDisks();

}  // namespace orva
