#include "app/FullScreen.h"

#include <cwchar>

namespace {

// Window classes of the desktop and of the shell's taskbars, which may cover a monitor.
constexpr const wchar_t* kShellClasses[] = {L"Progman", L"WorkerW", L"Shell_TrayWnd",
                                            L"Shell_SecondaryTrayWnd"};

bool IsShellClass(const wchar_t* className) {
    for (const wchar_t* shellClass : kShellClasses) {
        if (className && std::wcscmp(className, shellClass) == 0) {
            return true;
        }
    }
    return false;
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

bool FullScreen::IsFullScreen(const Front& front, const RECT& monitor) {
    if (front.desktopOrOwn || IsShellClass(front.className)) {
        return false;
    }
    if (front.systemFullScreen) {
        return true;
    }
    const RECT& a = front.area;
    return !IsEmpty(a) && !IsEmpty(monitor) && a.left <= monitor.left && a.top <= monitor.top &&
           a.right >= monitor.right && a.bottom >= monitor.bottom;
}
