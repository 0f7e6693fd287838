#include "ModalDriver.h"

#include <vector>

namespace {

constexpr DWORD kPollMs = 20;

struct Search {
    const wchar_t* title;
    std::vector<HWND> found;
};

bool IsVisibleDialog(HWND window) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return IsWindowVisible(window) && std::wstring(className) == L"#32770";
}

BOOL CALLBACK CollectDialogs(HWND window, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    if (!IsVisibleDialog(window)) {
        return TRUE;
    }
    wchar_t title[256] = {};
    InternalGetWindowText(window, title, 256);
    if (!search->title || std::wstring(title) == search->title) {
        search->found.push_back(window);
    }
    return TRUE;
}

} // namespace

ModalDriver::ModalDriver(Script script)
    : m_testThread(GetCurrentThreadId()), m_thread(&ModalDriver::Run, this, std::move(script)) {}

ModalDriver::~ModalDriver() {
    Finish();
}

void ModalDriver::Finish() {
    m_finished = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void ModalDriver::Run(Script script) {
    script(*this);
    CloseStrays();
}

void ModalDriver::CloseStrays() {
    while (!m_finished) {
        Search search{nullptr, {}};
        EnumThreadWindows(m_testThread, CollectDialogs, reinterpret_cast<LPARAM>(&search));
        for (HWND dialog : search.found) {
            // Only the innermost modal window is enabled; its owners follow once it is gone.
            if (IsWindowEnabled(dialog)) {
                ++m_strays;
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                PostMessageW(dialog, WM_COMMAND, IDNO, 0);
                WaitGone(dialog, 1000);
            }
        }
        Sleep(kPollMs);
    }
}

HWND ModalDriver::Find(const wchar_t* title) const {
    Search search{title, {}};
    EnumThreadWindows(m_testThread, CollectDialogs, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

HWND ModalDriver::WaitFor(const wchar_t* title, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HWND window = Find(title);
        // A dialog is ready once its controls are there and it takes input.
        if (window && GetWindow(window, GW_CHILD) && IsWindowEnabled(window)) {
            return window;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

bool ModalDriver::Appears(const wchar_t* title, DWORD timeoutMs) {
    return WaitFor(title, timeoutMs) != nullptr;
}

bool ModalDriver::WaitGone(HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

void ModalDriver::Click(HWND dialog, int buttonId) {
    Ask(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

void ModalDriver::ClickToOpen(HWND dialog, int buttonId) {
    PostMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

bool ModalDriver::ClickAndWaitGone(HWND dialog, int buttonId) {
    ClickToOpen(dialog, buttonId);
    return WaitGone(dialog);
}

LRESULT ModalDriver::Ask(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs, &result);
    return static_cast<LRESULT>(result);
}

bool ModalDriver::IsChecked(HWND dialog, int buttonId) {
    return Ask(GetDlgItem(dialog, buttonId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring ModalDriver::Text(HWND window) {
    wchar_t text[512] = {};
    Ask(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

void ModalDriver::SetText(HWND window, const std::wstring& text) {
    Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
