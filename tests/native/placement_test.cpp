#include "app/placement.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(FitInside, MovesTheWindowTheLeastDistanceIntoTheWorkAreaKeepingItsSize) {
    struct Case {
        const char* what;
        ScreenArea area;
        int x;
        int y;
    };
    const Case cases[] = {
        {"room enough", {0, 0, 1920, 1040}, 618, 300},
        {"exactly room enough", {0, 0, 1318, 600}, 618, 300},
        {"1280 wide (150 % of 1920x1080)", {0, 0, 1280, 720}, 580, 300},
        {"1280x1024 with a taskbar below", {0, 0, 1280, 984}, 580, 300},
        {"too low", {0, 0, 1366, 568}, 618, 268},
        {"a taskbar on the left", {700, 0, 1920, 1080}, 700, 300},
        {"a monitor left of the main one", {-1280, 0, 0, 1024}, -700, 300},
        {"narrower than the window", {0, 0, 640, 480}, 0, 180},
        {"shorter than the window, off at the top", {0, 400, 800, 600}, 100, 400},
    };
    for (const Case& c : cases) {
        const WindowBox placed = FitInside(kMainWindowBox, c.area);
        EXPECT_EQ(placed.x, c.x) << c.what;
        EXPECT_EQ(placed.y, c.y) << c.what;
        EXPECT_EQ(placed.width, 700) << c.what;
        EXPECT_EQ(placed.height, 300) << c.what;
    }
}

}  // namespace
}  // namespace orva
