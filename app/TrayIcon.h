#pragma once

#include <windows.h>
#include <shellapi.h>

// The clock's icon in the notification area. One rule serves the add at start, its retries and
// the add after the shell has started again:
// - an add the shell refuses because the icon is there already counts as done, and the icon is
//   refreshed in place;
// - a failed add is tried again at a later tick, after 1, 2, 4 ... up to 60 ticks, so a shell
//   that does not answer costs one late tick per attempt rather than every tick;
// - the balloon comes once per run, with the first add that succeeds.
class TrayIcon {
public:
    // One notification to the shell, as Shell_NotifyIconW takes it. A shell that does not
    // answer fails the call with ERROR_TIMEOUT.
    using Notify = BOOL(WINAPI*)(DWORD action, PNOTIFYICONDATAW data);

    TrayIcon(UINT id, UINT callbackMessage);

    // Adds the icon now (at start, and when the shell has started again); returns whether it
    // is shown.
    BOOL Add(HWND hwnd, HICON icon);
    // One tick: adds the icon again once a failed add's wait is over.
    void Tick(HWND hwnd, HICON icon);
    // Takes the icon away; no retry follows.
    void Remove(HWND hwnd);
    bool IsShown() const { return m_shown; }
    // True while a notification waits for the shell. Messages sent to the clock meanwhile are
    // handled inside that wait.
    bool IsBusy() const { return m_busy; }

    // Where notifications go: the shell, asked only when its taskbar answers within half a
    // second. Tests put a stand-in for the shell here.
    Notify m_notify;

private:
    BOOL Send(DWORD action, HWND hwnd, HICON icon, bool withBalloon);

    UINT m_id;
    UINT m_callbackMessage;
    bool m_shown = false;
    bool m_balloonShown = false;
    bool m_busy = false;
    int m_wait = 0;
    int m_ticksLeft = 0;
};
