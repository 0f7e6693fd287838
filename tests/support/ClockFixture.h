#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/ZelDsktp.h"

namespace ClockTest {

// Left, top, right, bottom: comparable and printable.
using Edges = std::array<LONG, 4>;
Edges EdgesOf(const RECT& rect);
Edges WindowEdges(HWND hwnd);

// The clock's settings values, below HKEY_CURRENT_USER.
void StoreBinary(const wchar_t* name, const void* data, DWORD size);
void StoreDword(const wchar_t* name, DWORD value);
void DeleteValue(const wchar_t* name);
// The stored bytes, empty when the value is missing.
std::vector<BYTE> StoredValue(const wchar_t* name);

// Moves the clock's settings key out of the way and puts it back exactly on destruction.
class SettingsAside {
public:
    SettingsAside();
    ~SettingsAside();
    SettingsAside(const SettingsAside&) = delete;
    SettingsAside& operator=(const SettingsAside&) = delete;

private:
    bool m_saved = false;
    std::vector<bool> m_chainExisted;
};

// A clock as the program makes it: a new object whose RegisterAndCreate made its window.
ZelDsktp* CreateClock();
// Closes the window as the user would, takes the quit message away and deletes the object.
void CloseClock(ZelDsktp*& clock);

// Handles what is queued, at most a bounded number of messages; leaves the quit message.
void Pump();
// Waits at most timeoutMs for a message of the given kind to the window and removes it.
bool WaitForMessage(HWND hwnd, UINT msg, DWORD timeoutMs);

// Sets the mode and repaints the whole window now.
void Paint(ZelDsktp& clock, BOOL shaped);
// The window region's type (ERROR when it has none) and bounding box.
int WindowRegionBox(HWND hwnd, RECT* box);
// Whether the shell knows an icon of this window with this id (NIM_MODIFY succeeds).
bool TrayIconPresent(HWND hwnd, UINT id = kTrayIconId);
void DeleteTrayIcon(HWND hwnd);
// The client area's pixels, row by row, as COLORREF.
std::vector<COLORREF> ClientPixels(HWND hwnd);
// How many regions the process can still create; fewer means GDI handles were leaked.
int CreatableRegions();

class ClockFixture : public ::testing::Test {
protected:
    void TearDown() override { CloseClock(m_clock); }
    void Start() {
        m_clock = CreateClock();
        Pump();
    }
    void Stop() { CloseClock(m_clock); }
    HWND Window() const { return m_clock->m_hWnd; }

    SettingsAside m_settings;
    ZelDsktp* m_clock = nullptr;
};

} // namespace ClockTest
