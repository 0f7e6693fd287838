#include "ClockWindow.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "TestRegistry.h"
#include "res/resource.h"

namespace ClockTest {

Edges EdgesOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Edges WindowEdges(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return EdgesOf(rect);
}

Edges StoredPlace() {
    const TestRegistry::StoredValue value = TestRegistry::Setting(Settings::kWindowPlacement);
    RECT rect{};
    if (value.data.size() == sizeof(rect)) {
        std::memcpy(&rect, value.data.data(), sizeof(rect));
    }
    return EdgesOf(rect);
}

std::unique_ptr<ZelDsktp> CreateClock(std::unique_ptr<ZelDsktp> clock) {
    clock->RegisterAndCreate(nullptr, GetModuleHandleW(nullptr), L"Vintrel", IDR_MAINMENU,
                             L"vintrel");
    return clock;
}

void CloseClock(std::unique_ptr<ZelDsktp>& clock) {
    if (!clock) {
        return;
    }
    const HWND hwnd = clock->m_hWnd;
    if (IsWindow(hwnd)) {
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    if (IsWindow(hwnd)) {
        DeleteTrayIcon(hwnd);
        DestroyWindow(hwnd);
    }
    // Whatever a failed test left in the queue, the quit message above all, goes with it.
    Pump();
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    clock.reset();
}

void Paint(ZelDsktp& clock, BOOL shaped) {
    clock.m_shaped = shaped;
    InvalidateRect(clock.m_hWnd, nullptr, TRUE);
    UpdateWindow(clock.m_hWnd);
}

bool HasUpdateRegion(HWND hwnd) {
    return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
}

int WindowRegionBox(HWND hwnd, RECT* box) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int type = GetWindowRgn(hwnd, region);
    if (box) {
        *box = RECT{};
        if (type != ERROR) {
            GetRgnBox(region, box);
        }
    }
    DeleteObject(region);
    return type;
}

bool TrayIconPresent(HWND hwnd, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = id;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Vintrel Ver 2005");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void DeleteTrayIcon(HWND hwnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(DWORD timeoutMs, const std::function<bool(const MSG&)>& done) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    MSG msg;
    while (GetTickCount64() < deadline) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done(msg)) {
            return true;
        }
    }
    return false;
}

bool WaitForTick(HWND hwnd, DWORD timeoutMs) {
    return PumpUntil(
        timeoutMs, [hwnd](const MSG& msg) { return msg.message == WM_TIMER && msg.hwnd == hwnd; });
}

bool TakeQuitMessage(DWORD timeoutMs, WPARAM* exitCode) {
    return PumpUntil(timeoutMs, [exitCode](const MSG& msg) {
        if (msg.message == WM_QUIT && exitCode) {
            *exitCode = msg.wParam;
        }
        return msg.message == WM_QUIT;
    });
}

} // namespace ClockTest
