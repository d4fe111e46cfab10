#include "app/placement.h"

#include <algorithm>

namespace orva {

namespace {

int FitRange(int start, int length, int areaStart, int areaEnd) {
    return std::max(areaStart, std::min(start, areaEnd - length));
}

}  // namespace

WindowBox FitInside(const WindowBox& box, const ScreenArea& area) {
    return {FitRange(box.x, box.width, area.left, area.right),
            FitRange(box.y, box.height, area.top, area.bottom), box.width, box.height};
}

}  // namespace orva
