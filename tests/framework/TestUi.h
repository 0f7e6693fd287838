#pragma once

#include <windows.h>

#include <functional>

// Window classes the tests create windows of: kTestClass runs StaticWndProc directly,
// kTraceClass logs each message (and whether the window is bound yet) on its way there.
extern const wchar_t kTestClass[];
extern const wchar_t kTraceClass[];
void RegisterTestClasses();
void UnregisterTestClasses();

class CallLog;
// Where the trace class logs its messages; null logs nothing.
void SetTraceLog(CallLog* log);

// Dispatches this thread's messages until done() holds or timeoutMs passes.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// A left click inside the control, posted as the system posts it.
void PostClick(HWND control);

// A key press sent to whichever window of the dialog has the focus.
void PostKey(HWND dialog, WPARAM key);

// Finds a modal dialog by its title from a thread timer, runs an action on it once, and
// ends it with kGaveUp when it is still open after a few seconds.
class ModalDriver {
public:
    static constexpr INT_PTR kGaveUp = 99;

    ModalDriver(const wchar_t* title, std::function<void(HWND)> action);
    ~ModalDriver();
    HWND Dialog() const { return m_dialog; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Step();

    const wchar_t* m_title;
    std::function<void(HWND)> m_action;
    HWND m_dialog = nullptr;
    int m_ticks = 0;
    UINT_PTR m_timer;
};
