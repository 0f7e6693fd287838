#include "tests/framework/TestUi.h"

#include "framework/ZelWnd.h"
#include "tests/framework/CallLog.h"

const wchar_t kTestClass[] = L"ZelWndTestWindow";
const wchar_t kTraceClass[] = L"ZelWndTraceWindow";

namespace {

CallLog* g_traceLog = nullptr;
ModalDriver* g_driver = nullptr;

LRESULT CALLBACK TraceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_traceLog != nullptr)
        g_traceLog->Add({"Message", msg, ZEL_CLASS::BoundObject(hwnd) != nullptr});
    return ZEL_CLASS::StaticWndProc(hwnd, msg, wParam, lParam);
}

void Register(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

BOOL CALLBACK EndDialogs(HWND hwnd, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpW(name, L"#32770") == 0)
        EndDialog(hwnd, ModalDriver::kGaveUp);
    return TRUE;
}

} // namespace

void RegisterTestClasses() {
    Register(kTestClass, ZEL_CLASS::StaticWndProc);
    Register(kTraceClass, TraceProc);
}

void UnregisterTestClasses() {
    UnregisterClassW(kTestClass, GetModuleHandleW(nullptr));
    UnregisterClassW(kTraceClass, GetModuleHandleW(nullptr));
}

void SetTraceLog(CallLog* log) {
    g_traceLog = log;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void PostClick(HWND control) {
    const LPARAM point = MAKELPARAM(5, 5);
    PostMessageW(control, WM_MOUSEMOVE, 0, point);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(control, WM_LBUTTONUP, 0, point);
}

void PostKey(HWND dialog, WPARAM key) {
    HWND focus = GetFocus();
    HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

ModalDriver::ModalDriver(const wchar_t* title, std::function<void(HWND)> action)
    : m_title(title), m_action(std::move(action)), m_timer(SetTimer(nullptr, 0, 50, Tick)) {
    g_driver = this;
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, m_timer);
    g_driver = nullptr;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver != nullptr)
        g_driver->Step();
}

void ModalDriver::Step() {
    HWND dialog = FindWindowW(L"#32770", m_title);
    if (m_dialog == nullptr && dialog != nullptr && IsWindowVisible(dialog)) {
        m_dialog = dialog;
        m_action(dialog);
        return;
    }
    if (++m_ticks <= 100)
        return;
    EnumThreadWindows(GetCurrentThreadId(), EndDialogs, 0);
}
