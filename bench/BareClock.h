#pragma once

#include <windows.h>

// The cheapest window that does the clock's job: a plain one-second timer and a paint that
// draws the local time and GMT as two lines of text.
namespace BareClock {

inline constexpr UINT_PTR kTimerId = 1;
inline constexpr UINT kPeriodMs = 1000;

// Registers the window class (once per process) and creates the shown window with its timer.
HWND Create(HINSTANCE instance);

} // namespace BareClock
