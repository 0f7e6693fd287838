#include <windows.h>

#include "bench/BareClock.h"

// The bare window as a program of its own: the size the clock's executable is compared with.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (!BareClock::Create(instance)) {
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
