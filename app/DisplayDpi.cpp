#include "app/DisplayDpi.h"

namespace {

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForSystemFunction = UINT(WINAPI*)();

// MDT_EFFECTIVE_DPI: the DPI the user's scale setting gives the monitor.
constexpr int kEffectiveDpi = 0;

// A function of a system DLL, or null where this Windows lacks the DLL or the function.
template <typename Function> Function Lookup(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);
    if (!module) {
        module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    if (!module) {
        return nullptr;
    }
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

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
    static const auto getDpiForMonitor =
        Lookup<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
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
    static const auto getDpiForSystem =
        Lookup<GetDpiForSystemFunction>(L"user32.dll", "GetDpiForSystem");
    return getDpiForSystem ? getDpiForSystem() : ScreenDpi();
}
