#include <windows.h>
#include <gdiplus.h>

#include "bench/FloorClock.h"

// The floor window as a program of its own: the size the clock's executable is compared with.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    int result = 1;
    if (FloorClock::Create(instance)) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageW(&msg);
        }
        result = 0;
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return result;
}
