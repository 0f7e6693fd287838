#pragma once

// Resource ids shared by the program and the resource script.

// File menu, also the icon group of the window class.
#define IDR_MAINMENU 128
// Icon group of the notification-area icon.
#define IDI_TRAY 108

// Properties dialog and its controls.
#define IDD_PROPERTIES 142
#define IDC_CLOCKCOLOR 1000
#define IDC_FONTS 1001
#define IDC_SHOW_BOTH 1004
#define IDC_SHOW_GMT 1005
#define IDC_SHOW_LOCAL 1006
#define IDC_ADD_SUFFIX 1007
#define IDC_STEP_ASIDE 1008

// File menu commands.
#define IDM_REMOVE_STARTUP 32777
#define IDM_MAKE_TRANSPARENT 32773
#define IDM_OPTIONS 32771
#define IDM_HELP 32774
#define IDM_EXIT 105
