#include <gtest/gtest.h>

#include "app/FullScreen.h"

TEST(FullScreen, OnlyAProgramFillingTheClocksMonitorCounts) {
    const RECT monitor{0, 0, 1920, 1080};
    struct Case {
        const char* what;
        FullScreen::Front front;
        bool expected;
    };
    const Case cases[] = {
        {"equal", {monitor, L"Player", false, false}, true},
        {"larger", {{-8, -8, 1928, 1088}, L"Game", false, false}, true},
        {"on the second monitor", {{1920, 0, 3200, 1024}, L"Player", false, false}, false},
        {"the work area only", {{0, 0, 1920, 1040}, L"Notepad", false, false}, false},
        {"the desktop", {monitor, L"#32769", true, false}, false},
        {"the desktop's WorkerW", {monitor, L"WorkerW", false, false}, false},
        {"the taskbar", {monitor, L"Shell_TrayWnd", false, false}, false},
        {"an empty rectangle", {{0, 0, 0, 0}, L"Player", false, false}, false},
        {"Direct3D full screen on this monitor", {{0, 0, 800, 600}, L"Game", false, true}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, FullScreen::IsFullScreen(c.front, monitor));
    }
}
