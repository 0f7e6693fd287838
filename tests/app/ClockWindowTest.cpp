#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "system/DisplayDpi.h"
#include "res/resource.h"
#include "tests/support/ClockFixture.h"

using namespace ClockTest;
using namespace TestRegistry;

namespace {

const Edges kDefaultPlace{10, 10, 220, 120};

// The part of the primary monitor that the taskbar leaves free.
RECT PrimaryWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

LONG_PTR ExStyle(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
}

HWND g_closing = nullptr;
int g_iconAtDestroy = -1;
int g_timerAtDestroy = -1;

// Notes whether the closing window still has its icon and its tick when its destruction
// begins.
LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_closing && call->message == WM_DESTROY) {
        g_iconAtDestroy = TrayIconPresent(call->hwnd) ? 1 : 0;
        g_timerAtDestroy =
            KillTimer(call->hwnd, kClockTimerId) || KillTimer(call->hwnd, kFallbackTimerId) ? 1 : 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Takes the clock's icon place before the clock adds its icon, so that the shell answers the
// clock's first add with "there already".
class RefusedTrayClock : public ZelDsktp {
public:
    LRESULT OnCreate(CREATESTRUCTW* cs) override {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = m_hWnd;
        data.uID = kTrayIconId;
        data.uFlags = NIF_TIP;
        m_placeTaken = Shell_NotifyIconW(NIM_ADD, &data);
        return ZelDsktp::OnCreate(cs);
    }
    BOOL m_placeTaken = FALSE;
};

// How a stand-in shell answers one add of the icon. Ok adds it unless it is there already;
// RestartsWhileAsked starts the shell again, with an empty notification area, while the add
// waits for it, and tells the clock so.
enum class Reply { Ok, Refuse, NoAnswer, RestartsWhileAsked };

// A stand-in for the shell: answers the adds from a script (then Ok), changes an icon only
// while it is there, and notes every notification with the number of ticks seen so far, and
// whether the icon it was handed had been destroyed by the time it was used.
struct ScriptedShell {
    std::vector<Reply> replies;
    size_t next = 0;
    int ticks = 0;
    bool ticking = false;
    Reply last = Reply::Ok;
    bool iconThere = false;
    std::vector<std::string> log;
} g_shell;

bool IsLiveIcon(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

BOOL WINAPI NotifyScriptedShell(DWORD action, PNOTIFYICONDATAW data) {
    BOOL result = TRUE;
    std::string entry = std::to_string(g_shell.ticks);
    if (action == NIM_ADD) {
        const Reply reply =
            g_shell.next < g_shell.replies.size() ? g_shell.replies[g_shell.next++] : Reply::Ok;
        entry += (data->uFlags & NIF_INFO) ? " add+balloon" : " add";
        if (reply == Reply::RestartsWhileAsked) {
            g_shell.iconThere = false;
            SendMessageW(data->hWnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        }
        g_shell.last = reply == Reply::Refuse || reply == Reply::NoAnswer ? reply : Reply::Ok;
        result = g_shell.last == Reply::Ok && !g_shell.iconThere;
        g_shell.iconThere = g_shell.iconThere || result;
    } else {
        entry += action == NIM_MODIFY ? " modify" : " delete";
        result = action == NIM_DELETE || g_shell.iconThere;
    }
    if (action != NIM_DELETE && !IsLiveIcon(data->hIcon)) {
        entry += " dead-icon";
    }
    g_shell.log.push_back(entry);
    SetLastError(g_shell.last == Reply::NoAnswer ? ERROR_TIMEOUT : ERROR_GEN_FAILURE);
    return result;
}

// The clock with the stand-in shell, counting its ticks.
class ScriptedShellClock : public ZelDsktp {
public:
    ScriptedShellClock() { m_tray.m_notify = NotifyScriptedShell; }
    // Only the test's ticks: the clock's own timer also comes due while the fixture pumps
    // messages when the start was late in a second or the machine busy.
    LRESULT OnTimer(WPARAM timerId) override {
        if (!g_shell.ticking) {
            return 0;
        }
        ++g_shell.ticks;
        return ZelDsktp::OnTimer(timerId);
    }
};

LRESULT CALLBACK RefuseCreation(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return msg == WM_CREATE ? -1 : DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Set in the environment of the test program run again at 150 %: the digit rows at 96 DPI.
constexpr wchar_t kDigitRowsAt96[] = L"VINTREL_TEST_DIGIT_ROWS_AT_96";

// Rows from the top of the digits to the bottom of the second line, in a framed paint.
int DigitRows(ZelDsktp& clock) {
    Paint(clock, FALSE);
    RECT box{};
    GetRgnBox(clock.m_hRegion, &box);
    return box.bottom - box.top;
}

// The side of a colour icon: its mask is as high as it is wide.
int IconSide(HICON icon) {
    ICONINFO info{};
    BITMAP mask{};
    GetIconInfo(icon, &info);
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return mask.bmWidth == mask.bmHeight ? mask.bmWidth : -1;
}

// Wine 10 gives each monitor the scale that LogPixels had when the session's display devices
// were listed, and keeps it as the "Dpi" of the display source's key (Wine's own; Wine 8 and
// Windows have none). Set there for as long as this lives, it stands for a session started at
// that scale.
class SourceDpiAside {
public:
    explicit SourceDpiAside(DWORD dpi) {
        const std::wstring machine = L"\\Registry\\Machine\\";
        HKEY video = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\VIDEO", 0, KEY_QUERY_VALUE,
                          &video) != ERROR_SUCCESS) {
            return;
        }
        wchar_t name[64];
        wchar_t path[MAX_PATH];
        DWORD nameLength = ARRAYSIZE(name);
        DWORD size = sizeof(path) - sizeof(wchar_t);
        DWORD type = 0;
        for (DWORD i = 0; RegEnumValueW(video, i, name, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS;
             ++i, nameLength = ARRAYSIZE(name), size = sizeof(path) - sizeof(wchar_t)) {
            path[size / sizeof(wchar_t)] = L'\0';
            if (type != REG_SZ || _wcsnicmp(path, machine.c_str(), machine.size()) != 0) {
                continue;
            }
            const std::wstring source = L"System\\CurrentControlSet\\Hardware Profiles\\Current\\" +
                                        std::wstring(path + machine.size());
            HKEY key = nullptr;
            DWORD saved = 0;
            DWORD savedSize = sizeof(saved);
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, source.c_str(), 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
                continue;
            }
            if (RegQueryValueExW(key, L"Dpi", nullptr, nullptr, reinterpret_cast<BYTE*>(&saved),
                                 &savedSize) == ERROR_SUCCESS &&
                RegSetValueExW(key, L"Dpi", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                               sizeof(dpi)) == ERROR_SUCCESS) {
                m_saved.emplace_back(key, saved);
            } else {
                RegCloseKey(key);
            }
        }
        RegCloseKey(video);
    }
    ~SourceDpiAside() {
        for (const auto& [key, dpi] : m_saved) {
            RegSetValueExW(key, L"Dpi", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                           sizeof(dpi));
            RegCloseKey(key);
        }
    }
    SourceDpiAside(const SourceDpiAside&) = delete;
    SourceDpiAside& operator=(const SourceDpiAside&) = delete;

private:
    std::vector<std::pair<HKEY, DWORD>> m_saved;
};

// Runs the current test again in a test program of its own, started while the screen is at
// `dpi`, with `rowsAt96` in its environment; returns that program's exit code.
DWORD RunAgainAtDpi(UINT dpi, int rowsAt96) {
    const std::wstring desktop = L"Control Panel\\Desktop";
    KeyAside logPixels(desktop, L"LogPixels");
    SourceDpiAside sourceDpi(dpi);
    const DWORD value = dpi;
    Store(desktop, L"LogPixels", REG_DWORD, &value, sizeof(value));
    SetEnvironmentVariableW(kDigitRowsAt96, std::to_wstring(rowsAt96).c_str());
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    wchar_t program[MAX_PATH]{};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" --gtest_filter=" +
                               std::wstring(filter.begin(), filter.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    DWORD exitCode = 0xDEAD;
    if (CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, exitCode);
        }
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableW(kDigitRowsAt96, nullptr);
    return exitCode;
}

// Tells the clock that its DPI changed whenever it moves before it is first shown, and as it is
// first shown, as Windows does when that place lies on a monitor of another scale; the
// suggestion is two thirds as big.
class MovedAcrossScalesClock : public ZelDsktp {
public:
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = ZelDsktp::WindowProc(hwnd, msg, wParam, lParam);
        if (msg == WM_WINDOWPOSCHANGED && !m_shown && !m_telling) {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            m_shown = (pos->flags & SWP_SHOWWINDOW) != 0;
            RECT rect{pos->x, pos->y, pos->x + pos->cx * 2 / 3, pos->y + pos->cy * 2 / 3};
            m_telling = true;
            SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&rect));
            m_telling = false;
        }
        return result;
    }
    bool m_telling = false;
    bool m_shown = false;
};

} // namespace

