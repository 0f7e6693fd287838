#include <windows.h>
#include <commctrl.h>

#include "system/GdiPlusApi.h"
#include "system/SystemLibraries.h"
#include "app/ZelDsktp.h"
#include "res/resource.h"
#include "settings/AutoStart.h"
#include "settings/SettingsNames.h"

namespace {

constexpr DWORD kAllCommonControls = 0xFF;
// The program ends with this after the error box: a failed start is not a success.
constexpr int kFailedExitCode = 1;

void StopGdiPlus(const GdiPlusApi* gdiPlus, ULONG_PTR token) {
    if (gdiPlus) {
        gdiPlus->Shutdown(token);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SystemLibraries::KeepLoadsInSystemFolder();
    SystemLibraries::ExcludeFromErrorReporting(L"Vintrel.exe");

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    const GdiPlusApi* gdiPlus = nullptr;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = kAllCommonControls;
    ZelDsktp* clock = nullptr;
    AutoStart autoStart;
    MSG msg;

    try {
        InitCommonControlsEx(&controls);
        gdiPlus = GdiPlusApi::Get();
        if (gdiPlus) {
            gdiPlus->Startup(&gdiplusToken, &gdiplusInput, nullptr);
        }
        clock = new ZelDsktp();
        clock->RegisterAndCreate(nullptr, instance, L"Vintrel", IDR_MAINMENU, L"vintrel");
        ShowWindow(clock->m_hWnd, SW_SHOWNOACTIVATE);
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
        StopGdiPlus(gdiPlus, gdiplusToken);
        return 0;
    } catch (...) {
        MessageBoxW(nullptr, L"Vintrel Error", L"Vintrel", MB_ICONWARNING);
        delete clock;
        StopGdiPlus(gdiPlus, gdiplusToken);
        return kFailedExitCode;
    }
}
