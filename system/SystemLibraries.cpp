#include "system/SystemLibraries.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using WerAddExcludedApplicationFunction = HRESULT(WINAPI*)(PCWSTR, BOOL);

} // namespace

void SystemLibraries::KeepLoadsInSystemFolder() {
    // kernel32 is in every process already: asking it for a function loads nothing.
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (setDefaultDllDirectories) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

void SystemLibraries::ExcludeFromErrorReporting(const wchar_t* exeName) {
    LazyLibrary wer(L"wer.dll");
    if (const auto exclude =
            wer.Function<WerAddExcludedApplicationFunction>("WerAddExcludedApplication")) {
        exclude(exeName, FALSE);
    }
}

LazyLibrary& SystemLibraries::Shell() {
    static LazyLibrary library(L"shell32.dll");
    return library;
}

LazyLibrary& SystemLibraries::CommonDialogs() {
    static LazyLibrary library(L"comdlg32.dll");
    return library;
}

LazyLibrary& SystemLibraries::GdiPlus() {
    static LazyLibrary library(L"gdiplus.dll");
    return library;
}

LazyLibrary& SystemLibraries::DesktopWindowManager() {
    static LazyLibrary library(L"dwmapi.dll");
    return library;
}
