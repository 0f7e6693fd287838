#include "app/ZelDsktp.h"

#include <shellapi.h>

#include "app/DlgProperties.h"
#include "app/HelpAddress.h"
#include "system/SystemLibraries.h"
#include "res/resource.h"
#include "settings/AutoStart.h"

namespace {

constexpr wchar_t kRemoveQuestion[] = L"This Will Remove the Program from startup Folder.\r\n"
                                      L"The Program will NOT Autostart with Windows next time.\r\n"
                                      L"Are You sure?";

} // namespace

// A choice from the File menu.
LRESULT ZelDsktp::OnCommand(UINT id, LPARAM lParam) {
    switch (id) {
    case IDM_EXIT:
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        break;
    case IDM_OPTIONS:
        ShowOptions();
        break;
    case IDM_MAKE_TRANSPARENT:
        m_shaped = TRUE;
        SaveWindowRect();
        break;
    case IDM_HELP:
        OpenHelpPage();
        break;
    case IDM_REMOVE_STARTUP:
        RemoveFromStartup();
        break;
    default:
        break;
    }
    return ZelWnd::OnCommand(id, lParam);
}

void ZelDsktp::ShowOptions() {
    StopTimer();
    {
        DlgProperties dialog(m_hWnd, GetInstance());
        if (dialog.DoModal() == IDOK) {
            LoadSettings();
        }
    }
    StartTimer();
}

void ZelDsktp::OpenHelpPage() {
    using ShellExecuteFunction = decltype(&ShellExecuteW);
    if (const auto shellExecute =
            SystemLibraries::Shell().Function<ShellExecuteFunction>("ShellExecuteW")) {
        shellExecute(nullptr, L"open", HelpAddress::HelpPage().c_str(), nullptr, nullptr,
                     SW_SHOWDEFAULT);
    }
}

void ZelDsktp::RemoveFromStartup() {
    MessageBeep(MB_ICONQUESTION | MB_YESNO);
    if (MessageBoxW(m_hWnd, kRemoveQuestion, L"Vintrel", MB_ICONQUESTION | MB_YESNO) == IDYES) {
        AutoStart().Remove(Settings::kAutoStartName);
    }
}
