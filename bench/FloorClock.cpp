#include "bench/FloorClock.h"

#include <shellapi.h>

#include "app/ClockFace.h"
#include "app/GdiPlusHandle.h"

using namespace Gdiplus::DllExports;

namespace FloorClock {

namespace {

constexpr wchar_t kClassName[] = L"vintrel_floor";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayId = 1;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
// Right of the bare window, so that no window of the benchmark uncovers another.
constexpr int kX = 520;
constexpr int kY = 10;
constexpr int kWidth = 210;
constexpr int kHeight = 110;
constexpr COLORREF kColor = RGB(0, 0, 100);

void StartTimer(HWND hwnd) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    SetTimer(hwnd, kTimerId, ClockFace::TickDelay(now.wMilliseconds), nullptr);
}

void NotifyTray(HWND hwnd, DWORD action) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = kTrayId;
    if (action == NIM_ADD) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kTrayMessage;
        data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        lstrcpynW(data.szTip, L"Floor clock", ARRAYSIZE(data.szTip));
    }
    Shell_NotifyIconW(action, &data);
}

void AddLine(Gdiplus::GpPath* path, Gdiplus::GpFontFamily* family, Gdiplus::GpStringFormat* format,
             const ClockFace::LinePlan& line, float emSize) {
    SYSTEMTIME time;
    if (line.source == ClockFace::TimeSource::Local) {
        GetLocalTime(&time);
    } else {
        GetSystemTime(&time);
    }
    wchar_t text[ClockFace::kTextCapacity];
    const int length = ClockFace::FormatLine(text, ClockFace::kTextCapacity, line.source, true,
                                             time.wHour, time.wMinute, time.wSecond);
    Gdiplus::Rect layout(line.x, line.y, 0, 0);
    GdipAddPathStringI(path, text, length, family, Gdiplus::FontStyleBold, emSize, &layout, format);
}

// The glyph region of both times, in window coordinates, or null. Like the clock, it makes
// and releases its GDI+ objects within the paint.
HRGN GlyphRegion(HWND hwnd, HDC dc) {
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT window{};
    GetWindowRect(hwnd, &window);
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    GetWindowInfo(hwnd, &info);
    const int h = client.bottom;

    GpStringFormatHandle format;
    GdipCreateStringFormat(0, LANG_NEUTRAL, format.out());
    GpFontFamilyHandle family;
    GdipCreateFontFamilyFromName(L"Arial", nullptr, family.out());
    GpPathHandle path;
    GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    ClockFace::LinePlan lines[2];
    const int count = ClockFace::PlanLines(DisplayBoth, h, lines);
    for (int i = 0; i < count; ++i) {
        AddLine(path.get(), family.get(), format.get(), lines[i], ClockFace::EmSize(h));
    }
    GpRegionHandle region;
    GdipCreateRegionPath(path.get(), region.out());
    GpGraphicsHandle graphics;
    GdipCreateFromHDC(dc, graphics.out());
    HRGN glyphs = nullptr;
    GdipGetRegionHRgn(region.get(), graphics.get(), &glyphs);
    if (glyphs) {
        OffsetRgn(glyphs, 0,
                  ClockFace::RegionOffsetY(window.top, window.bottom,
                                           static_cast<int>(info.cyWindowBorders), h));
    }
    return glyphs;
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HRGN glyphs = GlyphRegion(hwnd, dc);
    if (!SetWindowRgn(hwnd, glyphs, TRUE) && glyphs) {
        DeleteObject(glyphs);
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(kColor);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
}

// Every message of the floor window.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        NotifyTray(hwnd, NIM_ADD);
        StartTimer(hwnd);
        return 0;
    case WM_TIMER:
        InvalidateRect(hwnd, nullptr, TRUE);
        StartTimer(hwnd);
        return 0;
    case WM_PAINT:
        // As in the clock, default processing then validates what the new region exposed.
        Paint(hwnd);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_DESTROY:
        KillTimer(hwnd, kTimerId);
        NotifyTray(hwnd, NIM_DELETE);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

HWND Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, kClassName, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
    }
    return CreateWindowExW(kExStyle, kClassName, L"Floor clock", kStyle, kX, kY, kWidth, kHeight,
                           nullptr, nullptr, instance, nullptr);
}

} // namespace FloorClock
