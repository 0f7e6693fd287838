#include "bench/BareClock.h"

#include <cwchar>

namespace BareClock {

namespace {

constexpr wchar_t kClassName[] = L"vintrel_bare";
constexpr int kTextChars = 16;
// Beside the clock's default place, so that neither window uncovers the other.
constexpr int kX = 300;
constexpr int kY = 10;
constexpr int kWidth = 210;
constexpr int kHeight = 110;

void DrawLine(HDC dc, RECT box, const wchar_t* format, const SYSTEMTIME& time) {
    wchar_t text[kTextChars];
    const int length =
        std::swprintf(text, kTextChars, format, time.wHour, time.wMinute, time.wSecond);
    DrawTextW(dc, text, length < 0 ? 0 : length, &box, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    RECT lower = client;
    lower.top = client.bottom / 2;
    SYSTEMTIME time;
    GetLocalTime(&time);
    DrawLine(dc, client, L"%.2d:%.2d:%.2d LOC", time);
    GetSystemTime(&time);
    DrawLine(dc, lower, L"%.2d:%.2d:%.2d GMT", time);
    EndPaint(hwnd, &ps);
}

// Every message of the bare window.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, kTimerId);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

HWND Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, kClassName, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
    }
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"Bare clock",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, kX, kY, kWidth, kHeight, nullptr,
                                nullptr, instance, nullptr);
    if (hwnd) {
        SetTimer(hwnd, kTimerId, kPeriodMs, nullptr);
    }
    return hwnd;
}

} // namespace BareClock
