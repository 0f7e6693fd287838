#include <windows.h>

#include <cwchar>

// Watches the installed clock for the package tests:
//   ClockWindowProbe wait SECONDS    exits 0 once a visible clock window exists
//   ClockWindowProbe close SECONDS   sends it WM_CLOSE, exits 0 once its process ended with 0
namespace {

HWND FindClock() {
    return FindWindowW(L"vintrel", L"Vintrel");
}

bool WaitForClock(DWORD seconds) {
    for (DWORD tenths = 0; tenths <= seconds * 10; ++tenths) {
        const HWND window = FindClock();
        if (window != nullptr && IsWindowVisible(window)) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

bool CloseClock(DWORD seconds) {
    const HWND window = FindClock();
    DWORD processId = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) {
        return false;
    }
    const HANDLE process =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    DWORD exitCode = 1;
    const bool ended = PostMessageW(window, WM_CLOSE, 0, 0) &&
                       WaitForSingleObject(process, seconds * 1000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &exitCode) && exitCode == 0;
    CloseHandle(process);
    return ended;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const DWORD seconds = std::wcstoul(argv[2], nullptr, 10);
    if (std::wcscmp(argv[1], L"wait") == 0) {
        return WaitForClock(seconds) ? 0 : 1;
    }
    if (std::wcscmp(argv[1], L"close") == 0) {
        return CloseClock(seconds) ? 0 : 1;
    }
    return 2;
}
