#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "app/DlgProperties.h"
#include "res/resource.h"
#include "tests/support/ClockFixture.h"

using namespace ClockTest;
using namespace TestRegistry;

namespace {

// The system choosers as Wine shows them: titles and control ids.
constexpr const wchar_t* kColorTitle = L"Color";
constexpr const wchar_t* kFontTitle = L"Font";
constexpr int kRedEdit = 706;
constexpr int kGreenEdit = 707;
constexpr int kBlueEdit = 708;
constexpr int kFaceCombo = 1136;
// The text of a message box.
constexpr int kMessageBoxText = 0xFFFF;

constexpr COLORREF kDefaultColor = 0x640000;

// Types a colour into the chooser's Red, Green and Blue fields.
void TypeColor(HWND chooser, COLORREF color) {
    ModalDriver::SetText(GetDlgItem(chooser, kRedEdit), std::to_wstring(GetRValue(color)));
    ModalDriver::SetText(GetDlgItem(chooser, kGreenEdit), std::to_wstring(GetGValue(color)));
    ModalDriver::SetText(GetDlgItem(chooser, kBlueEdit), std::to_wstring(GetBValue(color)));
}

// Clicks ClockColor, types the colour and ends the chooser with the given button.
void ChooseColor(ModalDriver& driver, HWND dialog, COLORREF color, int endButton) {
    ModalDriver::ClickToOpen(dialog, IDC_CLOCKCOLOR);
    HWND chooser = driver.WaitFor(kColorTitle);
    ASSERT_NE(nullptr, chooser) << "the colour chooser did not open";
    TypeColor(chooser, color);
    EXPECT_TRUE(ModalDriver::ClickAndWaitGone(chooser, endButton));
}

// Picks a face in the chooser's face list as a click on the list would.
void PickFace(HWND chooser, const wchar_t* face) {
    HWND combo = GetDlgItem(chooser, kFaceCombo);
    LRESULT index = ModalDriver::Ask(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(face));
    ASSERT_NE(CB_ERR, index) << "no face " << std::string(face, face + wcslen(face));
    ModalDriver::Ask(combo, CB_SETCURSEL, index, 0);
    ModalDriver::Ask(chooser, WM_COMMAND, MAKEWPARAM(kFaceCombo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
}

std::vector<BYTE> FontValue(const wchar_t* face, size_t size = sizeof(LOGFONTW)) {
    LOGFONTW font{};
    font.lfHeight = -24;
    font.lfWeight = FW_BOLD;
    wcscpy(font.lfFaceName, face);
    std::vector<BYTE> value(size, 0x41);
    std::memcpy(value.data(), &font, sizeof(font));
    return value;
}

void StoreFont(const std::vector<BYTE>& value) {
    StoreSetting(L"DISPLAYFONT", value.data(), value.size());
}

} // namespace

class Choosers : public ClockFixture {
protected:
    // Opens the font chooser, notes the face it shows, optionally picks another and ends it.
    std::wstring UseFontChooser(const wchar_t* pick, int endButton) {
        std::wstring shown;
        WithProperties([&](ModalDriver& driver, HWND dialog) {
            ModalDriver::ClickToOpen(dialog, IDC_FONTS);
            HWND chooser = driver.WaitFor(kFontTitle);
            ASSERT_NE(nullptr, chooser) << "the font chooser did not open";
            shown = ModalDriver::Text(GetDlgItem(chooser, kFaceCombo));
            if (pick) {
                PickFace(chooser, pick);
            }
            EXPECT_TRUE(ModalDriver::ClickAndWaitGone(chooser, endButton));
            dialog = driver.WaitFor(kPropertiesTitle);
            EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
        });
        return shown;
    }
};

TEST_F(Choosers, ConfirmedColourIsStoredAtOnceAndShowsAfterALaterOk) {
    Start();
    const COLORREF chosen = RGB(12, 34, 56);
    WithProperties([&](ModalDriver& driver, HWND dialog) {
        ChooseColor(driver, dialog, chosen, IDOK);
        dialog = driver.WaitFor(kPropertiesTitle);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    StoredValue color = Setting(L"DISPLAYCOLOR");
    ASSERT_TRUE(color.Exists());
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), color.type);
    EXPECT_EQ(chosen, color.AsDword());
    EXPECT_EQ(kDefaultColor, m_clock->m_color) << "Cancel reloads nothing";

    WithProperties([](ModalDriver&, HWND dialog) {
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDOK));
    });
    EXPECT_EQ(chosen, m_clock->m_color);
}

TEST_F(Choosers, LastConfirmedColourWinsAndACancelledChooserStoresNothing) {
    Start();
    WithProperties([&](ModalDriver& driver, HWND dialog) {
        ChooseColor(driver, dialog, RGB(200, 10, 10), IDOK);
        ChooseColor(driver, driver.WaitFor(kPropertiesTitle), RGB(10, 200, 30), IDOK);
        ChooseColor(driver, driver.WaitFor(kPropertiesTitle), RGB(1, 2, 3), IDCANCEL);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(driver.WaitFor(kPropertiesTitle), IDCANCEL));
    });
    EXPECT_EQ(RGB(10, 200, 30), Setting(L"DISPLAYCOLOR").AsDword());
}

