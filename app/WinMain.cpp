#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include "app/ZelDsktp.h"
#include "res/resource.h"
#include "settings/AutoStart.h"
#include "settings/SettingsNames.h"

// MinGW-w64's <werapi.h> does not compile; this is the one function the program needs.
extern "C" HRESULT WINAPI WerAddExcludedApplication(PCWSTR exeName, BOOL allUsers);

namespace {

constexpr DWORD kAllCommonControls = 0xFF;
// The program ends with this after the error box: a failed start is not a success.
constexpr int kFailedExitCode = 1;

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WerAddExcludedApplication(L"Vintrel.exe", FALSE);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = kAllCommonControls;
    ZelDsktp* clock = nullptr;
    AutoStart autoStart;
    MSG msg;

    try {
        InitCommonControlsEx(&controls);
        Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
        clock = new ZelDsktp();
        clock->RegisterAndCreate(nullptr, instance, L"Vintrel", IDR_MAINMENU, L"vintrel");
        ShowWindow(clock->m_hWnd, SW_SHOW);
        autoStart.Add(Settings::kAutoStartName);
        for (;;) {
            BOOL result = GetMessageW(&msg, nullptr, 0, 0);
            if (result == 0) {
                break;
            }
            if (result == -1) {
                return -1;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        delete clock;
        Gdiplus::GdiplusShutdown(gdiplusToken);
        return 0;
    } catch (...) {
        MessageBoxW(nullptr, L"Vintrel Error", L"Vintrel", MB_ICONWARNING);
        delete clock;
        Gdiplus::GdiplusShutdown(gdiplusToken);
        return kFailedExitCode;
    }
}
