#pragma once

#include <windows.h>

#include "framework/ZelWnd.h"
#include "settings/SettingsNames.h"

// Callback message of the notification-area icon.
inline constexpr UINT WM_TRAYICON = WM_APP + 101;
inline constexpr UINT kTrayIconId = 1239;
inline constexpr UINT_PTR kClockTimerId = 1;
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
    // Whether an add of the tray icon has succeeded; until then each tick tries again.
    BOOL m_trayIconAdded;
    // True while the window is put at its built-in or saved place as it is created.
    BOOL m_placing;

private:
    void StartTimer();
    void SaveWindowRect();
    void RestoreWindowRect();
    BOOL AddToTray();
    BOOL NotifyTrayIcon(DWORD action, bool withBalloon);
    LRESULT OnDpiChanged(const RECT* suggested);
    void PaintShaped(HDC dc, const RECT& client, HBRUSH colorBrush, int offsetY);
    void PaintFramed(HDC dc, const RECT& client, HBRUSH colorBrush);
};
