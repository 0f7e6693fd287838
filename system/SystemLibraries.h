#pragma once

#include <windows.h>

#include "system/LazyLibrary.h"

// The system DLLs the program loads itself, after start, each from the system folder. The
// program imports only DLLs that Windows never takes from the program's folder.
class SystemLibraries {
public:
    // From here on, every DLL loaded into the process, and every DLL those load, comes from the
    // system folder only. Windows 8 and later, and Windows 7 with its loader update, offer this;
    // elsewhere nothing changes.
    static void KeepLoadsInSystemFolder();
    // Asks Windows Error Reporting to leave the program of this file name alone, for the
    // current user only. Where wer.dll or its function is missing nothing happens.
    static void ExcludeFromErrorReporting(const wchar_t* exeName);

    // shell32.dll: the notification-area icon and the help page.
    static LazyLibrary& Shell();
    // comdlg32.dll: the colour and font choosers, loaded when the first one opens.
    static LazyLibrary& CommonDialogs();
    // gdiplus.dll: the digits' outlines.
    static LazyLibrary& GdiPlus();
    // dwmapi.dll: where the desktop window manager draws a window's visible frame.
    static LazyLibrary& DesktopWindowManager();
};
