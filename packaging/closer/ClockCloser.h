#pragma once

#include <windows.h>

#include <vector>

// Closes every running clock of this session as its user would: a WM_CLOSE to its window, so
// that it saves its place and removes its tray icon. A clock still starting gets the message
// as soon as its window is there. Used by the installer before it replaces or removes the
// program.
class ClockCloser {
public:
    // Closes the clocks and waits up to waitMs for their processes to end; ends forcibly
    // those that have not ended by then. Returns how many had to be ended forcibly.
    int CloseAll(DWORD waitMs);

private:
    struct Clock {
        DWORD pid;
        HANDLE process;
        bool asked;
    };

    void FindClocks();
    void AskToClose(Clock& clock);
    void ForgetEnded();
    int EndRemaining();

    std::vector<Clock> m_clocks;
};
