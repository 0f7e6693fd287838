// A small helper for the end-to-end scripts: finds the clock window (or another top-level
// window), prints what a script needs to know about it as shell assignments, and sends it
// messages. The end-to-end scripts and the package tests use it. Every wait is bounded by a
// timeout given in milliseconds.
//
//   probe info                     the clock window: rectangles, styles, region, the number
//                                  of clock windows and its program's file version
//   probe wait MS                  wait for the clock window to be shown, then as info
//   probe gone MS                  wait until no clock window is left
//   probe close                    post WM_CLOSE to the clock window
//   probe close MS                 ... and wait for its process to end; fails unless it ends
//                                  with exit code 0
//   probe move X Y W H             move and size the clock window
//   probe minimize                 post the window menu's Minimize to the clock window
//   probe tray HWND                is the clock's notification-area icon of HWND still there?
//   probe popup MS                 wait for an open popup menu and print its rectangle
//   probe window TITLE MS          wait for a top-level window titled TITLE
//   probe control TITLE ID         rectangle and check state of a control of window TITLE
//   probe closewindow TITLE        post WM_CLOSE to the window titled TITLE
//   probe place TITLE X Y          move the window titled TITLE to X, Y
//   probe stall WAIT_MS WATCH_MS   after WAIT_MS, tell the clock the shell has started again,
//                                  then watch its digits for WATCH_MS; prints the longest time
//                                  they stood still (the caller stops the shell during WAIT_MS:
//                                  no Wine process can start while the shell is stopped)
//   probe typing TITLE             the text and rectangle of the edit control of window TITLE,
//                                  whether that window has the keyboard, and whether the clock
//                                  is topmost and stands above it
//   probe mode W H MS              change the display mode to W by H pixels, print the screen,
//                                  then wait MS before ending
//   probe session MS               wait for the shell's taskbar, print whether it came, then
//                                  stay on the desktop until killed (scripts/wine-env.sh)
//   probe fullscreen MS            a plain popup over the clock's monitor, in front for MS: when
//                                  the clock went, how often it showed after, how often the
//                                  popup lost the keyboard; then closed: when the clock was back
//
// The installed clock, as scripts/installed-clock.sh checks it (on Windows and under Wine):
//   probe installed MS             wait for the clock window and its notification-area icon;
//                                  fails unless it is one window of the installed program,
//                                  topmost, with a non-empty window region and the icon, and
//                                  the Run value starts that program
//   probe leftovers MS             wait until nothing of an installed clock is left: no window,
//                                  no process, no Run value, no program folder, no shortcut
//   probe screenshot FILE.bmp      the whole desktop as a 24-bit bitmap
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClockClass[] = L"vintrel";
constexpr wchar_t kClockTitle[] = L"Vintrel";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr UINT kTrayIconId = 1239;
constexpr DWORD kPollMs = 50;

HWND FindClock() {
    return FindWindowW(kClockClass, kClockTitle);
}

