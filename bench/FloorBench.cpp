#include <windows.h>
#include <gdiplus.h>

#include "bench/BenchRecorder.h"
#include "bench/BenchSession.h"
#include "bench/FloorClock.h"

namespace {

WNDPROC g_floorProc = nullptr;

// Every message of the floor window: ticks and paint starts go to the recorder first.
LRESULT CALLBACK StampedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        BenchRecorder::Instance().NoteTick();
    } else if (msg == WM_PAINT) {
        BenchRecorder::Instance().NotePaintStart();
    }
    return CallWindowProcW(g_floorProc, hwnd, msg, wParam, lParam);
}

} // namespace

// Starts the floor window and runs the same measurements on it as on the clock.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    BenchConfig config;
    if (!ParseBenchConfig(config)) {
        return 2;
    }
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    int result = 3;
    HWND hwnd = FloorClock::Create(instance);
    if (hwnd) {
        g_floorProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StampedProc)));
        result = BenchSession(config).Run(hwnd) ? 0 : 1;
        DestroyWindow(hwnd);
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return result;
}