TEST_F(ClockFixture, FirstStartWithoutSettingsShowsTheDefaultClock) {
    Start();
    EXPECT_STREQ(L"Arial", m_clock->m_faceName);
    EXPECT_EQ(0x640000u, m_clock->m_color);
    EXPECT_EQ(DisplayBoth, m_clock->m_displayType);
    EXPECT_EQ(1u, m_clock->m_showSuffix);
    EXPECT_TRUE(m_clock->m_shaped);
    EXPECT_EQ(kDefaultPlace, WindowEdges(Window()));
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
              ExStyle(Window()) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_NE(nullptr, GetMenu(Window()));
    EXPECT_TRUE(TrayIconPresent(Window()));
    EXPECT_FALSE(TrayIconPresent(Window(), kTrayIconId + 1));
    EXPECT_TRUE(WaitForTick(Window(), 2000)) << "no tick within two seconds";
}

// At 150 % the test program runs again, started at that scale.
TEST_F(ClockFixture, At150PercentTheClockKeepsItsApparentSize) {
    const wchar_t* rowsAt96 = _wgetenv(kDigitRowsAt96);
    if (!rowsAt96) {
        ASSERT_EQ(96u, DisplayDpi::OfSystem());
        Start();
        const int rows = DigitRows(*m_clock);
        Stop();
        EXPECT_EQ(0u, RunAgainAtDpi(144, rows)) << "the checks at 150 % failed";
        return;
    }
    ASSERT_EQ(144u, DisplayDpi::OfSystem());
    Start();
    EXPECT_EQ((Edges{15, 15, 330, 180}), WindowEdges(Window()));
    EXPECT_GT(DigitRows(*m_clock), _wtoi(rowsAt96));
    EXPECT_EQ(24, IconSide(m_clock->m_hTrayIcon));

    RECT suggested{200, 150, 620, 370};
    SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(EdgesOf(suggested), WindowEdges(Window()));
    SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
    EXPECT_EQ(EdgesOf(suggested), WindowEdges(Window()));
    Stop();

    const RECT stored{100, 120, 400, 300};
    StoreSetting(Settings::kWindowPlacement, &stored, sizeof(stored));
    Start(std::make_unique<MovedAcrossScalesClock>());
    EXPECT_EQ(EdgesOf(stored), WindowEdges(Window())) << "the restore was rescaled";
    Stop();
    RemoveSetting(Settings::kWindowPlacement);
    Start(std::make_unique<MovedAcrossScalesClock>());
    EXPECT_EQ((Edges{15, 15, 330, 180}), WindowEdges(Window()))
        << "the built-in place was rescaled";
}

