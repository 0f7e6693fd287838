#include "app/ZelDsktp.h"

#include <cwchar>
#include <vector>

#include <dwmapi.h>

#include "app/ClockFace.h"
#include "app/ScreenPlace.h"
#include "system/DisplayDpi.h"
#include "system/SystemLibraries.h"
#include "settings/ClockSettings.h"

#if !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXW) == 48, "the window class record of the 32-bit program");
#endif
static_assert(sizeof(LOGFONTW) == 92, "the stored font record");

namespace {

// The side of the notification-area icon at 96 DPI.
constexpr int kTrayIconSide = 16;
constexpr int kFaceFieldChars = LF_FACESIZE;
// A chosen colour is red, green and blue; the top byte would make it a palette colour.
constexpr COLORREF kColorBits = 0x00FFFFFF;

// The message the shell broadcasts when it has started again.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool IsClickThatFrames(UINT msg, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN) {
        return true;
    }
    return msg == WM_TRAYICON && (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN);
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(handle, &info)) {
        reinterpret_cast<std::vector<ScreenPlace::Monitor>*>(list)->push_back(
            {info.rcMonitor, info.rcWork});
    }
    return TRUE;
}

// The monitors as they are now.
std::vector<ScreenPlace::Monitor> Monitors() {
    std::vector<ScreenPlace::Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// A change of the displays or of the taskbar's place.
bool IsDisplayChange(UINT msg, WPARAM wParam) {
    return msg == WM_DISPLAYCHANGE || (msg == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA);
}

using DwmGetWindowAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

// The frame the desktop window manager draws, without the invisible resize borders that the
// window rectangle holds on Windows 10 and later; false where it tells none.
bool VisibleFrame(HWND hwnd, RECT& frame) {
    const auto get =
        SystemLibraries::DesktopWindowManager().Function<DwmGetWindowAttributeFunction>(
            "DwmGetWindowAttribute");
    return get && SUCCEEDED(get(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof(frame))) &&
           !IsRectEmpty(&frame);
}

// The built-in place, sized for the monitor it lies on.
RECT BuiltInPlace() {
    const RECT at96 = ClockFace::DefaultPlace(USER_DEFAULT_SCREEN_DPI);
    return ClockFace::DefaultPlace(DisplayDpi::AtPoint({at96.left, at96.top}));
}

} // namespace

ZelDsktp::ZelDsktp()
    : ZelWnd(nullptr, 0), m_hRegion(nullptr), m_shaped(TRUE), m_displayType(DisplayBoth),
      m_showSuffix(1), m_placing(FALSE), m_tray(kTrayIconId, WM_TRAYICON), m_userPlace{} {}

ZelDsktp::~ZelDsktp() = default;

