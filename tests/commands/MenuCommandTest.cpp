#include <atomic>
#include <cstring>
#include <string>

#include "app/HelpAddress.h"
#include "res/resource.h"
#include "tests/support/ClockFixture.h"

using namespace ClockTest;
using namespace TestRegistry;

namespace {

constexpr const wchar_t* kRemoveQuestion = L"This Will Remove the Program from startup Folder.\r\n"
                                           L"The Program will NOT Autostart with Windows next "
                                           L"time.\r\nAre You sure?";
constexpr const wchar_t kRunCommand[] = L"\"C:\\Program Files\\Vintrel\\Vintrel.exe\"";

bool HasWindowRegion(HWND hwnd) {
    return WindowRegionBox(hwnd) != ERROR;
}

void StoreRunValue() {
    Store(kRun, L"Vintrel", REG_SZ, kRunCommand, sizeof(kRunCommand));
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

// The clock as the program makes it, counting the ticks that reach it.
class CountingClock : public ZelDsktp {
public:
    LRESULT OnTimer(WPARAM timerId) override {
        ++m_ticks;
        return ZelDsktp::OnTimer(timerId);
    }

    std::atomic<int> m_ticks{0};
};

} // namespace

class MenuCommands : public ClockFixture {
protected:
    void Start() { ClockFixture::Start(std::make_unique<CountingClock>()); }
    // Counts the ticks that reach the clock window from now on.
    void WatchTicks() { Counting().m_ticks = 0; }
    int Ticks() { return Counting().m_ticks; }
    CountingClock& Counting() { return static_cast<CountingClock&>(*m_clock); }

    // Shows the frame, as a click on the tray icon does, and lets the window paint.
    void ShowFramed() {
        SendMessageW(Window(), WM_TRAYICON, kTrayIconId, WM_LBUTTONDOWN);
        UpdateWindow(Window());
        ASSERT_FALSE(m_clock->m_shaped);
        ASSERT_FALSE(HasWindowRegion(Window()));
        ASSERT_FALSE(HasUpdateRegion(Window()));
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
    Start();
    ShowFramed();
    EXPECT_EQ(0, Command(IDM_MAKE_TRANSPARENT));
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_EQ(WindowEdges(Window()), StoredPlace());
    EXPECT_FALSE(HasUpdateRegion(Window())) << "no repaint is asked for";
    EXPECT_FALSE(HasWindowRegion(Window())) << "still framed until the next tick";

    ASSERT_TRUE(WaitForTick(Window(), 1500));
    UpdateWindow(Window());
    EXPECT_TRUE(HasWindowRegion(Window())) << "the tick's paint clips the window to the digits";
}

TEST_F(MenuCommands, MakeTransparentWhileTransparentWritesThePlaceAgain) {
    Start();
    UpdateWindow(Window());
    ASSERT_TRUE(m_clock->m_shaped);
    const RECT stale{1, 2, 3, 4};
    StoreSetting(L"WP", &stale, sizeof(stale));
    EXPECT_EQ(0, Command(IDM_MAKE_TRANSPARENT));
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_EQ(WindowEdges(Window()), StoredPlace());
    EXPECT_FALSE(HasUpdateRegion(Window()));
}

TEST_F(MenuCommands, OptionsStopsTheClockWhileTheDialogIsOpen) {
    Start();
    for (const bool failedRearm : {false, true}) {
        SCOPED_TRACE(failedRearm ? "after a failed re-arm" : "ticking");
        ASSERT_TRUE(WaitForTick(Window(), 1500)) << "the clock ticks before the dialog";
        if (failedRearm) {
            m_clock->m_timerId = 0; // what SetTimer gives when it fails
        }
        WatchTicks();
        int ticksWhileOpen = -1;
        WithProperties([&](ModalDriver&, HWND dialog) {
            Sleep(1500);
            ticksWhileOpen = Ticks();
            EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
        });
        EXPECT_EQ(0, ticksWhileOpen);
        EXPECT_TRUE(WaitForTick(Window(), 1500)) << "the clock ticks again after the dialog";
    }
}

TEST_F(MenuCommands, OptionsOkReloadsEverySettingAndTheClockTicksAgain) {
    Start();
    ASSERT_EQ(DisplayBoth, m_clock->m_displayType);
    // Values stored behind the clock's back, as the choosers store them.
    StoreSetting(L"DISPLAYCOLOR", 0x123456);
    LOGFONTW font{};
    wcscpy(font.lfFaceName, L"DejaVu Serif");
    StoreSetting(L"DISPLAYFONT", &font, sizeof(font));

    WithProperties([&](ModalDriver&, HWND dialog) {
        ModalDriver::Click(dialog, IDC_SHOW_LOCAL);
        ModalDriver::Click(dialog, IDC_ADD_SUFFIX);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDOK));
    });
    EXPECT_EQ(DisplayLocalOnly, m_clock->m_displayType);
    EXPECT_EQ(0u, m_clock->m_showSuffix);
    EXPECT_EQ(0x123456u, m_clock->m_color);
    EXPECT_STREQ(L"DejaVu Serif", m_clock->m_faceName);
    EXPECT_TRUE(WaitForTick(Window(), 1500));
}

