#include <windows.h>
#include <commctrl.h>

#include "system/GdiPlusApi.h"
#include "system/SystemLibraries.h"
#include "app/ZelDsktp.h"
#include "bench/BenchRecorder.h"
#include "bench/BenchSession.h"
#include "res/resource.h"
#include "settings/AutoStart.h"
#include "settings/SettingsNames.h"

namespace {

// The clock itself, telling the recorder about its ticks and the start of its paints.
class StampedClock : public ZelDsktp {
public:
    LRESULT OnTimer(WPARAM timerId) override {
        BenchRecorder::Instance().NoteTick();
        return ZelDsktp::OnTimer(timerId);
    }
    LRESULT OnPaint() override {
        BenchRecorder::Instance().NotePaintStart();
        return ZelDsktp::OnPaint();
    }
};

void CloseAndDrain(HWND hwnd) {
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            break;
        }
        DispatchMessageW(&msg);
    }
}

} // namespace

// Starts as the program does, then runs the measurements on the clock window.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    BenchConfig config;
    if (!ParseBenchConfig(config)) {
        return 2;
    }
    SystemLibraries::KeepLoadsInSystemFolder();
    SystemLibraries::ExcludeFromErrorReporting(L"Vintrel.exe");
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    const GdiPlusApi* gdiPlus = GdiPlusApi::Get();
    if (gdiPlus == nullptr) {
        return 4;
    }
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    gdiPlus->Startup(&gdiplusToken, &gdiplusInput, nullptr);

    int result = 1;
    auto* clock = new StampedClock();
    try {
        clock->RegisterAndCreate(nullptr, instance, L"Vintrel", IDR_MAINMENU, L"vintrel");
        ShowWindow(clock->m_hWnd, SW_SHOW);
        AutoStart().Add(Settings::kAutoStartName);
        result = BenchSession(config).Run(clock->m_hWnd) ? 0 : 1;
        CloseAndDrain(clock->m_hWnd);
    } catch (...) {
        result = 3;
    }
    delete clock;
    gdiPlus->Shutdown(gdiplusToken);
    return result;
}
