#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "tests/support/ClockFixture.h"

using namespace ClockTest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

bool HasRegion(int type) {
    return type == SIMPLEREGION || type == COMPLEXREGION;
}

// Where the client area starts, in window coordinates.
POINT ClientOrigin(HWND hwnd) {
    RECT window{};
    GetWindowRect(hwnd, &window);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return {origin.x - window.left, origin.y - window.top};
}

// The client area's pixels, row by row, as COLORREF.
std::vector<COLORREF> ClientPixels(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC window = GetDC(hwnd);
    BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, window);
    GdiFlush();
    std::vector<COLORREF> pixels;
    const auto* row = static_cast<const DWORD*>(bits);
    for (int i = 0; bits != nullptr && i < width * height; ++i) {
        const DWORD p = row[i];
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

// How many regions the process can still create; fewer means GDI handles were leaked.
int CreatableRegions() {
    std::vector<HRGN> regions;
    regions.reserve(70000);
    for (int i = 0; i < 100000; ++i) {
        HRGN region = CreateRectRgn(0, 0, 1, 1);
        if (region == nullptr) {
            break;
        }
        regions.push_back(region);
    }
    for (HRGN region : regions) {
        DeleteObject(region);
    }
    return static_cast<int>(regions.size());
}

// Notes the clipping of the paint's DC, as BeginPaint hands it to the erasing of the background.
class PaintClipClock : public ZelDsktp {
public:
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_ERASEBKGND) {
            GetClipBox(reinterpret_cast<HDC>(wParam), &m_paintClip);
        }
        return ZelDsktp::WindowProc(hwnd, msg, wParam, lParam);
    }
    RECT m_paintClip{};
};

} // namespace

TEST_F(ClockFixture, TransparentPaintClipsTheWindowAndFramedPaintKeepsTheRegion) {
    Start();
    MoveWindow(Window(), 300, 300, 210, 110, TRUE);
    const POINT origin = ClientOrigin(Window());
    ASSERT_GT(origin.y, 0);

    Paint(*m_clock, TRUE);
    RECT clipped{};
    ASSERT_TRUE(HasRegion(WindowRegionBox(Window(), &clipped)));
    EXPECT_EQ(nullptr, m_clock->m_hRegion);
    EXPECT_FALSE(IsRectEmpty(&clipped));
    EXPECT_GE(clipped.top, origin.y) << "the digits must sit below caption and menu";
    EXPECT_LE(clipped.right, 210);
    EXPECT_LE(clipped.bottom, 110);

    Paint(*m_clock, FALSE);
    RECT none{};
    EXPECT_EQ(ERROR, WindowRegionBox(Window(), &none));
    const HRGN first = m_clock->m_hRegion;
    ASSERT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(first));
    RECT glyphs{};
    GetRgnBox(first, &glyphs);
    EXPECT_EQ(glyphs.left, clipped.left) << "the window region moved sideways";
    EXPECT_NEAR(glyphs.top + origin.y, clipped.top, 1);

    const std::vector<COLORREF> pixels = ClientPixels(Window());
    EXPECT_NE(pixels.end(), std::find(pixels.begin(), pixels.end(), m_clock->m_color));
    EXPECT_NE(pixels.end(), std::find(pixels.begin(), pixels.end(), kWhite));

    Paint(*m_clock, FALSE);
    EXPECT_EQ(0u, GetObjectType(first)) << "the previous paint's region was not deleted";
    const HRGN second = m_clock->m_hRegion;
    EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(second));

    Paint(*m_clock, TRUE);
    EXPECT_EQ(0u, GetObjectType(second));
    EXPECT_EQ(nullptr, m_clock->m_hRegion);
    EXPECT_TRUE(HasRegion(WindowRegionBox(Window(), &clipped)));
}

