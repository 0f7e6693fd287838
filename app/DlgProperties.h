#pragma once

#include <windows.h>

#include "framework/ZelDialog.h"

// The Properties dialog: colour, font face, which times and their suffix.
class DlgProperties : public ZEL_CLASS::ZelDialog {
public:
    DlgProperties(HWND parent, HINSTANCE instance);
    ~DlgProperties() override;

    LRESULT OnCommand(UINT id, LPARAM control) override;
    LRESULT OnInitDialog() override;
    LRESULT OnOK() override;

    void OnClockColor();
    void OnFonts();

    // The font chooser's buffer, kept from one use to the next.
    static LOGFONTW s_chosenFont;
};
