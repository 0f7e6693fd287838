#pragma once

#include <windows.h>

#include "app/TrayIcon.h"
#include "framework/ZelWnd.h"
#include "settings/SettingsNames.h"

// Callback message of the notification-area icon.
inline constexpr UINT WM_TRAYICON = WM_APP + 101;
inline constexpr UINT kTrayIconId = 1239;
inline constexpr UINT_PTR kClockTimerId = 1;
// A plain timer that ticks only when the aimed one could not be armed: each tick puts it off.
inline constexpr UINT_PTR kFallbackTimerId = 2;
inline constexpr UINT kFallbackTickMs = 1500;
inline constexpr DWORD kClockStyle = 0x16CF0000;
inline constexpr DWORD kClockExStyle = 0x88;

// The clock window. Its fields hold all of the program's run-time state.
class ZelDsktp : public ZEL_CLASS::ZelWnd {
public:
    ZelDsktp();
    ~ZelDsktp() override;

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(CREATESTRUCTW* cs) override;
    LRESULT OnCommand(UINT id, LPARAM lParam) override;
    LRESULT OnClose() override;
    LRESULT OnTimer(WPARAM timerId) override;
    LRESULT OnSize(WPARAM wParam, LPARAM& lParam) override;
    LRESULT OnPaint() override;
    virtual int RegisterAndCreate(HWND parent, HINSTANCE instance, LPCWSTR windowName,
                                  WORD resourceId, LPCWSTR className);

    void LoadSettings();
    BOOL AddTrayIcon();
    void ShowOptions();
    void RemoveFromStartup();

    UINT_PTR m_timerId;
    HRGN m_hRegion;
    HICON m_hTrayIcon;
    BOOL m_shaped;
    DisplayType m_displayType;
    DWORD m_showSuffix;
    COLORREF m_color;
    WCHAR m_faceName[300];
    // True while the window is put at its built-in or saved place and first shown.
    BOOL m_placing;
    // The notification-area icon's adds, retries and removal.
    TrayIcon m_tray;
    // Where the user put the clock, which is what is saved. A move the program makes to keep the
    // clock in sight leaves it as it is.
    RECT m_userPlace;
    // The user's choice: hide while a full-screen program is in front of the clock's monitor.
    BOOL m_stepAside = TRUE;
    // True while the clock is hidden for such a program.
    BOOL m_aside = FALSE;

private:
    void StartTimer();
    void StopTimer();
    void SaveWindowRect();
    void RestoreWindowRect();
    void OpenHelpPage();
    LRESULT OnDpiChanged(const RECT* suggested);
    void KeepInSight();
    void KeepInSightAtStart();
    void MoveTo(const RECT& place);
    void OnPlaceChanged(const WINDOWPOS& pos);
    RECT NormalPlace() const;
    RECT VisiblePart(const RECT& window) const;
    void OnTaskbarCreated();
    void ClipToGlyphs(int offsetY);
    void PaintFramed(HDC dc, const RECT& client, HBRUSH colorBrush);
    bool StandsAside();
    bool FullScreenInFront() const;

    // True from WM_ENTERSIZEMOVE to WM_EXITSIZEMOVE, while the user moves or sizes the clock.
    BOOL m_sizing = FALSE;
    // True while the program moves the clock itself.
    BOOL m_moving = FALSE;
    // True while the clock is minimized or maximized, and until it is first back in its normal
    // place.
    BOOL m_minMax = FALSE;
    // True from the start until the first paint has cut the window to the digits, which is when
    // the start's check of the place can see them.
    BOOL m_checkAfterPaint = FALSE;
};