int ZelDsktp::RegisterAndCreate(HWND parent, HINSTANCE instance, LPCWSTR windowName,
                                WORD resourceId, LPCWSTR className) {
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ZEL_CLASS::StaticWndProc;
        wc.hInstance = instance;
        wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszMenuName = MAKEINTRESOURCEW(resourceId);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) {
            throw WinException{GetLastError(), WinExceptionText::kRegisterClass};
        }
    }
    return Create(parent, instance, className, windowName, nullptr, kClockStyle, kClockExStyle,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

// Runs inside CreateWindowExW, once the object is bound to its window.
LRESULT ZelDsktp::OnCreate(CREATESTRUCTW* cs) {
    LoadSettings();
    AddTrayIcon();
    m_placing = TRUE;
    const RECT place = BuiltInPlace();
    MoveWindow(m_hWnd, place.left, place.top, place.right - place.left, place.bottom - place.top,
               TRUE);
    GetWindowRect(m_hWnd, &m_userPlace);
    RestoreWindowRect();
    // Whatever the user is typing into keeps the keyboard, at logon too.
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    KeepInSightAtStart();
    m_placing = FALSE;
    StartTimer();
    return ZelWnd::OnCreate(cs);
}

void ZelDsktp::LoadSettings() {
    SettingsKey settings = ClockSettings();
    LOGFONTW font{};
    if (settings.ReadBinary(Settings::kSection, Settings::kDisplayFont, &font, sizeof(font))) {
        size_t length = wcsnlen(font.lfFaceName, kFaceFieldChars);
        if (length == kFaceFieldChars) {
            length = kFaceFieldChars - 1;
        }
        wmemcpy(m_faceName, font.lfFaceName, length);
        m_faceName[length] = L'\0';
    } else {
        wcscpy(m_faceName, Settings::kDefaultFace);
    }
    m_color =
        settings.ReadDword(Settings::kSection, Settings::kDisplayColor, Settings::kDefaultColor) &
        kColorBits;
    m_displayType = static_cast<DisplayType>(
        settings.ReadDword(Settings::kSection, Settings::kDisplayType, DisplayBoth));
    m_showSuffix = settings.ReadDword(Settings::kSection, Settings::kDisplayStrings, 1);
    m_stepAside = ReadStepAside(settings);
}

// The icon is loaded at the scale of the taskbar's monitor as it is now.
BOOL ZelDsktp::AddTrayIcon() {
    const int side = ClockFace::ScaleForDpi(kTrayIconSide, DisplayDpi::OfTaskbar());
    m_hTrayIcon = static_cast<HICON>(
        LoadImageW(GetInstance(), MAKEINTRESOURCEW(108), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
    return m_tray.Add(m_hWnd, m_hTrayIcon);
}

// The shell has started again, perhaps at another scale: its notification area is empty. Told
// so while an add waits for the shell, the clock adds its icon again once that add is over: the
// waiting add still holds the icon it hands the shell, and its outcome stands.
void ZelDsktp::OnTaskbarCreated() {
    if (m_tray.IsBusy()) {
        PostMessageW(m_hWnd, TaskbarCreatedMessage(), 0, 0);
        return;
    }
    DestroyIcon(m_hTrayIcon);
    AddTrayIcon();
}

// Every message of the clock window; clicks that show the frame are caught here.
LRESULT ZelDsktp::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DPICHANGED) {
        return OnDpiChanged(reinterpret_cast<const RECT*>(lParam));
    }
    if (IsClickThatFrames(msg, lParam)) {
        m_shaped = FALSE;
        InvalidateRect(m_hWnd, nullptr, TRUE);
    } else if (msg == WM_ENDSESSION && wParam) {
        SaveWindowRect();
    } else if (IsDisplayChange(msg, wParam)) {
        KeepInSight();
    } else if (msg == WM_ENTERSIZEMOVE) {
        m_sizing = TRUE;
    } else if (msg == WM_EXITSIZEMOVE) {
        // Moved or sized by the user, with the mouse or the keyboard: the user put it there.
        m_sizing = FALSE;
        m_userPlace = NormalPlace();
    } else if (msg != 0 && msg == TaskbarCreatedMessage()) {
        OnTaskbarCreated();
    }
    const LRESULT result = ZelWnd::WindowProc(hwnd, msg, wParam, lParam);
    if (msg == WM_WINDOWPOSCHANGED) {
        OnPlaceChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
    } else if (msg == WM_PAINT && m_checkAfterPaint) {
        m_checkAfterPaint = FALSE;
        KeepInSight();
    }
    return result;
}

// Each tick: stay on top without taking the keyboard and repaint, unless a full-screen program
// is in front; then wait for the turn of the next second.
LRESULT ZelDsktp::OnTimer(WPARAM timerId) {
    if (!StandsAside()) {
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    // At logon the shell may not have been ready for the add at start.
    m_tray.Tick(m_hWnd, m_hTrayIcon);
    StartTimer();
    return ZelWnd::OnTimer(timerId);
}

// The window's monitor changed its scale, or the window moved to a monitor of another scale:
// the suggested rectangle keeps the clock's apparent size, and the next paint fits the digits to
// it. Placing the window at start keeps the size it gives, whatever monitor that lies on. A
// clock at the user's place is at the user's place at the new scale too.
LRESULT ZelDsktp::OnDpiChanged(const RECT* suggested) {
    if (suggested && !m_placing) {
        RECT window{};
        GetWindowRect(m_hWnd, &window);
        const bool atUserPlace = EqualRect(&window, &m_userPlace) != FALSE;
        MoveTo(*suggested);
        if (atUserPlace) {
            GetWindowRect(m_hWnd, &m_userPlace);
        }
        KeepInSight();
    }
    return 0;
}

// A monitor went, a resolution fell or the taskbar moved: a clock whose digits (or, framed,
// whose visible frame) are no longer wholly on the monitors comes back into sight, in the mode
// it is in and without taking the keyboard; one whose user's place shows again goes back there.
// Never while the user drags it, nor while it is minimized or maximized. The user's place stays
// what is saved.
void ZelDsktp::KeepInSight() {
    if (m_sizing || IsIconic(m_hWnd) || IsZoomed(m_hWnd)) {
        return;
    }
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const RECT place =
        ScreenPlace::KeepInSight(m_userPlace, window, VisiblePart(window), Monitors());
    if (!EqualRect(&place, &window)) {
        MoveTo(place);
    }
}

// The place was saved on a desktop that may have had other monitors. Where the client area, and
// so every digit, is off the monitors, no paint would come to show the digits: the clock comes
// into sight now. Otherwise the check waits for the first paint.
void ZelDsktp::KeepInSightAtStart() {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (!MonitorFromRect(&client, MONITOR_DEFAULTTONULL)) {
        KeepInSight();
    }
    m_checkAfterPaint = TRUE;
}

void ZelDsktp::MoveTo(const RECT& place) {
    m_moving = TRUE;
    SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_moving = FALSE;
}

// The clock was moved or sized by another program, or minimized, maximized or restored. A move by
// another program becomes the user's place while the user's place is in sight; when it is not,
// the displays have changed, and the move is the system's own rescue of the window. Back from
// minimized or maximized, the clock is checked against the displays as they are now.
void ZelDsktp::OnPlaceChanged(const WINDOWPOS& pos) {
    if (IsIconic(m_hWnd) || IsZoomed(m_hWnd)) {
        m_minMax = TRUE;
        return;
    }
    if (m_minMax) {
        m_minMax = FALSE;
        KeepInSight();
        return;
    }
    const bool moved = (pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE);
    if (!moved || m_placing || m_moving || m_sizing) {
        return;
    }
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    if (ScreenPlace::InSight(m_userPlace, window, VisiblePart(window), Monitors())) {
        m_userPlace = window;
    }
}

// Where the clock stands when it is neither minimized nor maximized. It is a tool window, so its
// normal place is in screen coordinates.
RECT ZelDsktp::NormalPlace() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if ((IsIconic(m_hWnd) || IsZoomed(m_hWnd)) && GetWindowPlacement(m_hWnd, &placement)) {
        return placement.rcNormalPosition;
    }
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    return window;
}

// The part of the window the user sees, in screen coordinates: the digits while the window is
// cut to them, otherwise the visible frame.
RECT ZelDsktp::VisiblePart(const RECT& window) const {
    RECT box{};
    const int type = GetWindowRgnBox(m_hWnd, &box);
    if ((type == SIMPLEREGION || type == COMPLEXREGION) && !IsRectEmpty(&box)) {
        OffsetRect(&box, window.left, window.top);
        return box;
    }
    RECT frame{};
    return VisibleFrame(m_hWnd, frame) ? frame : window;
}

// After a resize; the next paint uses the new size.
LRESULT ZelDsktp::OnSize(WPARAM wParam, LPARAM& lParam) {
    return ZelWnd::OnSize(wParam, lParam);
}

// The close box, Alt+F4 or Exit: release everything, remember the place, end the loop.
LRESULT ZelDsktp::OnClose() {
    StopTimer();
    if (m_hRegion) {
        DeleteObject(m_hRegion);
        m_hRegion = nullptr;
    }
    m_tray.Remove(m_hWnd);
    DestroyIcon(m_hTrayIcon);
    SaveWindowRect();
    PostQuitMessage(0);
    return ZelWnd::OnClose();
}

void ZelDsktp::StartTimer() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    m_timerId = SetTimer(m_hWnd, kClockTimerId, ClockFace::TickDelay(now.wMilliseconds), nullptr);
    SetTimer(m_hWnd, kFallbackTimerId, kFallbackTickMs, nullptr);
}

void ZelDsktp::StopTimer() {
    KillTimer(m_hWnd, kClockTimerId);
    KillTimer(m_hWnd, kFallbackTimerId);
}

// The user's place, not where a display change or the minimized state has put the clock.
void ZelDsktp::SaveWindowRect() {
    ClockSettings().WriteBinary(Settings::kSection, Settings::kWindowPlacement, &m_userPlace,
                                sizeof(m_userPlace));
}

void ZelDsktp::RestoreWindowRect() {
    SettingsKey settings = ClockSettings();
    RECT rect{};
    // A value that fits in fewer bytes than a rectangle is no rectangle.
    if (settings.ReadBinary(Settings::kSection, Settings::kWindowPlacement, &rect,
                            sizeof(rect) - 1) ||
        !settings.ReadBinary(Settings::kSection, Settings::kWindowPlacement, &rect, sizeof(rect))) {
        return;
    }
    if (ClockFace::AcceptSavedRect(rect, GetSystemMetrics(SM_CXVIRTUALSCREEN))) {
        MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
        GetWindowRect(m_hWnd, &m_userPlace);
    }
}
