#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <vector>

#include "app/ScreenPlace.h"

using ScreenPlace::Monitor;

namespace {

using Edges = std::array<LONG, 4>;

Edges EdgesOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// A 1920 by 1080 primary with its taskbar at the bottom, a shorter monitor on its right, one
// left of and above it, and the primary after its mode fell to 1024 by 768.
const Monitor kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
const Monitor kRight{{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}};
const Monitor kLeftAbove{{-1280, -200, 0, 824}, {-1280, -200, 0, 784}};
const Monitor kShrunk{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
// The far corner of the 32-bit plane.
const Monitor kFarCorner{{INT_MAX - 1920, INT_MAX - 1080, INT_MAX, INT_MAX},
                         {INT_MAX - 1920, INT_MAX - 1080, INT_MAX, INT_MAX}};

// The digits of a transparent clock that stands at (left, top), 210 by 110.
RECT Digits(LONG left, LONG top) {
    return {left + 4, top + 54, left + 150, top + 105};
}

} // namespace

TEST(ScreenPlace, AClockOffTheMonitorsComesBackByTheSmallestMove) {
    struct Case {
        const char* what;
        std::vector<Monitor> monitors;
        RECT window;
        Edges expected;
        // Empty: the whole window is seen, and it stands at the user's place.
        RECT visible = {};
        RECT user = {};
    };
    const Case cases[] = {
        {"wholly on the monitor: stays", {kPrimary}, {400, 300, 610, 410}, {400, 300, 610, 410}},
        {"over the taskbar, still on the monitor: stays",
         {kPrimary},
         {400, 1000, 610, 1078},
         {400, 1000, 610, 1078}},
        {"the screen shrank under it", {kShrunk}, {1650, 900, 1860, 1010}, {814, 618, 1024, 728}},
        {"across the left edge", {kPrimary}, {-50, 20, 160, 130}, {0, 20, 210, 130}},
        {"across the top edge", {kPrimary}, {100, -30, 310, 80}, {100, 0, 310, 110}},
        {"across the right edge", {kPrimary}, {1800, 100, 2010, 210}, {1710, 100, 1920, 210}},
        {"across the bottom edge", {kPrimary}, {100, 1050, 310, 1160}, {100, 930, 310, 1040}},
        {"across two monitors, wholly on them: stays",
         {kPrimary, kRight},
         {1800, 100, 2010, 210},
         {1800, 100, 2010, 210}},
        {"across two monitors and below the shorter: onto the one it overlaps most",
         {kPrimary, kRight},
         {1800, 1000, 2010, 1110},
         {1710, 930, 1920, 1040}},
        {"on no monitor: onto the nearest",
         {kPrimary, kRight},
         {3500, 500, 3710, 610},
         {2990, 500, 3200, 610}},
        {"larger than the work area: shrunk to it",
         {kPrimary},
         {100, 100, 2100, 1200},
         {0, 0, 1920, 1040}},
        {"wider than the work area only", {kPrimary}, {-100, 100, 2100, 300}, {0, 100, 1920, 300}},
        {"left of and above the primary, partly off",
         {kPrimary, kLeftAbove},
         {-1400, -300, -1190, -190},
         {-1280, -200, -1070, -90}},
        {"wholly on the monitor at negative coordinates: stays",
         {kPrimary, kLeftAbove},
         {-600, 100, -390, 210},
         {-600, 100, -390, 210}},
        {"a work area left from before the screen shrank counts only on the monitor",
         {{kShrunk.area, {0, 0, 1920, 1040}}},
         {1650, 900, 1860, 1010},
         {814, 658, 1024, 768}},
        {"no monitor known: stays", {}, {5000, 5000, 5210, 5110}, {5000, 5000, 5210, 5110}},
        {"digits flush with the right edge, the blank part off: stays",
         {kPrimary},
         {1770, 400, 1980, 510},
         {1770, 400, 1980, 510},
         Digits(1770, 400)},
        {"digits at the top edge, the caption above it: stays",
         {kPrimary},
         {800, -40, 1010, 70},
         {800, -40, 1010, 70},
         Digits(800, -40)},
        {"digits across the right edge: only they come in",
         {kPrimary},
         {1800, 400, 2010, 510},
         {1770, 400, 1980, 510},
         Digits(1800, 400)},
        {"the user's place shows again: back there",
         {kPrimary},
         {814, 658, 1024, 768},
         {1650, 900, 1860, 1010},
         {},
         {1650, 900, 1860, 1010}},
        {"the user's place still off, the digits in sight: stays",
         {kShrunk},
         {850, 600, 1060, 710},
         {850, 600, 1060, 710},
         Digits(850, 600),
         {1650, 900, 1860, 1010}},
        {"at the 32-bit corner, a monitor at the far one: onto the nearer",
         {kPrimary, kFarCorner},
         {INT_MIN, INT_MIN, INT_MIN + 210, INT_MIN + 110},
         {0, 0, 210, 110}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT visible = IsRectEmpty(&c.visible) ? c.window : c.visible;
        const RECT user = IsRectEmpty(&c.user) ? c.window : c.user;
        EXPECT_EQ(c.expected,
                  EdgesOf(ScreenPlace::KeepInSight(user, c.window, visible, c.monitors)));
    }
}
