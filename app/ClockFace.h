#pragma once

#include <windows.h>

#include <cstddef>

#include "settings/SettingsNames.h"

// The clock face as plain computations: no window, no GDI, no clock reading.
namespace ClockFace {

// Characters in the text buffer of one line.
inline constexpr std::size_t kTextCapacity = 260;

enum class TimeSource { Local, Gmt };

// One line of the face: where its time comes from and where its text starts.
struct LinePlan {
    TimeSource source;
    int x;
    int y;
};

// The lines a display type shows, in the order they are added (local first);
// returns how many were written to lines (0 to 2).
int PlanLines(DisplayType displayType, int clientHeight, LinePlan lines[2]);

// Formats "hh:mm:ss", followed by " LOC" or " GMT" when withSuffix; returns the length.
int FormatLine(wchar_t* buffer, std::size_t capacity, TimeSource source, bool withSuffix, int hour,
               int minute, int second);

// Em size in pixels for a client area h pixels high: (h / 2) - (h / 8) in integers.
float EmSize(int clientHeight);

// How far the client-coordinate glyph region moves down to sit in window coordinates.
int RegionOffsetY(int windowTop, int windowBottom, int bottomBorder, int clientHeight);

// Milliseconds from a moment ms into the current second until just after the next one.
UINT TickDelay(int millisecondsIntoSecond);

// A size or place given in pixels at 96 DPI, in pixels at `dpi`: rounded to the nearest pixel,
// halves away from zero, as MulDiv rounds.
int ScaleForDpi(int pixelsAt96, UINT dpi);

// The built-in window place and size at `dpi`.
RECT DefaultPlace(UINT dpi);

// Whether a saved rectangle is put back: its width and height are positive and fit in 32
// bits, its left edge lies within the virtual screen width, and it is not the place of a
// minimized window.
bool AcceptSavedRect(const RECT& rect, int virtualScreenWidth);

} // namespace ClockFace
