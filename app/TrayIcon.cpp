#include "app/TrayIcon.h"

#include <algorithm>
#include <cwchar>

#include "system/SystemLibraries.h"

#if !defined(_WIN64)
static_assert(sizeof(NOTIFYICONDATAW) == 956, "the tray icon record of the 32-bit program");
#endif

namespace {

constexpr int kLongestWait = 60;
// A taskbar that has not answered within this time is taken for one that does not answer.
constexpr UINT kShellAnswerMs = 500;

// Ticks to wait after a failed add, given the wait before it (0 after a success).
int NextWait(int previousWait) {
    return previousWait <= 0 ? 1 : std::min(previousWait * 2, kLongestWait);
}

BOOL WINAPI NotifyAnsweringShell(DWORD action, PNOTIFYICONDATAW data) {
    using NotifyFunction = decltype(&Shell_NotifyIconW);
    static const auto notify =
        SystemLibraries::Shell().Function<NotifyFunction>("Shell_NotifyIconW");
    // Shell_NotifyIconW would wait seconds for a busy taskbar, and for ever under Wine.
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    DWORD_PTR answer = 0;
    if (taskbar &&
        !SendMessageTimeoutW(taskbar, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kShellAnswerMs, &answer)) {
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    return notify ? notify(action, data) : FALSE;
}

} // namespace

TrayIcon::TrayIcon(UINT id, UINT callbackMessage)
    : m_notify(NotifyAnsweringShell), m_id(id), m_callbackMessage(callbackMessage) {}

BOOL TrayIcon::Add(HWND hwnd, HICON icon) {
    SetLastError(ERROR_SUCCESS);
    m_shown = Send(NIM_ADD, hwnd, icon, !m_balloonShown) != FALSE;
    if (!m_shown && GetLastError() != ERROR_TIMEOUT) {
        // The icon may be there already, from an earlier add that the shell carried out after
        // the caller had stopped waiting; that add brought the balloon.
        m_shown = Send(NIM_MODIFY, hwnd, icon, false) != FALSE;
    }
    if (m_shown) {
        m_balloonShown = true;
        m_wait = 0;
    } else {
        m_wait = NextWait(m_wait);
    }
    m_ticksLeft = m_wait;
    return m_shown;
}

// Only a failed add leaves ticks to wait.
void TrayIcon::Tick(HWND hwnd, HICON icon) {
    if (m_ticksLeft > 0 && --m_ticksLeft == 0) {
        Add(hwnd, icon);
    }
}

void TrayIcon::Remove(HWND hwnd) {
    Send(NIM_DELETE, hwnd, nullptr, false);
    m_shown = false;
    m_wait = 0;
    m_ticksLeft = 0;
}

BOOL TrayIcon::Send(DWORD action, HWND hwnd, HICON icon, bool withBalloon) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = m_id;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = m_callbackMessage;
        data.hIcon = icon;
        wcscpy(data.szTip, L"Vintrel Ver 2005");
    }
    if (withBalloon) {
        data.uFlags |= NIF_INFO;
        wcscpy(data.szInfo, L"Ready and Running. Right or Left Click for the menu");
        data.uTimeout = 5000;
        wcscpy(data.szInfoTitle, L"Vintrel Ver 2014");
        data.dwInfoFlags = NIIF_INFO;
    }
    const bool wasBusy = m_busy;
    m_busy = true;
    const BOOL result = m_notify(action, &data);
    m_busy = wasBusy;
    return result;
}