TEST_F(Choosers, FontChooserStartsFromAReadableStoredFont) {
    Start();
    const std::vector<BYTE> stored = FontValue(L"DejaVu Serif");
    StoreFont(stored);
    EXPECT_EQ(L"DejaVu Serif", UseFontChooser(nullptr, IDCANCEL));
    StoredValue after = Setting(L"DISPLAYFONT");
    EXPECT_EQ(stored, after.data) << "a cancelled font chooser stores nothing";
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), after.type);
}

TEST_F(Choosers, FontChooserGetsAnEndlessStoredFaceCutShort) {
    Start();
    std::vector<BYTE> endless = FontValue(L"");
    LOGFONTW* font = reinterpret_cast<LOGFONTW*>(endless.data());
    std::fill(std::begin(font->lfFaceName), std::end(font->lfFaceName), L'A');
    StoreFont(endless);
    UseFontChooser(nullptr, IDCANCEL);
    // The chooser writes the face it falls back on, ending within the field, over the start.
    EXPECT_EQ(L'\0', DlgProperties::s_chosenFont.lfFaceName[LF_FACESIZE - 1])
        << "the face reached the chooser without an end";
    EXPECT_EQ(endless, Setting(L"DISPLAYFONT").data) << "the stored value is left as it is";
}

TEST_F(Choosers, FontChooserIgnoresItsBufferWhenNoFontCanBeRead) {
    Start();
    // The buffer keeps this face from the first use.
    StoreFont(FontValue(L"DejaVu Serif"));
    ASSERT_EQ(L"DejaVu Serif", UseFontChooser(nullptr, IDCANCEL));

    const std::vector<BYTE> tooLong = FontValue(L"Liberation Serif", 100);
    StoreFont(tooLong);
    std::wstring shown = UseFontChooser(nullptr, IDCANCEL);
    EXPECT_NE(L"DejaVu Serif", shown);
    EXPECT_NE(L"Liberation Serif", shown);
    EXPECT_EQ(tooLong, Setting(L"DISPLAYFONT").data);

    RemoveSetting(L"DISPLAYFONT");
    shown = UseFontChooser(nullptr, IDCANCEL);
    EXPECT_NE(L"DejaVu Serif", shown);
    EXPECT_FALSE(Setting(L"DISPLAYFONT").Exists());
}

TEST_F(Choosers, ConfirmedFontReplacesTheStoredValueWithAWholeFontRecord) {
    Start();
    StoreFont(FontValue(L"DejaVu Serif", 100));
    UseFontChooser(L"Liberation Mono", IDOK);
    StoredValue stored = Setting(L"DISPLAYFONT");
    ASSERT_TRUE(stored.Exists());
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    ASSERT_EQ(sizeof(LOGFONTW), stored.data.size());
    LOGFONTW font;
    std::memcpy(&font, stored.data.data(), sizeof(font));
    EXPECT_STREQ(L"Liberation Mono", font.lfFaceName);
    EXPECT_NE(0, font.lfHeight) << "the whole record is stored, not only the face";
    EXPECT_EQ(0, std::memcmp(&font, &DlgProperties::s_chosenFont, sizeof(font)));
    EXPECT_STRNE(L"Liberation Mono", m_clock->m_faceName) << "Cancel reloads nothing";
}

// Runs where Wine is told not to load comdlg32 (the ctest entry commands_choosers_missing).
TEST_F(Choosers, ChoosersThatCannotBeLoadedShowAWarningAndStoreNothing) {
    if (HMODULE library = LoadLibraryW(L"comdlg32.dll")) {
        FreeLibrary(library);
        GTEST_SKIP() << "comdlg32 loads here";
    }
    Start();
    WithProperties([&](ModalDriver& driver, HWND dialog) {
        for (int button : {IDC_CLOCKCOLOR, IDC_FONTS}) {
            ModalDriver::ClickToOpen(dialog, button);
            HWND box = driver.WaitFor(L"Vintrel");
            ASSERT_NE(nullptr, box) << "no warning for button " << button;
            const std::wstring text = ModalDriver::Text(GetDlgItem(box, kMessageBoxText));
            EXPECT_NE(std::wstring::npos, text.find(L"comdlg32.dll"));
            EXPECT_TRUE(ModalDriver::ClickAndWaitGone(box, IDOK));
        }
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(driver.WaitFor(kPropertiesTitle), IDCANCEL));
    });
    EXPECT_FALSE(Setting(L"DISPLAYCOLOR").Exists());
    EXPECT_FALSE(Setting(L"DISPLAYFONT").Exists());
}
