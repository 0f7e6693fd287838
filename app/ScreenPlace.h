#pragma once

#include <windows.h>

#include <vector>

// Where a window stands on the monitors, as plain computations: no window, no display query.
namespace ScreenPlace {

// One monitor: all of it, and the part of it that the taskbar and docked bars leave free.
struct Monitor {
    RECT area;
    RECT work;
};

// Where the window goes so that all of it can be seen: where it stands when it lies wholly on
// the monitors; otherwise into the work area of the monitor it overlaps most (or, overlapping
// none, of the nearest one), moved as little as brings it wholly in, and shrunk to that work
// area along an axis where it does not fit. With no monitor it stays where it is.
RECT KeepInSight(const RECT& window, const std::vector<Monitor>& monitors);

} // namespace ScreenPlace