TEST_F(ClockFixture, StoredPlaceIsUsedWhenValidAndBroughtIntoSight) {
    const LONG width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const RECT work = PrimaryWorkArea();
    struct Case {
        const char* what;
        RECT stored;
        DWORD size;
        Edges expected;
    };
    const Case cases[] = {
        {"inside", {100, 120, 400, 300}, 16, {100, 120, 400, 300}},
        {"negative left, off the monitors: moved in",
         {-300, 300, -90, 410},
         16,
         {work.left, 300, work.left + 210, 410}},
        {"below every monitor: onto the nearest",
         {100, 5000, 310, 5110},
         16,
         {100, work.bottom - 110, 310, work.bottom}},
        {"left at the virtual-screen width", {width, 20, width + 210, 130}, 16, kDefaultPlace},
        {"left beyond the virtual-screen width",
         {width + 90, 20, width + 300, 130},
         16,
         kDefaultPlace},
        {"shorter than a rectangle", {100, 120, 400, 300}, 12, kDefaultPlace},
        {"longer than a rectangle", {100, 120, 400, 300}, 20, kDefaultPlace},
        {"no width", {100, 120, 100, 300}, 16, kDefaultPlace},
        {"negative height", {100, 300, 400, 120}, 16, kDefaultPlace},
        {"width beyond 32 bits", {-2147483000, 120, 2147483000, 300}, 16, kDefaultPlace},
        {"height beyond 32 bits", {100, -2147483000, 400, 2147483000}, 16, kDefaultPlace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BYTE data[20]{};
        std::memcpy(data, &c.stored, sizeof(c.stored));
        StoreSetting(Settings::kWindowPlacement, data, c.size);
        Start();
        EXPECT_EQ(c.expected, WindowEdges(Window()));
        Stop();
    }
}

// One notice of the system per row, to a framed clock that stands partly below the screen.
TEST_F(ClockFixture, DisplayChangesBringAStrandedClockBackIntoSight) {
    const RECT work = PrimaryWorkArea();
    const Edges stranded{100, work.bottom - 50, 310, work.bottom + 60};
    const Edges inSight{100, work.bottom - 110, 310, work.bottom};
    struct Case {
        const char* what;
        UINT msg;
        WPARAM wParam;
        Edges expected;
    };
    const Case cases[] = {
        {"the display mode changed", WM_DISPLAYCHANGE, 32, inSight},
        {"the taskbar moved", WM_SETTINGCHANGE, SPI_SETWORKAREA, inSight},
        {"another setting changed", WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, stranded},
    };
    Start();
    RemoveSetting(Settings::kWindowPlacement);
    Paint(*m_clock, FALSE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MoveWindow(Window(), stranded[0], stranded[1], stranded[2] - stranded[0],
                   stranded[3] - stranded[1], TRUE);
        SendMessageW(Window(), c.msg, c.wParam, 0);
        EXPECT_EQ(c.expected, WindowEdges(Window()));
        EXPECT_FALSE(m_clock->m_shaped) << "the clock left framed mode";
        EXPECT_FALSE(Setting(Settings::kWindowPlacement).Exists()) << "the move was saved";
    }
    RECT dragged{stranded[0], stranded[1], stranded[2], stranded[3]};
    SendMessageW(Window(), WM_ENTERSIZEMOVE, 0, 0);
    SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&dragged));
    EXPECT_EQ(stranded, WindowEdges(Window())) << "the clock jumped while dragged";
    SendMessageW(Window(), WM_EXITSIZEMOVE, 0, 0);
    SendMessageW(Window(), WM_DISPLAYCHANGE, 32, 0);
    SendMessageW(Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(stranded, StoredPlace()) << "the displaced place was saved, not the user's";
}

