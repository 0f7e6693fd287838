// A DLL for the planting test: copied under the names of system DLLs beside the clock and into
// its working folder, it leaves "<its own path>.loaded" when any process loads it. Its one
// export, a stand-in that fails, lets a program that imports it from wer.dll start.
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
} // extern "C"
