#include "ClockFixture.h"

#include <gdiplus.h>

#include "res/resource.h"

namespace ClockTest {

namespace {

class GdiPlusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

[[maybe_unused]] ::testing::Environment* const g_gdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiPlusEnvironment);

} // namespace

void ClockFixture::Start(std::unique_ptr<ZelDsktp> clock) {
    m_clock = CreateClock(std::move(clock));
    m_hwnd = m_clock->m_hWnd;
    ASSERT_TRUE(IsWindow(m_hwnd));
    Pump();
}

void ClockFixture::Command(UINT id, ModalDriver::Script script) {
    ModalDriver driver(std::move(script));
    SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    driver.Finish();
    EXPECT_EQ(0, driver.StrayCount()) << "a window stayed open and was closed by force";
}

LRESULT ClockFixture::Command(UINT id) {
    return SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void ClockFixture::WithProperties(const std::function<void(ModalDriver&, HWND)>& step) {
    Command(IDM_OPTIONS, [&](ModalDriver& driver) {
        HWND dialog = driver.WaitFor(kPropertiesTitle);
        ASSERT_NE(nullptr, dialog);
        step(driver, dialog);
    });
}

} // namespace ClockTest