TEST_F(ClockFixture, LoadSettingsTakesStoredValuesAndCutsAnEndlessFace) {
    Start();
    LOGFONTW font{};
    wcscpy(font.lfFaceName, L"Courier New");
    StoreSetting(Settings::kDisplayFont, &font, sizeof(font));
    StoreSetting(Settings::kDisplayColor, 0x0000C8);
    StoreSetting(Settings::kDisplayType, DisplayLocalOnly);
    StoreSetting(Settings::kDisplayStrings, 0);
    EXPECT_TRUE(m_clock->m_stepAside);
    StoreSetting(Settings::kStepAside, 0);
    m_clock->LoadSettings();
    EXPECT_STREQ(L"Courier New", m_clock->m_faceName);
    EXPECT_EQ(0x0000C8u, m_clock->m_color);
    EXPECT_EQ(DisplayLocalOnly, m_clock->m_displayType);
    EXPECT_EQ(0u, m_clock->m_showSuffix);
    EXPECT_FALSE(m_clock->m_stepAside);

    std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'A');
    StoreSetting(Settings::kDisplayFont, &font, sizeof(font));
    m_clock->LoadSettings();
    EXPECT_EQ(std::wstring(LF_FACESIZE - 1, L'A'), m_clock->m_faceName);

    font.lfFaceName[0] = L'\0';
    StoreSetting(Settings::kDisplayFont, &font, sizeof(font));
    m_clock->LoadSettings();
    EXPECT_STREQ(L"", m_clock->m_faceName);

    BYTE tooLong[sizeof(LOGFONTW) + 1]{};
    StoreSetting(Settings::kDisplayFont, tooLong, sizeof(tooLong));
    m_clock->LoadSettings();
    EXPECT_STREQ(L"Arial", m_clock->m_faceName);
}

