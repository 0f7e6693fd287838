#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "ModalDriver.h"
#include "SavedValues.h"
#include "app/ZelDsktp.h"

// A clock window on the test thread, made as the program makes it, with the clock's settings
// and Run value kept aside for the test. Closed through WM_CLOSE at the end.
class ClockFixture : public ::testing::Test {
protected:
    static constexpr const wchar_t* kPropertiesTitle = L"Vintrel (Properties)";

    void SetUp() override;
    void TearDown() override;

    void CreateClock();
    // Sends a File menu command to the clock while the driver works the windows it opens.
    void Command(UINT id, ModalDriver::Script script);
    // Sends a File menu command that opens no window.
    LRESULT Command(UINT id);
    // Handles the test thread's messages for the given time.
    static void Pump(DWORD ms);
    // Handles messages until a WM_TIMER for the clock arrives; false when none came in time.
    bool WaitForTick(DWORD timeoutMs);
    // Handles messages until the quit message arrives, and takes it off the queue.
    static bool TakeQuitMessage(DWORD timeoutMs, WPARAM* exitCode = nullptr);
    bool HasUpdateRegion() const;
    // Counts the ticks that reach the clock window from now on.
    void WatchTicks();
    int Ticks() const { return s_ticks; }

    std::unique_ptr<SavedValues> m_saved;
    std::unique_ptr<ZelDsktp> m_clock;
    HWND m_hwnd = nullptr;
    int m_strays = 0;

private:
    static LRESULT CALLBACK CountTicks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void CloseClock();

    static std::atomic<int> s_ticks;
    static WNDPROC s_clockProc;
};
