#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "app/ZelDsktp.h"

// The clock window made in-process, and what the tests read from it.
namespace ClockTest {

// Left, top, right, bottom: comparable and printable.
using Edges = std::array<LONG, 4>;
Edges EdgesOf(const RECT& rect);
Edges WindowEdges(HWND hwnd);
// The stored window place; all zero when none is stored.
Edges StoredPlace();

// Makes the clock's window as the program does, through RegisterAndCreate.
std::unique_ptr<ZelDsktp>
CreateClock(std::unique_ptr<ZelDsktp> clock = std::make_unique<ZelDsktp>());
// Closes the window as the user would, takes the quit message away and deletes the object.
void CloseClock(std::unique_ptr<ZelDsktp>& clock);

// Sets the mode and repaints the whole window now.
void Paint(ZelDsktp& clock, BOOL shaped);
bool HasUpdateRegion(HWND hwnd);
// The window region's type (ERROR when it has none) and, when asked, its bounding box.
int WindowRegionBox(HWND hwnd, RECT* box = nullptr);
// Whether the shell knows an icon of this window with this id (NIM_MODIFY succeeds).
bool TrayIconPresent(HWND hwnd, UINT id = kTrayIconId);
void DeleteTrayIcon(HWND hwnd);

// Handles what is queued, at most a bounded number of messages; leaves the quit message.
void Pump();
// Handles messages until `done` holds for one just handled, or the time is out. The quit
// message is handed to `done` but not dispatched.
bool PumpUntil(DWORD timeoutMs, const std::function<bool(const MSG&)>& done);
// Handles messages until a tick of the window has been handled.
bool WaitForTick(HWND hwnd, DWORD timeoutMs);
// Handles messages until the quit message arrives, and takes it off the queue.
bool TakeQuitMessage(DWORD timeoutMs, WPARAM* exitCode = nullptr);

} // namespace ClockTest
