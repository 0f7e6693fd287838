#include "ClockFixture.h"

#include "res/resource.h"

namespace {

struct DialogState {
    bool both = false;
    bool gmtOnly = false;
    bool localOnly = false;
    bool suffix = false;
};

DialogState ReadState(HWND dialog) {
    return {ModalDriver::IsChecked(dialog, IDC_SHOW_BOTH),
            ModalDriver::IsChecked(dialog, IDC_SHOW_GMT),
            ModalDriver::IsChecked(dialog, IDC_SHOW_LOCAL),
            ModalDriver::IsChecked(dialog, IDC_ADD_SUFFIX)};
}

RegValue Stored(const wchar_t* name) {
    return TestKeys::Read(TestKeys::kSettings, name);
}

void Store(const wchar_t* name, DWORD value) {
    TestKeys::WriteDword(TestKeys::kSettings, name, value);
}

} // namespace

class PropertiesDialog : public ClockFixture {
protected:
    // Opens the dialog through "Options...", reads its buttons, clicks the given ones in
    // order and ends it with the last one.
    DialogState Run(std::initializer_list<int> clicks) {
        DialogState state;
        std::vector<int> buttons(clicks);
        Command(IDM_OPTIONS, [&](ModalDriver& driver) {
            HWND dialog = driver.WaitFor(kPropertiesTitle);
            ASSERT_NE(nullptr, dialog);
            state = ReadState(dialog);
            for (size_t i = 0; i + 1 < buttons.size(); ++i) {
                ModalDriver::Click(dialog, buttons[i]);
            }
            EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, buttons.back()));
        });
        return state;
    }
};

TEST_F(PropertiesDialog, ShowsTheStoredChoicesAndDefaultsWhenNothingIsStored) {
    CreateClock();
    DialogState fresh = Run({IDCANCEL});
    EXPECT_TRUE(fresh.both);
    EXPECT_FALSE(fresh.gmtOnly);
    EXPECT_FALSE(fresh.localOnly);
    EXPECT_TRUE(fresh.suffix);
    EXPECT_FALSE(Stored(L"DISPLAYTYPE").exists) << "Cancel stores nothing";
    EXPECT_FALSE(Stored(L"DISPLAYSTRINGS").exists) << "Cancel stores nothing";

    Store(L"DISPLAYTYPE", DisplayGmtOnly);
    Store(L"DISPLAYSTRINGS", 0);
    DialogState gmt = Run({IDCANCEL});
    EXPECT_TRUE(!gmt.both && gmt.gmtOnly && !gmt.localOnly && !gmt.suffix);

    Store(L"DISPLAYTYPE", DisplayLocalOnly);
    Store(L"DISPLAYSTRINGS", 5);
    DialogState local = Run({IDCANCEL});
    EXPECT_TRUE(!local.both && !local.gmtOnly && local.localOnly && local.suffix);
}

TEST_F(PropertiesDialog, UnknownDisplayTypeChecksNoRadioAndOkKeepsIt) {
    Store(L"DISPLAYTYPE", 7);
    CreateClock();
    DialogState state = Run({IDOK});
    EXPECT_FALSE(state.both || state.gmtOnly || state.localOnly);
    EXPECT_EQ(7u, Stored(L"DISPLAYTYPE").AsDword());
    RegValue strings = Stored(L"DISPLAYSTRINGS");
    ASSERT_TRUE(strings.exists) << "OK always stores the suffix choice";
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), strings.type);
    EXPECT_EQ(1u, strings.AsDword());
}

TEST_F(PropertiesDialog, OkStoresTheSuffixBox) {
    CreateClock();
    Store(L"DISPLAYSTRINGS", 1);
    Run({IDC_ADD_SUFFIX, IDOK});
    EXPECT_EQ(0u, Stored(L"DISPLAYSTRINGS").AsDword());

    Run({IDC_ADD_SUFFIX, IDOK});
    EXPECT_EQ(1u, Stored(L"DISPLAYSTRINGS").AsDword());

    Run({IDOK});
    EXPECT_EQ(1u, Stored(L"DISPLAYSTRINGS").AsDword());
}

TEST_F(PropertiesDialog, OkStoresTheChosenDisplayType) {
    CreateClock();
    const struct {
        int radio;
        DWORD type;
    } choices[] = {{IDC_SHOW_GMT, DisplayGmtOnly},
                   {IDC_SHOW_LOCAL, DisplayLocalOnly},
                   {IDC_SHOW_BOTH, DisplayBoth}};
    for (const auto& choice : choices) {
        Store(L"DISPLAYTYPE", (choice.type + 1) % 3);
        Run({choice.radio, IDOK});
        EXPECT_EQ(choice.type, Stored(L"DISPLAYTYPE").AsDword()) << "radio " << choice.radio;
    }
}

TEST_F(PropertiesDialog, RadioButtonsExcludeOneAnother) {
    CreateClock();
    DialogState state;
    Command(IDM_OPTIONS, [&](ModalDriver& driver) {
        HWND dialog = driver.WaitFor(kPropertiesTitle);
        ASSERT_NE(nullptr, dialog);
        ModalDriver::Click(dialog, IDC_SHOW_LOCAL);
        ModalDriver::Click(dialog, IDC_SHOW_GMT);
        state = ReadState(dialog);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    EXPECT_TRUE(!state.both && state.gmtOnly && !state.localOnly);
    EXPECT_FALSE(Stored(L"DISPLAYTYPE").exists) << "Cancel stores nothing";
}