HWND FindShownClock() {
    HWND hwnd = FindClock();
    return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

struct PopupSearch {
    HWND found;
};

BOOL CALLBACK FindVisiblePopup(HWND hwnd, LPARAM lParam) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (wcscmp(cls, kMenuClass) == 0 && IsWindowVisible(hwnd)) {
        reinterpret_cast<PopupSearch*>(lParam)->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindPopup() {
    PopupSearch search{nullptr};
    EnumWindows(FindVisiblePopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Find> HWND WaitFor(Find find, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = find();
        if (hwnd || GetTickCount() - start >= timeoutMs) {
            return hwnd;
        }
        Sleep(kPollMs);
    }
}

void PrintRect(const char* name, const RECT& r) {
    std::printf("%s_left=%ld\n%s_top=%ld\n%s_right=%ld\n%s_bottom=%ld\n", name, r.left, name, r.top,
                name, r.right, name, r.bottom);
}

RECT ClientOnScreen(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

// The window region's box in screen coordinates; region_type 0 means the window has none.
// The middle of the region's largest rectangle: a point that takes clicks for certain.
POINT InsidePoint(HRGN region) {
    POINT inside{-1, -1};
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> bytes(size);
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    if (size == 0 || GetRegionData(region, size, data) != size) {
        return inside;
    }
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    long largest = 0;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        const RECT& r = rects[i];
        const long area = (r.right - r.left) * (r.bottom - r.top);
        if (area > largest) {
            largest = area;
            inside = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        }
    }
    return inside;
}

void PrintRegion(HWND hwnd, const RECT& window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int type = GetWindowRgn(hwnd, region);
    RECT box{};
    POINT inside{-1, -1};
    if (type != ERROR) {
        GetRgnBox(region, &box);
        OffsetRect(&box, window.left, window.top);
        inside = InsidePoint(region);
        if (inside.x >= 0) {
            inside.x += window.left;
            inside.y += window.top;
        }
    }
    DeleteObject(region);
    std::printf("region_type=%d\n", type);
    PrintRect("region", box);
    std::printf("inside_x=%ld\ninside_y=%ld\n", inside.x, inside.y);
}

BOOL CALLBACK CountClock(HWND hwnd, LPARAM lParam) {
    wchar_t cls[16] = {};
    wchar_t title[16] = {};
    GetClassNameW(hwnd, cls, 16);
    GetWindowTextW(hwnd, title, 16);
    if (wcscmp(cls, kClockClass) == 0 && wcscmp(title, kClockTitle) == 0) {
        ++*reinterpret_cast<int*>(lParam);
    }
    return TRUE;
}

std::wstring ProcessImage(DWORD pid) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        return L"";
    }
    const BOOL named = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    return named ? path : L"";
}

// The file version of the program a process runs, as a.b.c.d, or "unknown".
void PrintFileVersion(DWORD pid) {
    const std::wstring path = ProcessImage(pid);
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : GetFileVersionInfoSizeW(path.c_str(), &ignored);
    void* data = size ? std::malloc(size) : nullptr;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (data && GetFileVersionInfoW(path.c_str(), 0, size, data) &&
        VerQueryValueW(data, L"\\", reinterpret_cast<void**>(&info), &infoSize) && info) {
        std::printf("file_version=%lu.%lu.%lu.%lu\n", info->dwFileVersionMS >> 16,
                    info->dwFileVersionMS & 0xFFFF, info->dwFileVersionLS >> 16,
                    info->dwFileVersionLS & 0xFFFF);
    } else {
        std::printf("file_version=unknown\n");
    }
    std::free(data);
}

int PrintClock(HWND hwnd) {
    if (!hwnd) {
        std::printf("found=0\n");
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT window{};
    GetWindowRect(hwnd, &window);
    std::printf("found=1\nhwnd=%llu\npid=%lu\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), pid);
    std::printf("style=%lu\nexstyle=%lu\nvisible=%d\n",
                static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)),
                IsWindowVisible(hwnd) ? 1 : 0);
    PrintRect("win", window);
    PrintRect("client", ClientOnScreen(hwnd));
    PrintRegion(hwnd, window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    PrintRect("work", monitor.rcWork);
    std::printf("menu_height=%d\n", GetSystemMetrics(SM_CYMENU));
    int clocks = 0;
    EnumWindows(CountClock, reinterpret_cast<LPARAM>(&clocks));
    std::printf("clocks=%d\n", clocks);
    PrintFileVersion(pid);
    return 0;
}

int Gone(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (FindClock()) {
        if (GetTickCount() - start >= timeoutMs) {
            std::printf("gone=0\n");
            return 1;
        }
        Sleep(kPollMs);
    }
    std::printf("gone=1\n");
    return 0;
}

// Whether the shell holds the clock's icon: it accepts a change only to an icon it holds.
bool TrayIconShown(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner;
    data.uID = kTrayIconId;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Vintrel Ver 2005");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

int Tray(HWND owner) {
    std::printf("tray=%d\n", TrayIconShown(owner) ? 1 : 0);
    return 0;
}

int Window(const wchar_t* title, DWORD timeoutMs) {
    HWND hwnd = WaitFor([title] { return FindWindowW(nullptr, title); }, timeoutMs);
    if (!hwnd) {
        std::printf("found=0\n");
        return 1;
    }
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("found=1\nhwnd=%llu\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    PrintRect("win", r);
    return 0;
}

int Control(const wchar_t* title, int id) {
    HWND dialog = FindWindowW(nullptr, title);
    HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!control) {
        std::printf("found=0\n");
        return 1;
    }
    RECT r{};
    GetWindowRect(control, &r);
    std::printf("found=1\nchecked=%d\n",
                static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0)));
    PrintRect("ctl", r);
    return 0;
}

int Popup(DWORD timeoutMs) {
    HWND popup = WaitFor(FindPopup, timeoutMs);
    if (!popup) {
        std::printf("found=0\n");
        return 1;
    }
    RECT r{};
    GetWindowRect(popup, &r);
    std::printf("found=1\n");
    PrintRect("popup", r);
    return 0;
}

int Post(HWND hwnd, UINT msg, WPARAM wParam) {
    if (!hwnd) {
        std::printf("found=0\n");
        return 1;
    }
    PostMessageW(hwnd, msg, wParam, 0);
    std::printf("found=1\n");
    return 0;
}

// Closes the clock and waits for its process to end; succeeds only on exit code 0.
int CloseAndWait(HWND hwnd, DWORD timeoutMs) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const HANDLE process =
        pid ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid) : nullptr;
    if (!process) {
        std::printf("found=0\n");
        return 1;
    }
    Post(hwnd, WM_CLOSE, 0);
    DWORD exitCode = STILL_ACTIVE;
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    std::printf("ended=%d\nexit_code=%lu\n", ended ? 1 : 0, exitCode);
    return ended && exitCode == 0 ? 0 : 1;
}

