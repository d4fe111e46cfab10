// Where the six rows stand in the client area: the paint draws them there,
// and a screen reader is told the same places.
#pragma once

#include <cstddef>

namespace orva {

inline constexpr int kFirstRowY = 35;
inline constexpr int kRowPitch = 30;
inline constexpr int kLabelX = 20;
inline constexpr int kValueX = 70;

// The top of the row's text, label and value alike.
inline constexpr int RowTop(std::size_t row) {
    return kFirstRowY + static_cast<int>(row) * kRowPitch;
}

}  // namespace orva
