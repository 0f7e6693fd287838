#include "ClockFixture.h"

#include <gdiplus.h>

#include "res/resource.h"

namespace {

// GDI+ runs for the whole test program, as it does for the whole life of the clock.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

::testing::Environment* const g_gdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

std::atomic<int> ClockFixture::s_ticks{0};
WNDPROC ClockFixture::s_clockProc = nullptr;

void ClockFixture::SetUp() {
    m_saved = std::make_unique<SavedValues>();
}

void ClockFixture::TearDown() {
    CloseClock();
    m_saved.reset();
}

void ClockFixture::CreateClock() {
    m_clock = std::make_unique<ZelDsktp>();
    m_clock->RegisterAndCreate(nullptr, GetModuleHandleW(nullptr), L"Vintrel", IDR_MAINMENU,
                               L"vintrel");
    m_hwnd = m_clock->m_hWnd;
    ASSERT_TRUE(IsWindow(m_hwnd));
}

void ClockFixture::CloseClock() {
    if (m_hwnd && IsWindow(m_hwnd)) {
        SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
        TakeQuitMessage(2000);
    }
    // Whatever a failed test left in the queue, a quit message above all, goes with it.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            DispatchMessageW(&msg);
        }
    }
    m_clock.reset();
    m_hwnd = nullptr;
    s_clockProc = nullptr;
}

bool ClockFixture::TakeQuitMessage(DWORD timeoutMs, WPARAM* exitCode) {
    // The quit message that OnClose posts must not reach a later modal loop.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    MSG msg;
    while (GetTickCount64() < deadline) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (exitCode) {
                    *exitCode = msg.wParam;
                }
                return true;
            }
            DispatchMessageW(&msg);
        } else {
            Sleep(5);
        }
    }
    return false;
}

void ClockFixture::Command(UINT id, ModalDriver::Script script) {
    ModalDriver driver(std::move(script));
    SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    driver.Finish();
    m_strays = driver.StrayCount();
    EXPECT_EQ(0, m_strays) << "a window stayed open and was closed by force";
}

LRESULT ClockFixture::Command(UINT id) {
    return SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void ClockFixture::Pump(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    MSG msg;
    while (GetTickCount64() < deadline) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        } else {
            Sleep(5);
        }
    }
}

bool ClockFixture::WaitForTick(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    MSG msg;
    while (GetTickCount64() < deadline) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
            if (msg.message == WM_TIMER && msg.hwnd == m_hwnd) {
                return true;
            }
        } else {
            Sleep(5);
        }
    }
    return false;
}

bool ClockFixture::HasUpdateRegion() const {
    return GetUpdateRect(m_hwnd, nullptr, FALSE) != FALSE;
}

void ClockFixture::WatchTicks() {
    s_ticks = 0;
    s_clockProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountTicks)));
}

LRESULT CALLBACK ClockFixture::CountTicks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        ++s_ticks;
    }
    return CallWindowProcW(s_clockProc, hwnd, msg, wParam, lParam);
}