TEST_F(MenuCommands, OptionsCancelKeepsTheClockAsItWas) {
    Start();
    StoreSetting(L"DISPLAYCOLOR", 0x123456);
    StoreSetting(L"DISPLAYTYPE", DisplayGmtOnly);
    WithProperties([&](ModalDriver&, HWND dialog) {
        ModalDriver::Click(dialog, IDC_SHOW_LOCAL);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    EXPECT_EQ(DisplayBoth, m_clock->m_displayType);
    EXPECT_EQ(0x640000u, m_clock->m_color);
    EXPECT_EQ(1u, m_clock->m_showSuffix);
    EXPECT_EQ(static_cast<DWORD>(DisplayGmtOnly), Setting(L"DISPLAYTYPE").AsDword());
    EXPECT_TRUE(WaitForTick(Window(), 1500));
}

TEST_F(MenuCommands, RemoveFromStartupAnsweredNoKeepsTheRunValue) {
    Start();
    StoreRunValue();
    WatchTicks();
    EXPECT_EQ(kRemoveQuestion, RemoveFromStartup(IDNO, 2000));
    EXPECT_GE(Ticks(), 1) << "the clock goes on ticking behind the box";
    StoredValue run = Query(kRun, L"Vintrel");
    ASSERT_TRUE(run.Exists());
    EXPECT_EQ(0, std::memcmp(kRunCommand, run.data.data(), sizeof(kRunCommand)));
}

TEST_F(MenuCommands, RemoveFromStartupAnsweredYesDeletesTheRunValue) {
    Start();
    StoreRunValue();
    RemoveFromStartup(IDYES);
    EXPECT_FALSE(Query(kRun, L"Vintrel").Exists());

    // Again with no value left: the box, and nothing more.
    RemoveFromStartup(IDYES);
    EXPECT_FALSE(Query(kRun, L"Vintrel").Exists());
}

TEST_F(MenuCommands, ExitPostsCloseAndTheWindowEndsThroughOnClose) {
    Start();
    EXPECT_EQ(0, Command(IDM_EXIT));
    EXPECT_TRUE(IsWindow(Window())) << "the close is posted, not sent";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, Window(), WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    const Edges place = WindowEdges(Window());
    EXPECT_FALSE(Setting(L"WP").Exists());

    WPARAM exitCode = 99;
    ASSERT_TRUE(TakeQuitMessage(5000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(IsWindow(Window()));
    EXPECT_EQ(place, StoredPlace()) << "OnClose saved the place";
}

TEST_F(MenuCommands, UnknownCommandOnlyGetsDefaultProcessing) {
    Start();
    UpdateWindow(Window());
    const Edges place = WindowEdges(Window());
    LRESULT result = -1;
    Command(40000, [](ModalDriver& driver) {
        EXPECT_FALSE(driver.Appears(nullptr, 500)) << "a window appeared";
    });
    result = Command(40000);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_FALSE(HasUpdateRegion(Window()));
    EXPECT_EQ(place, WindowEdges(Window()));
    EXPECT_FALSE(Setting(L"WP").Exists());
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, Window(), WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
}

TEST(HelpCommand, OpensThePageOnTheMakersSite) {
    EXPECT_EQ(L"https://www.zorerev.com/Vintrel/helpVintrel.html", HelpAddress::HelpPage());
}
