#include "app/DlgProperties.h"

#include <commdlg.h>

#include "system/SystemLibraries.h"
#include "res/resource.h"
#include "settings/ClockSettings.h"
#include "settings/SettingsNames.h"

#if !defined(_WIN64)
static_assert(sizeof(CHOOSECOLORW) == 36, "the colour chooser record of the 32-bit program");
static_assert(sizeof(CHOOSEFONTW) == 60, "the font chooser record of the 32-bit program");
#endif

LOGFONTW DlgProperties::s_chosenFont{};

namespace {

constexpr wchar_t kChoosersMissing[] =
    L"This chooser cannot be opened: Windows could not load comdlg32.dll, "
    L"which Vintrel needs to choose colours and fonts.";

// Runs a chooser from comdlg32; tells the user and returns FALSE when it cannot be loaded.
template <typename Record> BOOL RunChooser(HWND owner, const char* name, Record* record) {
    using Chooser = BOOL(WINAPI*)(Record*);
    const Chooser chooser = SystemLibraries::CommonDialogs().Function<Chooser>(name);
    if (chooser == nullptr) {
        MessageBoxW(owner, kChoosersMissing, L"Vintrel", MB_ICONWARNING | MB_OK);
        return FALSE;
    }
    return chooser(record);
}

} // namespace

DlgProperties::DlgProperties(HWND parent, HINSTANCE instance)
    : ZelDialog(parent, IDD_PROPERTIES, instance) {}

DlgProperties::~DlgProperties() = default;

// The dialog is about to show: put the stored choices on its buttons.
LRESULT DlgProperties::OnInitDialog() {
    SettingsKey settings = ClockSettings();
    DWORD type = settings.ReadDword(Settings::kSection, Settings::kDisplayType, DisplayBoth);
    switch (type) {
    case DisplayBoth:
        CheckRadioButton(m_hWnd, IDC_SHOW_BOTH, IDC_SHOW_LOCAL, IDC_SHOW_BOTH);
        break;
    case DisplayGmtOnly:
        CheckRadioButton(m_hWnd, IDC_SHOW_BOTH, IDC_SHOW_LOCAL, IDC_SHOW_GMT);
        break;
    case DisplayLocalOnly:
        CheckRadioButton(m_hWnd, IDC_SHOW_BOTH, IDC_SHOW_LOCAL, IDC_SHOW_LOCAL);
        break;
    default:
        break;
    }
    DWORD suffix = settings.ReadDword(Settings::kSection, Settings::kDisplayStrings, 1);
    CheckDlgButton(m_hWnd, IDC_ADD_SUFFIX, suffix ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_STEP_ASIDE, ReadStepAside(settings) ? BST_CHECKED : BST_UNCHECKED);
    return 1;
}

// A button of the dialog was pressed.
LRESULT DlgProperties::OnCommand(UINT id, LPARAM control) {
    if (id == IDC_CLOCKCOLOR) {
        OnClockColor();
    } else if (id == IDC_FONTS) {
        OnFonts();
    }
    return ZelDialog::OnCommand(id, control);
}

// OK: store which times are shown, the suffix and stepping aside, then end the dialog.
LRESULT DlgProperties::OnOK() {
    SettingsKey settings = ClockSettings();
    if (IsDlgButtonChecked(m_hWnd, IDC_SHOW_BOTH)) {
        settings.WriteDword(Settings::kSection, Settings::kDisplayType, DisplayBoth);
    }
    if (IsDlgButtonChecked(m_hWnd, IDC_SHOW_GMT)) {
        settings.WriteDword(Settings::kSection, Settings::kDisplayType, DisplayGmtOnly);
    }
    if (IsDlgButtonChecked(m_hWnd, IDC_SHOW_LOCAL)) {
        settings.WriteDword(Settings::kSection, Settings::kDisplayType, DisplayLocalOnly);
    }
    settings.WriteDword(Settings::kSection, Settings::kDisplayStrings,
                        IsDlgButtonChecked(m_hWnd, IDC_ADD_SUFFIX) ? 1 : 0);
    settings.WriteDword(Settings::kSection, Settings::kStepAside,
                        IsDlgButtonChecked(m_hWnd, IDC_STEP_ASIDE) ? 1 : 0);
    return ZelDialog::OnOK();
}

void DlgProperties::OnClockColor() {
    COLORREF customColors[16] = {};
    CHOOSECOLORW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = m_hWnd;
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_FULLOPEN;
    SettingsKey settings = ClockSettings();
    if (RunChooser(m_hWnd, "ChooseColorW", &chooser)) {
        settings.WriteDword(Settings::kSection, Settings::kDisplayColor, chooser.rgbResult);
    }
}

void DlgProperties::OnFonts() {
    CHOOSEFONTW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = m_hWnd;
    chooser.Flags = CF_SCREENFONTS | CF_PRINTERFONTS;
    SettingsKey settings = ClockSettings();
    bool stored = settings.ReadBinary(Settings::kSection, Settings::kDisplayFont, &s_chosenFont,
                                      sizeof(s_chosenFont));
    chooser.lpLogFont = &s_chosenFont;
    if (stored) {
        // A face name that fills its field is cut, so that the chooser finds its end.
        s_chosenFont.lfFaceName[LF_FACESIZE - 1] = L'\0';
        chooser.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (RunChooser(m_hWnd, "ChooseFontW", &chooser)) {
        settings.WriteBinary(Settings::kSection, Settings::kDisplayFont, &s_chosenFont,
                             sizeof(s_chosenFont));
    }
}
