#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ClockWindow.h"
#include "KeyAside.h"
#include "ModalDriver.h"
#include "app/ZelDsktp.h"

namespace ClockTest {

// A clock window on the test thread, made as the program makes it, with the clock's settings
// and Run value kept aside for the test. GDI+ runs for the whole test program, as it does for
// the whole run of the clock.
class ClockFixture : public ::testing::Test {
protected:
    static constexpr const wchar_t* kPropertiesTitle = L"Vintrel (Properties)";

    void TearDown() override { Stop(); }
    // Makes the clock's window and handles what that queued.
    void Start(std::unique_ptr<ZelDsktp> clock = std::make_unique<ZelDsktp>());
    void Stop() { CloseClock(m_clock); }
    HWND Window() const { return m_hwnd; }

    // Sends a File menu command to the clock while the driver works the windows it opens.
    void Command(UINT id, ModalDriver::Script script);
    // Sends a File menu command that opens no window.
    LRESULT Command(UINT id);
    // Opens the Properties dialog through "Options..." and hands it to the step, which ends it.
    void WithProperties(const std::function<void(ModalDriver&, HWND)>& step);

    TestRegistry::KeyAside m_settings{TestRegistry::kSettings};
    TestRegistry::KeyAside m_run{TestRegistry::kRun, L"Vintrel"};
    std::unique_ptr<ZelDsktp> m_clock;
    HWND m_hwnd = nullptr;
};

} // namespace ClockTest
