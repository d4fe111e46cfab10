#pragma once

#include <string>

namespace orva {

std::wstring ProbeBoard();

}  // namespace orva
