#include "packaging/closer/ClockCloser.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t kProgramFile[] = L"Vintrel.exe";
constexpr wchar_t kClockClass[] = L"vintrel";
constexpr DWORD kPollMs = 100;
constexpr DWORD kEndWaitMs = 2000;

DWORD SessionOf(DWORD pid) {
    DWORD session = 0;
    return ProcessIdToSessionId(pid, &session) ? session : MAXDWORD;
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindClockWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    wchar_t cls[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && GetClassNameW(hwnd, cls, 16) && wcscmp(cls, kClockClass) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int ClockCloser::CloseAll(DWORD waitMs) {
    FindClocks();
    const DWORD start = GetTickCount();
    while (!m_clocks.empty() && GetTickCount() - start < waitMs) {
        for (Clock& clock : m_clocks) {
            AskToClose(clock);
        }
        Sleep(kPollMs);
        ForgetEnded();
    }
    return EndRemaining();
}

// Every process of this program in this session that can be waited for.
void ClockCloser::FindClocks() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    const DWORD session = SessionOf(GetCurrentProcessId());
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, kProgramFile) != 0 ||
            SessionOf(entry.th32ProcessID) != session) {
            continue;
        }
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (process != nullptr) {
            m_clocks.push_back({entry.th32ProcessID, process, false});
        }
    }
    CloseHandle(snapshot);
}

void ClockCloser::AskToClose(Clock& clock) {
    if (clock.asked) {
        return;
    }
    WindowSearch search = {clock.pid, nullptr};
    EnumWindows(FindClockWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
        clock.asked = PostMessageW(search.found, WM_CLOSE, 0, 0) != FALSE;
    }
}

void ClockCloser::ForgetEnded() {
    auto ended = [](const Clock& clock) {
        if (WaitForSingleObject(clock.process, 0) != WAIT_OBJECT_0) {
            return false;
        }
        CloseHandle(clock.process);
        return true;
    };
    m_clocks.erase(std::remove_if(m_clocks.begin(), m_clocks.end(), ended), m_clocks.end());
}

// A clock that did not end in time would keep its file in use.
int ClockCloser::EndRemaining() {
    const int count = static_cast<int>(m_clocks.size());
    for (Clock& clock : m_clocks) {
        TerminateProcess(clock.process, 1);
        WaitForSingleObject(clock.process, kEndWaitMs);
        CloseHandle(clock.process);
    }
    m_clocks.clear();
    return count;
}
