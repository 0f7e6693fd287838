#include "ClockFixture.h"

#include <cstring>
#include <string>

#include "app/HelpAddress.h"
#include "res/resource.h"

namespace {

constexpr const wchar_t* kRemoveQuestion = L"This Will Remove the Program from startup Folder.\r\n"
                                           L"The Program will NOT Autostart with Windows next "
                                           L"time.\r\nAre You sure?";
constexpr const wchar_t kRunCommand[] = L"\"C:\\Program Files\\Vintrel\\Vintrel.exe\"";

RECT StoredRect() {
    RECT rect{};
    RegValue value = TestKeys::Read(TestKeys::kSettings, L"WP");
    if (value.data.size() == sizeof(rect)) {
        std::memcpy(&rect, value.data.data(), sizeof(rect));
    }
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

bool HasWindowRegion(HWND hwnd) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(hwnd, region);
    DeleteObject(region);
    return kind != ERROR;
}

void StoreRunValue() {
    TestKeys::Write(TestKeys::kRun, L"Vintrel", REG_SZ, kRunCommand, sizeof(kRunCommand));
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (std::wstring(className) == L"Static") {
        *reinterpret_cast<std::wstring*>(lParam) += ModalDriver::Text(child);
    }
    return TRUE;
}

std::wstring BoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

} // namespace

class MenuCommands : public ClockFixture {
protected:
    // Shows the frame, as a click on the tray icon does, and lets the window paint.
    void ShowFramed() {
        SendMessageW(m_hwnd, WM_TRAYICON, kTrayIconId, WM_LBUTTONDOWN);
        UpdateWindow(m_hwnd);
        ASSERT_FALSE(m_clock->m_shaped);
        ASSERT_FALSE(HasWindowRegion(m_hwnd));
        ASSERT_FALSE(HasUpdateRegion());
    }

    // Answers the confirmation box of "Remove from Startup"; returns the text it showed.
    std::wstring RemoveFromStartup(int answer, DWORD waitBeforeAnswerMs = 0) {
        std::wstring text;
        Command(IDM_REMOVE_STARTUP, [&](ModalDriver& driver) {
            HWND box = driver.WaitFor(L"Vintrel");
            ASSERT_NE(nullptr, box) << "no confirmation box";
            text = BoxText(box);
            Sleep(waitBeforeAnswerMs);
            EXPECT_TRUE(ModalDriver::ClickAndWaitGone(box, answer));
            EXPECT_FALSE(driver.Appears(nullptr, 700)) << "a second window appeared";
        });
        return text;
    }
};

TEST_F(MenuCommands, MakeTransparentSavesThePlaceAndWaitsForTheNextTick) {
    CreateClock();
    ShowFramed();
    EXPECT_EQ(0, Command(IDM_MAKE_TRANSPARENT));
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_TRUE(SameRect(WindowRect(m_hwnd), StoredRect()));
    EXPECT_FALSE(HasUpdateRegion()) << "no repaint is asked for";
    EXPECT_FALSE(HasWindowRegion(m_hwnd)) << "still framed until the next tick";

    ASSERT_TRUE(WaitForTick(1500));
    UpdateWindow(m_hwnd);
    EXPECT_TRUE(HasWindowRegion(m_hwnd)) << "the tick's paint clips the window to the digits";
}

TEST_F(MenuCommands, MakeTransparentWhileTransparentWritesThePlaceAgain) {
    CreateClock();
    UpdateWindow(m_hwnd);
    ASSERT_TRUE(m_clock->m_shaped);
    const RECT stale{1, 2, 3, 4};
    TestKeys::Write(TestKeys::kSettings, L"WP", REG_BINARY, &stale, sizeof(stale));
    EXPECT_EQ(0, Command(IDM_MAKE_TRANSPARENT));
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_TRUE(SameRect(WindowRect(m_hwnd), StoredRect()));
    EXPECT_FALSE(HasUpdateRegion());
}

