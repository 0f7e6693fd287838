#pragma once

#include <windows.h>

#include <vector>

// Where a window stands on the monitors, as plain computations: no window, no display query.
//
// Each takes the user's own place for the window, the window's rectangle as it stands, and the
// part of that rectangle the user sees (the digits, or the visible frame), all in screen
// coordinates. A window at the user's place shows its visible part at the same distances from
// its edges as it does where it stands.
namespace ScreenPlace {

// One monitor: all of it, and the part of it that the taskbar and docked bars leave free.
struct Monitor {
    RECT area;
    RECT work;
};

// Whether the visible part lies wholly on the monitors with the window at the user's place.
bool InSight(const RECT& user, const RECT& window, const RECT& visible,
             const std::vector<Monitor>& monitors);

// Where the window goes so that its visible part can be seen: back at the user's place when
// that shows it; where it stands when that shows it; otherwise moved as little as brings the
// visible part wholly into the work area of the monitor it overlaps most (or, overlapping none,
// of the nearest one), shrunk to that work area along an axis where it does not fit. With no
// monitor it stays where it is.
RECT KeepInSight(const RECT& user, const RECT& window, const RECT& visible,
                 const std::vector<Monitor>& monitors);

} // namespace ScreenPlace
