#pragma once

#include <windows.h>

// The screen's DPI. Windows versions newer than the oldest the program runs on tell it per
// monitor; the functions for that are looked up here, at run time, and where they are missing
// the DPI of the screen's device context stands for every monitor.
class DisplayDpi {
public:
    // The DPI of the monitor that holds the point, or of the primary one when none does.
    static UINT AtPoint(POINT point);
    // The DPI the system draws its own parts at.
    static UINT OfSystem();
    // The DPI of the monitor that shows the taskbar and its notification area, as it is now.
    static UINT OfTaskbar();
};
