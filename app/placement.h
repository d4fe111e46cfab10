// Where the main window goes on the screen.
#pragma once

namespace orva {

struct WindowBox {
    int x;
    int y;
    int width;
    int height;
};

struct ScreenArea {
    int left;
    int top;
    int right;
    int bottom;
};

// The main window's place and size when the screen has room for it.
inline constexpr WindowBox kMainWindowBox = {618, 300, 700, 300};

// The box moved the least distance that brings it inside the area, its size
// kept. Where it is wider or taller than the area, its left or top edge goes
// to the area's, so that the caption stays within reach.
WindowBox FitInside(const WindowBox& box, const ScreenArea& area);

}  // namespace orva
