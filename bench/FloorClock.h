#pragma once

#include <windows.h>

// The floor of the clock's design: a window that does only the clock's per-second work. At
// the turn of each second it turns the local time and GMT into a glyph region with GDI+ and
// clips itself to it, and it shows an icon in the notification area. GDI+ must be running.
namespace FloorClock {

// Registers the window class (once per process) and creates the shown window with its timer
// and tray icon.
HWND Create(HINSTANCE instance);

} // namespace FloorClock
