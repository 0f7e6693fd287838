#include "system/DisplayDpi.h"

#include "system/LazyLibrary.h"

namespace {

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForSystemFunction = UINT(WINAPI*)();

// MDT_EFFECTIVE_DPI: the DPI the user's scale setting gives the monitor.
constexpr int kEffectiveDpi = 0;

UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

UINT DisplayDpi::AtPoint(POINT point) {
    static LazyLibrary shcore(L"shcore.dll");
    static const auto getDpiForMonitor =
        shcore.Function<GetDpiForMonitorFunction>("GetDpiForMonitor");
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (getDpiForMonitor &&
        SUCCEEDED(getDpiForMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY), kEffectiveDpi,
                                   &dpiX, &dpiY)) &&
        dpiY > 0) {
        return dpiY;
    }
    return OfSystem();
}

UINT DisplayDpi::OfSystem() {
    static LazyLibrary user32(L"user32.dll");
    static const auto getDpiForSystem = user32.Function<GetDpiForSystemFunction>("GetDpiForSystem");
    return getDpiForSystem ? getDpiForSystem() : ScreenDpi();
}

UINT DisplayDpi::OfTaskbar() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT edges{};
    if (taskbar && GetWindowRect(taskbar, &edges)) {
        return AtPoint({edges.left + (edges.right - edges.left) / 2,
                        edges.top + (edges.bottom - edges.top) / 2});
    }
    return AtPoint({0, 0});
}