int Move(HWND hwnd, int x, int y, int width, int height) {
    if (!hwnd) {
        std::printf("found=0\n");
        return 1;
    }
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    std::printf("found=1\n");
    return 0;
}

int Place(HWND hwnd, int x, int y) {
    if (!hwnd) {
        std::printf("found=0\n");
        return 1;
    }
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::printf("found=1\n");
    return 0;
}

// Whether `upper` comes before `lower` in the z-order of the top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND hwnd = GetWindow(upper, GW_HWNDNEXT); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (hwnd == lower) {
            return true;
        }
    }
    return false;
}

int Typing(const wchar_t* title) {
    HWND window = FindWindowW(nullptr, title);
    HWND edit = window ? FindWindowExW(window, nullptr, L"Edit", nullptr) : nullptr;
    if (!edit) {
        std::printf("found=0\n");
        return 1;
    }
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &length);
    RECT r{};
    GetWindowRect(edit, &r);
    HWND clock = FindClock();
    const bool topmost = clock && (GetWindowLongPtrW(clock, GWL_EXSTYLE) & WS_EX_TOPMOST);
    std::printf("found=1\ntyped='%ls'\nin_front=%d\nclock_topmost=%d\nclock_above=%d\n", text,
                GetForegroundWindow() == window ? 1 : 0, topmost ? 1 : 0,
                clock && Above(clock, window) ? 1 : 0);
    PrintRect("edit", r);
    return 0;
}

// The bytes of the window's region, which change whenever the clock shows another second.
std::string RegionBytes(HWND hwnd) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    std::string bytes;
    if (GetWindowRgn(hwnd, region) != ERROR) {
        bytes.resize(GetRegionData(region, 0, nullptr));
        GetRegionData(region, static_cast<DWORD>(bytes.size()),
                      reinterpret_cast<RGNDATA*>(bytes.data()));
    }
    DeleteObject(region);
    return bytes;
}

