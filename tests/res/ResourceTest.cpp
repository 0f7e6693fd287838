#include <windows.h>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

struct MenuEntry {
    const wchar_t* text; // nullptr for a separator
    UINT id;
};

struct ControlEntry {
    int id;
    const wchar_t* text;
    LONG style;
    RECT rect; // dialog units: x, y, cx, cy as in the template
};

const MenuEntry kFileMenu[] = {
    {L"Remove from Startup", IDM_REMOVE_STARTUP},
    {L"Make Transparent", IDM_MAKE_TRANSPARENT},
    {nullptr, 0},
    {L"Options...", IDM_OPTIONS},
    {nullptr, 0},
    {L"Help", IDM_HELP},
    {L"E&xit", IDM_EXIT},
};

const ControlEntry kControls[] = {
    {IDC_CLOCKCOLOR, L"ClockColor", 0x50010000, {21, 12, 50, 14}},
    {IDC_FONTS, L"Fonts", 0x50010000, {21, 34, 50, 14}},
    {IDC_SHOW_BOTH, L"Show GMT and Local Time", 0x50000009, {117, 12, 98, 10}},
    {IDC_SHOW_GMT, L"Show GMT only", 0x50000009, {117, 26, 65, 10}},
    {IDC_SHOW_LOCAL, L"Show Local Only", 0x50000009, {117, 40, 68, 10}},
    {IDOK, L"OK", 0x50010001, {254, 7, 50, 14}},
    {IDCANCEL, L"Cancel", 0x50010000, {254, 24, 50, 14}},
    {IDC_ADD_SUFFIX, L"Add at the End of time LOC or GMT", 0x50010003, {117, 62, 128, 10}},
    {IDC_STEP_ASIDE, L"Step aside for full-screen programs", 0x50010003, {117, 76, 160, 10}},
};

struct ManifestSetting {
    const wchar_t* nameSpace;
    const wchar_t* name;
    const wchar_t* value;
};

// Per-monitor v2 where Windows 10 knows it, per-monitor on older builds and on Windows 8.1.
const ManifestSetting kManifestSettings[] = {
    {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
     L"PerMonitorV2, PerMonitor"},
    {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
};

std::wstring WindowText(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

struct MenuItem {
    UINT type;
    UINT state;
    UINT id;
    std::wstring text;
};

MenuItem ReadMenuItem(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 64;
    EXPECT_TRUE(GetMenuItemInfoW(menu, position, TRUE, &info));
    return {info.fType, info.fState, info.wID, text};
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The dialog as the user sees it: created from the template of this module, hidden until
// the test shows it, destroyed at the end.
class PropertiesTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROPERTIES),
                                      nullptr, PlainDialogProc, 0);
        ASSERT_NE(nullptr, m_dialog);
    }
    void TearDown() override {
        if (m_dialog)
            DestroyWindow(m_dialog);
    }
    // Position and size are converted apart, as the dialog manager does.
    RECT ToPixels(RECT units) const {
        MapDialogRect(m_dialog, &units);
        return {units.left, units.top, units.left + units.right, units.top + units.bottom};
    }
    HWND m_dialog = nullptr;
};

} // namespace

TEST(FileMenu, HoldsOnePopupWithTheCommandsInOrder) {
    HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU));
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(1, GetMenuItemCount(bar));
    EXPECT_EQ(L"&File", ReadMenuItem(bar, 0).text);
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(static_cast<int>(std::size(kFileMenu)), GetMenuItemCount(file));
    for (UINT i = 0; i < std::size(kFileMenu); ++i) {
        SCOPED_TRACE(i);
        MenuItem item = ReadMenuItem(file, i);
        if (kFileMenu[i].text == nullptr) {
            EXPECT_EQ(static_cast<UINT>(MFT_SEPARATOR), item.type & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(static_cast<UINT>(MFT_STRING), item.type);
        EXPECT_EQ(0u, item.state & (MFS_DISABLED | MFS_CHECKED));
        EXPECT_EQ(kFileMenu[i].text, item.text);
        EXPECT_EQ(kFileMenu[i].id, item.id);
    }
    DestroyMenu(bar);
}

// As the system reads them from the manifest of the process's executable.
TEST(Manifest, DeclaresPerMonitorDpiAwareness) {
    for (const ManifestSetting& setting : kManifestSettings) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(setting.name)));
        wchar_t value[64] = {};
        SIZE_T written = 0;
        EXPECT_TRUE(QueryActCtxSettingsW(0, nullptr, setting.nameSpace, setting.name, value,
                                         std::size(value), &written));
        EXPECT_EQ(std::wstring(setting.value), value);
    }
}

TEST_F(PropertiesTemplate, HasItsTitleFrameAndSize) {
    EXPECT_EQ(L"Vintrel (Properties)", WindowText(m_dialog));
    LONG_PTR style = GetWindowLongPtrW(m_dialog, GWL_STYLE);
    EXPECT_EQ(WS_POPUP | WS_CAPTION | WS_SYSMENU, style & (WS_POPUP | WS_CAPTION | WS_SYSMENU));
    RECT client = {};
    GetClientRect(m_dialog, &client);
    RECT expected = ToPixels({0, 0, 311, 90});
    EXPECT_EQ(expected.right, client.right);
    EXPECT_EQ(expected.bottom, client.bottom);
}

TEST_F(PropertiesTemplate, CreatesTheButtonsInTabOrder) {
    HWND child = GetWindow(m_dialog, GW_CHILD);
    for (const ControlEntry& want : kControls) {
        SCOPED_TRACE(want.id);
        ASSERT_NE(nullptr, child);
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        EXPECT_EQ(0, lstrcmpiW(L"Button", className));
        EXPECT_EQ(want.id, GetDlgCtrlID(child));
        EXPECT_EQ(want.text, WindowText(child));
        EXPECT_EQ(want.style, static_cast<LONG>(GetWindowLongPtrW(child, GWL_STYLE)));
        EXPECT_EQ(0, GetWindowLongPtrW(child, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY);
        RECT place = {};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&place), 2);
        RECT expected = ToPixels(want.rect);
        EXPECT_EQ(expected.left, place.left);
        EXPECT_EQ(expected.top, place.top);
        EXPECT_EQ(expected.right, place.right);
        EXPECT_EQ(expected.bottom, place.bottom);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child);
}

TEST_F(PropertiesTemplate, TabSkipsTheRadioButtons) {
    std::vector<int> visited;
    HWND item = GetDlgItem(m_dialog, IDC_CLOCKCOLOR);
    for (int i = 0; i < 7 && item; ++i) {
        visited.push_back(GetDlgCtrlID(item));
        item = GetNextDlgTabItem(m_dialog, item, FALSE);
    }
    EXPECT_EQ((std::vector<int>{IDC_CLOCKCOLOR, IDC_FONTS, IDOK, IDCANCEL, IDC_ADD_SUFFIX,
                                IDC_STEP_ASIDE, IDC_CLOCKCOLOR}),
              visited);
}

TEST_F(PropertiesTemplate, RadioButtonsFormOneGroup) {
    ShowWindow(m_dialog, SW_SHOW);
    const int radios[] = {IDC_SHOW_BOTH, IDC_SHOW_GMT, IDC_SHOW_LOCAL};
    for (int clicked : radios) {
        SCOPED_TRACE(clicked);
        SendDlgItemMessageW(m_dialog, clicked, BM_CLICK, 0, 0);
        for (int radio : radios)
            EXPECT_EQ(radio == clicked ? BST_CHECKED : BST_UNCHECKED,
                      IsDlgButtonChecked(m_dialog, radio));
    }
}