TEST_F(ClockFixture, PressesOnTheWindowOrTheIconFrameTheClock) {
    Start();
    struct Case {
        const char* what;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool frames;
    };
    const Case cases[] = {
        {"left press on the window", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20), true},
        {"right press on the window", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20), false},
        {"left press on the icon", WM_TRAYICON, kTrayIconId, WM_LBUTTONDOWN, true},
        {"right press on the icon", WM_TRAYICON, kTrayIconId, WM_RBUTTONDOWN, true},
        {"left release on the icon", WM_TRAYICON, kTrayIconId, WM_LBUTTONUP, false},
        {"right release on the icon", WM_TRAYICON, kTrayIconId, WM_RBUTTONUP, false},
        {"left double click on the icon", WM_TRAYICON, kTrayIconId, WM_LBUTTONDBLCLK, false},
        {"right double click on the icon", WM_TRAYICON, kTrayIconId, WM_RBUTTONDBLCLK, false},
        {"move over the icon", WM_TRAYICON, kTrayIconId, WM_MOUSEMOVE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_clock->m_shaped = TRUE;
        ValidateRect(Window(), nullptr);
        SendMessageW(Window(), c.msg, c.wParam, c.lParam);
        EXPECT_EQ(!c.frames, m_clock->m_shaped != FALSE);
        EXPECT_EQ(c.frames, HasUpdateRegion(Window()));
    }
}

