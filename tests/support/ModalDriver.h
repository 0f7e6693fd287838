#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

// Drives the modal windows that the test thread opens, from a thread of its own, the way a
// person would: it waits for a window by class and title, reads it and presses its buttons.
// Every wait is bounded. Once the script has run, and until Finish, any dialog still open on
// the test thread is closed with Cancel (and No), so the test thread never stays blocked.
class ModalDriver {
public:
    using Script = std::function<void(ModalDriver&)>;

    static constexpr DWORD kWaitMs = 5000;

    explicit ModalDriver(Script script);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Called by the test thread once the operation that showed the windows has returned.
    void Finish();
    // Dialogs that were still open after the script and had to be closed by force.
    int StrayCount() const { return m_strays; }

    // A visible dialog ("#32770") of the test thread with this title, or null after kWaitMs.
    HWND WaitFor(const wchar_t* title, DWORD timeoutMs = kWaitMs);
    // True when the window is gone within the time.
    static bool WaitGone(HWND window, DWORD timeoutMs = kWaitMs);
    // True when a dialog with this title shows within the time.
    bool Appears(const wchar_t* title, DWORD timeoutMs);

    // Clicks a button of a dialog, as a mouse click would, and returns once it has acted.
    static void Click(HWND dialog, int buttonId);
    // Clicks a button that opens a modal window, without waiting for it.
    static void ClickToOpen(HWND dialog, int buttonId);
    // Clicks a button that ends the dialog and waits until the dialog is gone.
    static bool ClickAndWaitGone(HWND dialog, int buttonId);

    static bool IsChecked(HWND dialog, int buttonId);
    static std::wstring Text(HWND window);
    static void SetText(HWND window, const std::wstring& text);
    static LRESULT Ask(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void Run(Script script);
    HWND Find(const wchar_t* title) const;
    void CloseStrays();

    DWORD m_testThread;
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_strays{0};
    std::thread m_thread;
};
