// A DLL for the planting test: copied under the names of system DLLs beside the clock and into
// its working folder, it leaves "<its own path>.loaded" when any process loads it. It exports
// stand-ins for the functions the clock asks those DLLs for, all of which fail, so that a
// process that took it from the wrong folder still starts.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 8] = {};
        const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatW(path, L".loaded");
            HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (mark != INVALID_HANDLE_VALUE) {
                CloseHandle(mark);
            }
        }
    }
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI WerAddExcludedApplication(const wchar_t*, BOOL) {
    return E_FAIL;
}
__declspec(dllexport) HRESULT WINAPI GetDpiForMonitor(HMONITOR, int, UINT*, UINT*) {
    return E_FAIL;
}
__declspec(dllexport) BOOL WINAPI ChooseColorW(void*) {
    return FALSE;
}
__declspec(dllexport) BOOL WINAPI ChooseFontW(void*) {
    return FALSE;
}

} // extern "C"