TEST_F(ClockFixture, EachTickKeepsTheClockOnTopRepaintsAndRearms) {
    Start();
    SetWindowPos(Window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_EQ(0, ExStyle(Window()) & WS_EX_TOPMOST);
    ValidateRect(Window(), nullptr);
    ASSERT_TRUE(KillTimer(Window(), kClockTimerId));
    SendMessageW(Window(), WM_TIMER, kClockTimerId, 0);
    EXPECT_EQ(WS_EX_TOPMOST, ExStyle(Window()) & WS_EX_TOPMOST);
    EXPECT_TRUE(HasUpdateRegion(Window()));
    EXPECT_EQ(kClockTimerId, m_clock->m_timerId);
    EXPECT_TRUE(WaitForTick(Window(), 2000)) << "the tick was not armed again";

    // A next tick that could not be armed: the clock ticks on all the same.
    ASSERT_TRUE(WaitForTick(Window(), 2000));
    ASSERT_TRUE(KillTimer(Window(), kClockTimerId));
    EXPECT_TRUE(WaitForTick(Window(), 3000)) << "the clock stopped";
    EXPECT_TRUE(WaitForTick(Window(), 2000)) << "the clock stopped after one tick";
}

TEST_F(ClockFixture, CloseReleasesEverythingSavesThePlaceAndEndsTheLoop) {
    Start();
    HWND hwnd = Window();
    Paint(*m_clock, FALSE);
    const HRGN owned = m_clock->m_hRegion;
    ASSERT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(owned));
    MoveWindow(hwnd, 123, 45, 250, 130, TRUE);
    MSG msg;
    ASSERT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    m_clock->m_timerId = 0; // as a failed re-arm leaves it

    g_closing = hwnd;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(0, g_iconAtDestroy) << "the icon was still there when the window was destroyed";
    EXPECT_EQ(0, g_timerAtDestroy) << "the tick was still running when the window was destroyed";
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(m_clock->IsUnbound());
    EXPECT_EQ(nullptr, m_clock->m_hRegion);
    EXPECT_EQ(0u, GetObjectType(owned)) << "the framed paint's region was not deleted";
    EXPECT_EQ((Edges{123, 45, 373, 175}), StoredPlace());
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(ClockFixture, EndOfSessionSavesThePlaceOnlyWhenTheSessionEnds) {
    Start();
    MoveWindow(Window(), 77, 66, 230, 120, TRUE);
    RemoveSetting(Settings::kWindowPlacement);
    SendMessageW(Window(), WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(Setting(Settings::kWindowPlacement).Exists());
    SendMessageW(Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ((Edges{77, 66, 307, 186}), StoredPlace());
    SendMessageW(Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SendMessageW(Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ((Edges{77, 66, 307, 186}), StoredPlace()) << "minimized";
}

TEST_F(ClockFixture, RestartedShellGetsTheIconBack) {
    Start();
    DeleteTrayIcon(Window());
    ASSERT_FALSE(TrayIconPresent(Window()));
    SendMessageW(Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconPresent(Window()));
}

TEST_F(ClockFixture, IconThereAlreadyCountsAsAddedAndIsNotAddedAgain) {
    Start(std::make_unique<RefusedTrayClock>());
    ASSERT_TRUE(static_cast<RefusedTrayClock&>(*m_clock).m_placeTaken);
    EXPECT_TRUE(m_clock->m_tray.IsShown());
    DeleteTrayIcon(Window());
    ASSERT_TRUE(WaitForTick(Window(), 2000));
    EXPECT_FALSE(TrayIconPresent(Window())) << "a tick added the icon again";
}

// One action per row (the clock's start, its ticks, the shell's restart), then the expected
// notifications, "tick action", with the whole log printed on a mismatch.
TEST_F(ClockFixture, TrayIconAddsFollowOneRuleWhateverTheShellAnswers) {
    using R = Reply;
    struct Case {
        const char* what;
        std::vector<Reply> replies;
        int ticks;
        int shellRestartsAfter;
        std::vector<std::string> expected;
    };
    const std::vector<R> noAnswer(9, R::NoAnswer);
    const Case cases[] = {
        {"refuses three adds",
         {R::Refuse, R::Refuse, R::Refuse},
         10,
         -1,
         {"0 add+balloon", "0 modify", "1 add+balloon", "1 modify", "3 add+balloon", "3 modify",
          "7 add+balloon"}},
        {"does not answer for four minutes: waits double up to a minute, nothing else is asked",
         noAnswer,
         250,
         -1,
         {"0 add+balloon", "1 add+balloon", "3 add+balloon", "7 add+balloon", "15 add+balloon",
          "31 add+balloon", "63 add+balloon", "123 add+balloon", "183 add+balloon",
          "243 add+balloon"}},
        {"restarts and refuses the first add after it",
         {R::Ok, R::Refuse},
         6,
         2,
         {"0 add+balloon", "2 add", "2 modify", "3 add"}},
        {"restarts while the first add waits for it: the restart's add follows with a new icon",
         {R::RestartsWhileAsked},
         2,
         -1,
         {"0 add+balloon", "0 add", "0 modify"}},
    };
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_shell = ScriptedShell{};
        g_shell.replies = c.replies;
        Start(std::make_unique<ScriptedShellClock>());
        for (int tick = 0; tick <= c.ticks; ++tick) {
            if (tick > 0) {
                g_shell.ticking = true;
                SendMessageW(Window(), WM_TIMER, kClockTimerId, 0);
                g_shell.ticking = false;
            }
            if (tick == c.shellRestartsAfter) {
                g_shell.iconThere = false;
                SendMessageW(Window(), taskbarCreated, 0, 0);
            }
        }
        EXPECT_EQ(c.expected, g_shell.log);
        Stop();
    }
}

TEST_F(ClockFixture, FailedStartShowsTheErrorBoxAndEndsWithOne) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    UnregisterClassW(L"vintrel", instance);
    WNDCLASSEXW refusing{};
    refusing.cbSize = sizeof(refusing);
    refusing.lpfnWndProc = RefuseCreation;
    refusing.hInstance = instance;
    refusing.lpszClassName = L"vintrel";
    ASSERT_NE(0, RegisterClassExW(&refusing));
    ModalDriver driver([](ModalDriver& d) {
        HWND box = d.WaitFor(L"Vintrel");
        ASSERT_NE(nullptr, box) << "no error box";
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(box, IDOK));
    });
    const int exitCode = wWinMain(instance, nullptr, nullptr, SW_SHOW);
    driver.Finish();
    UnregisterClassW(L"vintrel", instance);
    EXPECT_EQ(0, driver.StrayCount());
    EXPECT_EQ(1, exitCode);
}

TEST_F(ClockFixture, SecondClockInOneProcessUsesTheRegisteredClass) {
    Start();
    std::unique_ptr<ZelDsktp> second;
    ASSERT_NO_THROW(second = CreateClock());
    EXPECT_TRUE(IsWindow(second->m_hWnd));
    EXPECT_NE(Window(), second->m_hWnd);
    wchar_t className[32]{};
    GetClassNameW(second->m_hWnd, className, 32);
    EXPECT_STREQ(L"vintrel", className);
    CloseClock(second);
    EXPECT_TRUE(IsWindow(Window()));
}

TEST_F(ClockFixture, FailedClassRegistrationThrowsTheRegisterText) {
    ZelDsktp clock;
    // Longer than any atom. (Under Wine a name of 300 characters corrupts the heap.)
    const std::wstring unusableName(256, L'v');
    try {
        clock.RegisterAndCreate(nullptr, GetModuleHandleW(nullptr), L"Vintrel", IDR_MAINMENU,
                                unusableName.c_str());
        ADD_FAILURE() << "a class with a 256-character name was registered";
        SendMessageW(clock.m_hWnd, WM_CLOSE, 0, 0);
    } catch (const WinException& e) {
        EXPECT_STREQ("Internal error:RAZEDOZ Failed Register class", e.m_message);
        EXPECT_NE(0u, e.m_errorCode);
    }
    EXPECT_EQ(nullptr, clock.m_hWnd);
}