int Stall(HWND clock, DWORD waitMs, DWORD watchMs) {
    if (!clock) {
        std::printf("found=0\n");
        return 1;
    }
    Sleep(waitMs);
    PostMessageW(clock, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    const DWORD start = GetTickCount();
    DWORD changed = start;
    DWORD longest = 0;
    std::string shown = RegionBytes(clock);
    while (GetTickCount() - start < watchMs) {
        Sleep(kPollMs / 5);
        const std::string now = RegionBytes(clock);
        const DWORD at = GetTickCount();
        longest = at - changed > longest ? at - changed : longest;
        if (now != shown) {
            shown = now;
            changed = at;
        }
    }
    std::printf("found=1\nlongest_unchanged_ms=%lu\n", longest);
    return 0;
}

int Mode(int width, int height, DWORD holdMs) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    std::printf("changed=%d\nscreen_width=%d\nscreen_height=%d\n",
                result == DISP_CHANGE_SUCCESSFUL ? 1 : 0, GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    std::fflush(stdout);
    Sleep(holdMs);
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

int FullScreenPopup(HWND clock, DWORD holdMs) {
    MONITORINFO m{};
    m.cbSize = sizeof(m);
    GetMonitorInfoW(MonitorFromWindow(clock, MONITOR_DEFAULTTONEAREST), &m);
    const RECT& r = m.rcMonitor;
    HWND popup =
        CreateWindowExW(0, L"Static", nullptr, WS_POPUP | WS_VISIBLE, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(popup);
    long aside = -1;
    int shownAfter = 0, lostFront = 0;
    for (DWORD start = GetTickCount(), now = start; now - start < holdMs; now = GetTickCount()) {
        aside = aside < 0 && !IsWindowVisible(clock) ? static_cast<long>(now - start) : aside;
        shownAfter += aside >= 0 && IsWindowVisible(clock) ? 1 : 0;
        lostFront += GetForegroundWindow() != popup ? 1 : 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            DispatchMessageW(&msg);
        }
    }
    DestroyWindow(popup);
    const DWORD closed = GetTickCount();
    const bool back = WaitFor(FindShownClock, 3000) != nullptr;
    std::printf("aside_ms=%ld\nshown_after=%d\nlost_front=%d\nback_ms=%ld\n", aside, shownAfter,
                lostFront, back ? static_cast<long>(GetTickCount() - closed) : -1L);
    return 0;
}

DWORD Number(const wchar_t* text) {
    return static_cast<DWORD>(std::wcstoul(text, nullptr, 10));
}

// ---- The installed clock (probe installed, leftovers, screenshot) ----

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Vintrel";
constexpr wchar_t kProgramName[] = L"Vintrel.exe";

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

// Where the installer puts the program and its Start-menu shortcut (per user).
std::wstring InstallFolder() {
    return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Vintrel";
}

std::wstring Shortcut() {
    return KnownFolder(FOLDERID_Programs) + L"\\Vintrel.lnk";
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The Run value's data without the quotes around a path with spaces; false when there is none.
bool RunValue(std::wstring& command) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    command = data;
    if (command.size() >= 2 && command.front() == L'"' && command.back() == L'"') {
        command = command.substr(1, command.size() - 2);
    }
    return true;
}

int CountClockProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        count += SamePath(entry.szExeFile, kProgramName) ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

// What `probe installed` looks at, as it stands now.
struct InstalledClock {
    int clocks = 0;
    std::wstring program;
    bool installed = false;
    bool topmost = false;
    int regionType = ERROR;
    bool shaped = false;
    bool tray = false;
    std::wstring run;
    bool runs = false;

    explicit InstalledClock(HWND clock) {
        EnumWindows(CountClock, reinterpret_cast<LPARAM>(&clocks));
        DWORD pid = 0;
        GetWindowThreadProcessId(clock, &pid);
        program = ProcessImage(pid);
        installed = SamePath(program, InstallFolder() + L"\\" + kProgramName);
        topmost = (GetWindowLongPtrW(clock, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        regionType = GetWindowRgn(clock, region);
        RECT box{};
        GetRgnBox(region, &box);
        DeleteObject(region);
        shaped = (regionType == SIMPLEREGION || regionType == COMPLEXREGION) && !IsRectEmpty(&box);
        tray = TrayIconShown(clock);
        runs = RunValue(run) && SamePath(run, program);
    }

    bool Good() const { return clocks == 1 && installed && topmost && shaped && tray && runs; }
};

// Waits until the clock shows and all holds (it adds its icon and Run value as it starts).
int Installed(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HWND clock = WaitFor(FindShownClock, timeoutMs);
    if (!clock) {
        std::printf("found=0\n");
        return 1;
    }
    InstalledClock seen(clock);
    while (!seen.Good() && GetTickCount() - start < timeoutMs) {
        Sleep(kPollMs);
        seen = InstalledClock(clock);
    }
    std::printf("found=1\nclocks=%d\ninstalled_program=%d\ntopmost=%d\nregion_type=%d\n"
                "region_nonempty=%d\ntray=%d\nrun_value_starts_it=%d\n",
                seen.clocks, seen.installed ? 1 : 0, seen.topmost ? 1 : 0, seen.regionType,
                seen.shaped ? 1 : 0, seen.tray ? 1 : 0, seen.runs ? 1 : 0);
    std::printf("# program: %ls\n# Run value: %ls\n", seen.program.c_str(), seen.run.c_str());
    return seen.Good() ? 0 : 1;
}

int Leftovers(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        int windows = 0;
        EnumWindows(CountClock, reinterpret_cast<LPARAM>(&windows));
        const int processes = CountClockProcesses();
        std::wstring run;
        const bool runValue = RunValue(run);
        const bool folder = Exists(InstallFolder());
        const bool shortcut = Exists(Shortcut());
        const bool clean = windows == 0 && processes == 0 && !runValue && !folder && !shortcut;
        if (clean || GetTickCount() - start >= timeoutMs) {
            std::printf("clock_windows=%d\nclock_processes=%d\nrun_value=%d\ninstall_folder=%d\n"
                        "shortcut=%d\nclean=%d\n",
                        windows, processes, runValue ? 1 : 0, folder ? 1 : 0, shortcut ? 1 : 0,
                        clean ? 1 : 0);
            std::printf("# install folder: %ls\n# shortcut: %ls\n", InstallFolder().c_str(),
                        Shortcut().c_str());
            return clean ? 0 : 1;
        }
        Sleep(kPollMs);
    }
}

int Screenshot(const wchar_t* file) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    bool captured = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        captured = BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        SelectObject(memory, old);
    }
    const DWORD size = static_cast<DWORD>((width * 3 + 3) & ~3) * static_cast<DWORD>(height);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
    fileHeader.bfSize = fileHeader.bfOffBits + size;
    FILE* out = captured ? _wfopen(file, L"wb") : nullptr;
    bool written = out && std::fwrite(&fileHeader, sizeof(fileHeader), 1, out) == 1 &&
                   std::fwrite(&header, sizeof(header), 1, out) == 1 &&
                   std::fwrite(bits, size, 1, out) == 1;
    if (out) {
        written = std::fclose(out) == 0 && written;
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::printf("screenshot=%d\nwidth=%d\nheight=%d\n", written ? 1 : 0, width, height);
    return written ? 0 : 1;
}

// Wine closes a desktop, and ends its shell, a second after the last program on it has gone:
// a test program starting then can find no desktop. A test run keeps this one on it.
int Session(DWORD timeoutMs) {
    const bool shell = WaitFor([] { return FindWindowW(L"Shell_TrayWnd", nullptr); }, timeoutMs);
    std::printf("session=%d\n", shell ? 1 : 0);
    std::fflush(stdout);
    if (!shell)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: probe info|wait MS|gone MS|close [MS]|move X Y W H|minimize|tray HWND|popup MS|"
        "window TITLE MS|control TITLE ID|closewindow TITLE|place TITLE X Y|"
        "stall WAIT_MS WATCH_MS|typing TITLE|mode W H MS|fullscreen MS|installed MS|"
        "leftovers MS|screenshot FILE|session MS\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        return Usage();
    }
    const wchar_t* command = argv[1];
    int result = 2;
    if (wcscmp(command, L"info") == 0) {
        result = PrintClock(FindClock());
    } else if (wcscmp(command, L"wait") == 0 && argc == 3) {
        result = PrintClock(WaitFor(FindShownClock, Number(argv[2])));
    } else if (wcscmp(command, L"gone") == 0 && argc == 3) {
        result = Gone(Number(argv[2]));
    } else if (wcscmp(command, L"close") == 0 && argc == 2) {
        result = Post(FindClock(), WM_CLOSE, 0);
    } else if (wcscmp(command, L"close") == 0 && argc == 3) {
        result = CloseAndWait(FindClock(), Number(argv[2]));
    } else if (wcscmp(command, L"move") == 0 && argc == 6) {
        result = Move(FindClock(), _wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]));
    } else if (wcscmp(command, L"minimize") == 0 && argc == 2) {
        result = Post(FindClock(), WM_SYSCOMMAND, SC_MINIMIZE);
    } else if (wcscmp(command, L"tray") == 0 && argc == 3) {
        result =
            Tray(reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10))));
    } else if (wcscmp(command, L"popup") == 0 && argc == 3) {
        result = Popup(Number(argv[2]));
    } else if (wcscmp(command, L"window") == 0 && argc == 4) {
        result = Window(argv[2], Number(argv[3]));
    } else if (wcscmp(command, L"control") == 0 && argc == 4) {
        result = Control(argv[2], static_cast<int>(Number(argv[3])));
    } else if (wcscmp(command, L"place") == 0 && argc == 5) {
        result = Place(FindWindowW(nullptr, argv[2]), _wtoi(argv[3]), _wtoi(argv[4]));
    } else if (wcscmp(command, L"stall") == 0 && argc == 4) {
        result = Stall(FindClock(), Number(argv[2]), Number(argv[3]));
    } else if (wcscmp(command, L"typing") == 0 && argc == 3) {
        result = Typing(argv[2]);
    } else if (wcscmp(command, L"mode") == 0 && argc == 5) {
        result = Mode(_wtoi(argv[2]), _wtoi(argv[3]), Number(argv[4]));
    } else if (wcscmp(command, L"fullscreen") == 0 && argc == 3) {
        result = FullScreenPopup(FindShownClock(), Number(argv[2]));
    } else if (wcscmp(command, L"closewindow") == 0 && argc == 3) {
        result = Post(FindWindowW(nullptr, argv[2]), WM_CLOSE, 0);
    } else if (wcscmp(command, L"installed") == 0 && argc == 3) {
        result = Installed(Number(argv[2]));
    } else if (wcscmp(command, L"leftovers") == 0 && argc == 3) {
        result = Leftovers(Number(argv[2]));
    } else if (wcscmp(command, L"screenshot") == 0 && argc == 3) {
        result = Screenshot(argv[2]);
    } else if (wcscmp(command, L"session") == 0 && argc == 3) {
        result = Session(Number(argv[2]));
    } else {
        return Usage();
    }
    std::fflush(stdout);
    return result;
}
