#include "ClockFixture.h"

#include <gdiplus.h>
#include <shellapi.h>

#include <cwchar>
#include <memory>

#include "res/resource.h"

namespace ClockTest {

namespace {

// Every key the program creates, outermost first; the last one holds the values.
const wchar_t* const kChain[] = {
    L"Software\\SOFTWARE",
    L"Software\\SOFTWARE\\ZOREREV",
    L"Software\\SOFTWARE\\ZOREREV\\Vintrel",
    L"Software\\SOFTWARE\\ZOREREV\\Vintrel\\SETTINGS",
};
const wchar_t* const kSettingsPath = kChain[3];
const wchar_t* const kBackupPath = L"Software\\VintrelAppTestAside";

// GDI+ runs for the whole test program, as it does for the whole run of the clock.
class GdiPlusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

[[maybe_unused]] ::testing::Environment* const g_gdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiPlusEnvironment);

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void DeleteTree(const wchar_t* path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path);
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
}

void CopyTree(const wchar_t* from, const wchar_t* to) {
    HKEY target = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                    nullptr);
    RegCopyTreeW(HKEY_CURRENT_USER, from, target);
    RegCloseKey(target);
}

} // namespace

Edges EdgesOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Edges WindowEdges(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return EdgesOf(rect);
}

void StoreBinary(const wchar_t* name, const void* data, DWORD size) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsPath, name, REG_BINARY, data, size);
}

void StoreDword(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsPath, name, REG_DWORD, &value, sizeof(value));
}

void DeleteValue(const wchar_t* name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsPath, name);
}

std::vector<BYTE> StoredValue(const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsPath, name, RRF_RT_ANY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::vector<BYTE> data(size);
    RegGetValueW(HKEY_CURRENT_USER, kSettingsPath, name, RRF_RT_ANY, nullptr, data.data(), &size);
    data.resize(size);
    return data;
}

SettingsAside::SettingsAside() {
    for (const wchar_t* path : kChain) {
        m_chainExisted.push_back(KeyExists(path));
    }
    m_saved = m_chainExisted.back();
    if (m_saved) {
        CopyTree(kSettingsPath, kBackupPath);
    }
    DeleteTree(kSettingsPath);
}

SettingsAside::~SettingsAside() {
    DeleteTree(kSettingsPath);
    if (m_saved) {
        CopyTree(kBackupPath, kSettingsPath);
        DeleteTree(kBackupPath);
    }
    // Keys the clock created on the way, innermost first; each is empty by now.
    for (int i = static_cast<int>(m_chainExisted.size()) - 1; i >= 0; --i) {
        if (!m_chainExisted[i]) {
            RegDeleteKeyW(HKEY_CURRENT_USER, kChain[i]);
        }
    }
}

ZelDsktp* CreateClock() {
    auto clock = std::make_unique<ZelDsktp>();
    clock->RegisterAndCreate(nullptr, GetModuleHandleW(nullptr), L"Vintrel", IDR_MAINMENU,
                             L"vintrel");
    return clock.release();
}

void CloseClock(ZelDsktp*& clock) {
    if (clock == nullptr) {
        return;
    }
    HWND hwnd = clock->m_hWnd;
    if (IsWindow(hwnd)) {
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    if (IsWindow(hwnd)) {
        DeleteTrayIcon(hwnd);
        DestroyWindow(hwnd);
    }
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    delete clock;
    clock = nullptr;
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitForMessage(HWND hwnd, UINT msg, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    MSG found;
    while (GetTickCount64() < end) {
        if (PeekMessageW(&found, hwnd, msg, msg, PM_REMOVE)) {
            return true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}

void Paint(ZelDsktp& clock, BOOL shaped) {
    clock.m_shaped = shaped;
    InvalidateRect(clock.m_hWnd, nullptr, TRUE);
    UpdateWindow(clock.m_hWnd);
}

int WindowRegionBox(HWND hwnd, RECT* box) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int type = GetWindowRgn(hwnd, region);
    *box = RECT{};
    if (type != ERROR) {
        GetRgnBox(region, box);
    }
    DeleteObject(region);
    return type;
}

bool TrayIconPresent(HWND hwnd, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = id;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Vintrel Ver 2005");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void DeleteTrayIcon(HWND hwnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

std::vector<COLORREF> ClientPixels(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC window = GetDC(hwnd);
    BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, window);
    GdiFlush();
    std::vector<COLORREF> pixels;
    const auto* row = static_cast<const DWORD*>(bits);
    for (int i = 0; bits != nullptr && i < width * height; ++i) {
        const DWORD p = row[i];
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

int CreatableRegions() {
    std::vector<HRGN> regions;
    regions.reserve(70000);
    for (int i = 0; i < 100000; ++i) {
        HRGN region = CreateRectRgn(0, 0, 1, 1);
        if (region == nullptr) {
            break;
        }
        regions.push_back(region);
    }
    for (HRGN region : regions) {
        DeleteObject(region);
    }
    return static_cast<int>(regions.size());
}

} // namespace ClockTest
