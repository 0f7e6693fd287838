#pragma once

#include <windows.h>

// Whether the program in front fills the clock's monitor, as a plain computation: no window,
// no display query.
namespace FullScreen {

// The window in front, as the clock sees it on a tick.
struct Front {
    // Its client area in screen coordinates: what the program draws, without the invisible
    // borders Windows 10 and 11 count into a window's rectangle.
    RECT area;
    // Its window class name.
    const wchar_t* className;
    // The desktop window, the shell's window, or one of the clock's own windows and dialogs.
    bool desktopOrOwn;
    // The system reports a Direct3D full-screen program or presentation mode, and this window
    // lies on the clock's monitor.
    bool systemFullScreen;
};

// Whether the clock steps aside for the window in front: it covers the whole monitor (the work
// area alone does not count), or the system says a full-screen program runs there. The desktop,
// the taskbars and the clock's own windows never count.
bool IsFullScreen(const Front& front, const RECT& monitor);

} // namespace FullScreen
