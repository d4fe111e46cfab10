#pragma once

#include <string>

namespace orva {

std::string ProbeVideo();

}  // namespace orva