// From one line to two, the outline grows: the paint that grows it may draw all of it.
TEST_F(ClockFixture, APaintIsClippedToTheOutlineItSets) {
    Start(std::make_unique<PaintClipClock>());
    auto& clock = static_cast<PaintClipClock&>(*m_clock);
    MoveWindow(Window(), 300, 300, 210, 110, TRUE);
    const POINT origin = ClientOrigin(Window());
    clock.m_displayType = DisplayLocalOnly;
    Paint(clock, TRUE);
    clock.m_displayType = DisplayBoth;
    Paint(clock, TRUE);
    RECT outline{};
    ASSERT_TRUE(HasRegion(WindowRegionBox(Window(), &outline)));
    OffsetRect(&outline, -origin.x, -origin.y);
    RECT client{};
    GetClientRect(Window(), &client);
    IntersectRect(&outline, &outline, &client);
    RECT both{};
    UnionRect(&both, &outline, &clock.m_paintClip);
    EXPECT_TRUE(EqualRect(&both, &clock.m_paintClip))
        << "the paint was clipped to the previous outline";
}

TEST_F(ClockFixture, DigitsTakeTheColourOfTheStoredLowThreeBytes) {
    Start();
    MoveWindow(Window(), 300, 300, 210, 110, TRUE);
    for (const DWORD stored : {0x000000C8u, 0x010000C8u, 0x020000C8u, 0xFF0000C8u}) {
        SCOPED_TRACE(stored);
        TestRegistry::StoreSetting(Settings::kDisplayColor, stored);
        m_clock->LoadSettings();
        Paint(*m_clock, FALSE);
        const std::vector<COLORREF> pixels = ClientPixels(Window());
        EXPECT_NE(pixels.end(), std::find(pixels.begin(), pixels.end(), RGB(200, 0, 0)));
    }
}

TEST_F(ClockFixture, FaceIsEmptyOnlyWithoutLines) {
    Start();
    MoveWindow(Window(), 300, 300, 210, 110, TRUE);
    struct Case {
        const char* what;
        const wchar_t* face;
        DWORD displayType;
        bool digits;
    };
    const Case cases[] = {
        {"face not installed: the default face stands in", L"No Such Face Vintrel", DisplayBoth,
         true},
        {"no face at all: the default face stands in", L"", DisplayBoth, true},
        {"display type 3", L"Arial", 3, false},
        {"display type -1", L"Arial", 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wcscpy(m_clock->m_faceName, c.face);
        m_clock->m_displayType = static_cast<DisplayType>(c.displayType);
        SetWindowRgn(Window(), nullptr, TRUE);

        Paint(*m_clock, FALSE);
        const std::vector<COLORREF> pixels = ClientPixels(Window());
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(!c.digits, pixels.size() == static_cast<size_t>(
                                                  std::count(pixels.begin(), pixels.end(), kWhite)))
            << "framed client area: digits expected " << c.digits;

        Paint(*m_clock, TRUE);
        RECT box{};
        EXPECT_EQ(c.digits ? COMPLEXREGION : NULLREGION, WindowRegionBox(Window(), &box));
        EXPECT_EQ(!c.digits, IsRectEmpty(&box) != FALSE);
        EXPECT_STREQ(c.face, m_clock->m_faceName) << "the chosen face was replaced";
    }
}

TEST_F(ClockFixture, ManyPaintsLeaveNoGdiHandleBehind) {
    constexpr int kWarmUp = 100;
    // A paint takes 5 to 15 ms under Wine here, so 20,000 would far outlast the test's time limit.
    constexpr int kPaints = 2000;
    Start();
    for (int i = 0; i < kWarmUp; ++i) {
        Paint(*m_clock, i % 2 == 0);
    }
    const int before = CreatableRegions();
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < kPaints; ++i) {
        Paint(*m_clock, i % 2 == 0);
    }
    const ULONGLONG elapsed = GetTickCount64() - start;
    const int after = CreatableRegions();
    RecordProperty("paints", kPaints);
    RecordProperty("milliseconds", static_cast<int>(elapsed));
    std::printf("%d paints in %llu ms; regions creatable before %d, after %d\n", kPaints, elapsed,
                before, after);
    EXPECT_LE(before - after, 10) << "GDI handles leaked over " << kPaints << " paints";
}
