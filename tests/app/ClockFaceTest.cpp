#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "app/ClockFace.h"

using namespace ClockFace;

namespace {

struct Line {
    TimeSource source;
    int x;
    int y;
};

bool operator==(const Line& a, const Line& b) {
    return a.source == b.source && a.x == b.x && a.y == b.y;
}

void PrintTo(const Line& line, std::ostream* out) {
    *out << (line.source == TimeSource::Local ? "local" : "gmt") << " at (" << line.x << ", "
         << line.y << ")";
}

std::vector<Line> Plan(DWORD displayType, int clientHeight) {
    LinePlan lines[2]{};
    const int count = PlanLines(static_cast<DisplayType>(displayType), clientHeight, lines);
    std::vector<Line> plan;
    for (int i = 0; i < count; ++i) {
        plan.push_back({lines[i].source, lines[i].x, lines[i].y});
    }
    return plan;
}

} // namespace

TEST(ClockFace, EmSizeAndSecondLineFollowTheClientHeight) {
    struct Case {
        int h;
        float em;
        int secondLineY;
    };
    const Case cases[] = {{0, 0, 0},  {1, 0, 0},     {7, 3, 3},     {15, 6, 7},
                          {16, 6, 8}, {100, 38, 50}, {200, 75, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.h);
        EXPECT_EQ(c.em, EmSize(c.h));
        const std::vector<Line> expected = {{TimeSource::Local, 0, 0},
                                            {TimeSource::Gmt, 0, c.secondLineY}};
        EXPECT_EQ(expected, Plan(DisplayBoth, c.h));
    }
}

TEST(ClockFace, DisplayTypeChoosesTheLines) {
    EXPECT_EQ((std::vector<Line>{{TimeSource::Gmt, 0, 0}}), Plan(DisplayGmtOnly, 52));
    EXPECT_EQ((std::vector<Line>{{TimeSource::Local, 0, 0}}), Plan(DisplayLocalOnly, 52));
    EXPECT_TRUE(Plan(3, 52).empty());
    EXPECT_TRUE(Plan(0xFFFFFFFF, 52).empty());
}

TEST(ClockFace, LinesAreTwoDigitTimesWithOptionalSuffix) {
    struct Case {
        TimeSource source;
        bool suffix;
        int hour, minute, second;
        const wchar_t* text;
    };
    const Case cases[] = {
        {TimeSource::Local, false, 9, 5, 3, L"09:05:03"},
        {TimeSource::Local, true, 9, 5, 3, L"09:05:03 LOC"},
        {TimeSource::Gmt, false, 9, 5, 3, L"09:05:03"},
        {TimeSource::Gmt, true, 9, 5, 3, L"09:05:03 GMT"},
        {TimeSource::Gmt, true, 23, 59, 59, L"23:59:59 GMT"},
        {TimeSource::Local, false, 0, 0, 0, L"00:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        wchar_t buffer[kTextCapacity];
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        const int length =
            FormatLine(buffer, kTextCapacity, c.source, c.suffix, c.hour, c.minute, c.second);
        EXPECT_EQ(std::wstring(c.text), std::wstring(buffer));
        EXPECT_EQ(static_cast<int>(wcslen(c.text)), length);
    }
}

TEST(ClockFace, RegionMovesDownPastCaptionAndMenuOnly) {
    EXPECT_EQ(50, RegionOffsetY(0, 110, 8, 52));
    EXPECT_EQ(50, RegionOffsetY(300, 410, 8, 52));
    EXPECT_EQ(0, RegionOffsetY(-20, 80, 0, 100));
}

TEST(ClockFace, TickWaitsUntilJustPastTheNextSecond) {
    EXPECT_EQ(1005u, TickDelay(0));
    EXPECT_EQ(505u, TickDelay(500));
    EXPECT_EQ(6u, TickDelay(999));
}

TEST(ClockFace, SavedRectNeedsLeftInsideTheVirtualScreen) {
    struct Case {
        LONG left;
        bool accepted;
        LONG top = 20;
    };
    const Case cases[] = {{0, true},     {1279, true}, {1280, false},
                          {5000, false}, {-50, true},  {-32000, false, -32000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        const RECT rect{c.left, c.top, c.left + 210, c.top + 110};
        EXPECT_EQ(c.accepted, AcceptSavedRect(rect, 1280));
    }
}

TEST(ClockFace, SizesAt96DpiScaleToTheNearestPixel) {
    struct Case {
        int pixelsAt96;
        UINT dpi;
        int pixels;
    };
    const Case cases[] = {{10, 96, 10},    {210, 96, 210},  {110, 96, 110},  {16, 96, 16},
                          {10, 144, 15},   {210, 144, 315}, {110, 144, 165}, {16, 144, 24},
                          {10, 120, 13},   {210, 120, 263}, {110, 120, 138}, {16, 120, 20},
                          {210, 168, 368}, {16, 192, 32},   {-5, 120, -6},   {-10, 144, -15},
                          {0, 144, 0},     {7, 72, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixelsAt96 << " at " << c.dpi);
        EXPECT_EQ(c.pixels, ScaleForDpi(c.pixelsAt96, c.dpi));
    }
}
