#include "app/ZelDsktp.h"

#include "app/FullScreen.h"
#include "system/SystemLibraries.h"

namespace {

// SHQueryUserNotificationState's answers for a Direct3D full-screen program and for
// presentation mode.
constexpr int kDirect3DFullScreen = 3;
constexpr int kPresentationMode = 4;
constexpr int kClassNameChars = 64;

using QueryNotificationStateFunction = HRESULT(WINAPI*)(int*);

// Whether the system says a full-screen program runs. Windows Vista and later know; Wine
// always says no.
bool SystemReportsFullScreen() {
    static const auto query = SystemLibraries::Shell().Function<QueryNotificationStateFunction>(
        "SHQueryUserNotificationState");
    int state = 0;
    return query && SUCCEEDED(query(&state)) &&
           (state == kDirect3DFullScreen || state == kPresentationMode);
}

} // namespace

// Whether the clock stands aside this tick. It hides, without activating anything, while a
// full-screen program is in front on its monitor, and comes back the first tick after: on top,
// still without the keyboard, showing the current time at once. Nothing is saved either way.
bool ZelDsktp::StandsAside() {
    const BOOL aside = m_stepAside && FullScreenInFront();
    if (aside && !m_aside) {
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    } else if (!aside && m_aside) {
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow(m_hWnd);
    }
    m_aside = aside;
    return aside;
}

// Whether the window in front fills the monitor that holds the clock's digits.
bool ZelDsktp::FullScreenInFront() const {
    HWND front = GetForegroundWindow();
    if (front == nullptr) {
        return false;
    }
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const RECT digits = VisiblePart(window);
    HMONITOR monitor = MonitorFromRect(&digits, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) {
        return false;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    wchar_t className[kClassNameChars] = {};
    GetClassNameW(front, className, kClassNameChars);
    FullScreen::Front seen{};
    GetClientRect(front, &seen.area);
    MapWindowPoints(front, nullptr, reinterpret_cast<POINT*>(&seen.area), 2);
    seen.className = className;
    seen.desktopOrOwn = front == GetDesktopWindow() || front == GetShellWindow() ||
                        process == GetCurrentProcessId();
    seen.systemFullScreen = !seen.desktopOrOwn &&
                            MonitorFromWindow(front, MONITOR_DEFAULTTONULL) == monitor &&
                            SystemReportsFullScreen();
    return FullScreen::IsFullScreen(seen, info.rcMonitor);
}