TEST_F(MenuCommands, OptionsStopsTheClockWhileTheDialogIsOpen) {
    CreateClock();
    ASSERT_TRUE(WaitForTick(1500)) << "the clock ticks before the dialog";
    WatchTicks();
    int ticksWhileOpen = -1;
    Command(IDM_OPTIONS, [&](ModalDriver& driver) {
        HWND dialog = driver.WaitFor(kPropertiesTitle);
        ASSERT_NE(nullptr, dialog);
        Sleep(1500);
        ticksWhileOpen = Ticks();
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    EXPECT_EQ(0, ticksWhileOpen);
    EXPECT_TRUE(WaitForTick(1500)) << "the clock ticks again after the dialog";
}

TEST_F(MenuCommands, OptionsOkReloadsEverySettingAndTheClockTicksAgain) {
    CreateClock();
    ASSERT_EQ(DisplayBoth, m_clock->m_displayType);
    // Values stored behind the clock's back, as the choosers store them.
    TestKeys::WriteDword(TestKeys::kSettings, L"DISPLAYCOLOR", 0x123456);
    LOGFONTW font{};
    wcscpy(font.lfFaceName, L"DejaVu Serif");
    TestKeys::Write(TestKeys::kSettings, L"DISPLAYFONT", REG_BINARY, &font, sizeof(font));

    Command(IDM_OPTIONS, [&](ModalDriver& driver) {
        HWND dialog = driver.WaitFor(kPropertiesTitle);
        ASSERT_NE(nullptr, dialog);
        ModalDriver::Click(dialog, IDC_SHOW_LOCAL);
        ModalDriver::Click(dialog, IDC_ADD_SUFFIX);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDOK));
    });
    EXPECT_EQ(DisplayLocalOnly, m_clock->m_displayType);
    EXPECT_EQ(0u, m_clock->m_showSuffix);
    EXPECT_EQ(0x123456u, m_clock->m_color);
    EXPECT_STREQ(L"DejaVu Serif", m_clock->m_faceName);
    EXPECT_TRUE(WaitForTick(1500));
}

TEST_F(MenuCommands, OptionsCancelKeepsTheClockAsItWas) {
    CreateClock();
    TestKeys::WriteDword(TestKeys::kSettings, L"DISPLAYCOLOR", 0x123456);
    TestKeys::WriteDword(TestKeys::kSettings, L"DISPLAYTYPE", DisplayGmtOnly);
    Command(IDM_OPTIONS, [&](ModalDriver& driver) {
        HWND dialog = driver.WaitFor(kPropertiesTitle);
        ASSERT_NE(nullptr, dialog);
        ModalDriver::Click(dialog, IDC_SHOW_LOCAL);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    EXPECT_EQ(DisplayBoth, m_clock->m_displayType);
    EXPECT_EQ(0x640000u, m_clock->m_color);
    EXPECT_EQ(1u, m_clock->m_showSuffix);
    EXPECT_EQ(static_cast<DWORD>(DisplayGmtOnly),
              TestKeys::Read(TestKeys::kSettings, L"DISPLAYTYPE").AsDword());
    EXPECT_TRUE(WaitForTick(1500));
}

TEST_F(MenuCommands, RemoveFromStartupAnsweredNoKeepsTheRunValue) {
    CreateClock();
    StoreRunValue();
    WatchTicks();
    EXPECT_EQ(kRemoveQuestion, RemoveFromStartup(IDNO, 2000));
    EXPECT_GE(Ticks(), 1) << "the clock goes on ticking behind the box";
    RegValue run = TestKeys::Read(TestKeys::kRun, L"Vintrel");
    ASSERT_TRUE(run.exists);
    EXPECT_EQ(0, std::memcmp(kRunCommand, run.data.data(), sizeof(kRunCommand)));
}

TEST_F(MenuCommands, RemoveFromStartupAnsweredYesDeletesTheRunValue) {
    CreateClock();
    StoreRunValue();
    RemoveFromStartup(IDYES);
    EXPECT_FALSE(TestKeys::Read(TestKeys::kRun, L"Vintrel").exists);

    // Again with no value left: the box, and nothing more.
    RemoveFromStartup(IDYES);
    EXPECT_FALSE(TestKeys::Read(TestKeys::kRun, L"Vintrel").exists);
}

TEST_F(MenuCommands, ExitPostsCloseAndTheWindowEndsThroughOnClose) {
    CreateClock();
    EXPECT_EQ(0, Command(IDM_EXIT));
    EXPECT_TRUE(IsWindow(m_hwnd)) << "the close is posted, not sent";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, m_hwnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    const RECT place = WindowRect(m_hwnd);
    EXPECT_FALSE(TestKeys::Read(TestKeys::kSettings, L"WP").exists);

    WPARAM exitCode = 99;
    ASSERT_TRUE(TakeQuitMessage(5000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(IsWindow(m_hwnd));
    EXPECT_TRUE(SameRect(place, StoredRect())) << "OnClose saved the place";
}

TEST_F(MenuCommands, UnknownCommandOnlyGetsDefaultProcessing) {
    CreateClock();
    UpdateWindow(m_hwnd);
    const RECT place = WindowRect(m_hwnd);
    LRESULT result = -1;
    Command(40000, [](ModalDriver& driver) {
        EXPECT_FALSE(driver.Appears(nullptr, 500)) << "a window appeared";
    });
    result = Command(40000);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_FALSE(HasUpdateRegion());
    EXPECT_TRUE(SameRect(place, WindowRect(m_hwnd)));
    EXPECT_FALSE(TestKeys::Read(TestKeys::kSettings, L"WP").exists);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, m_hwnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
}

TEST(HelpCommand, OpensThePageOnTheMakersSite) {
    EXPECT_EQ(L"https://www.zorerev.com/Vintrel/helpVintrel.html", HelpAddress::HelpPage());
}
