#include <windows.h>

#include "bench/BareClock.h"
#include "bench/BenchRecorder.h"
#include "bench/BenchSession.h"

namespace {

WNDPROC g_bareProc = nullptr;

// Every message of the bare window: ticks and paint starts go to the recorder first.
LRESULT CALLBACK StampedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        BenchRecorder::Instance().NoteTick();
    } else if (msg == WM_PAINT) {
        BenchRecorder::Instance().NotePaintStart();
    }
    return CallWindowProcW(g_bareProc, hwnd, msg, wParam, lParam);
}

} // namespace

// Starts the bare window and runs the same measurements on it as on the clock.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    BenchConfig config;
    if (!ParseBenchConfig(config)) {
        return 2;
    }
    HWND hwnd = BareClock::Create(instance);
    if (hwnd == nullptr) {
        return 3;
    }
    g_bareProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StampedProc)));
    const int result = BenchSession(config).Run(hwnd) ? 0 : 1;
    DestroyWindow(hwnd);
    return result;
}
