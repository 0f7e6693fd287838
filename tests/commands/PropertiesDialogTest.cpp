#include "res/resource.h"
#include "tests/support/ClockFixture.h"

using namespace ClockTest;
using namespace TestRegistry;

namespace {

struct DialogState {
    bool both = false;
    bool gmtOnly = false;
    bool localOnly = false;
    bool suffix = false;
    bool stepAside = false;
};

DialogState ReadState(HWND dialog) {
    return {ModalDriver::IsChecked(dialog, IDC_SHOW_BOTH),
            ModalDriver::IsChecked(dialog, IDC_SHOW_GMT),
            ModalDriver::IsChecked(dialog, IDC_SHOW_LOCAL),
            ModalDriver::IsChecked(dialog, IDC_ADD_SUFFIX),
            ModalDriver::IsChecked(dialog, IDC_STEP_ASIDE)};
}

} // namespace

class PropertiesDialog : public ClockFixture {
protected:
    // Opens the dialog through "Options...", reads its buttons, clicks the given ones in
    // order and ends it with the last one.
    DialogState Run(std::initializer_list<int> clicks) {
        DialogState state;
        std::vector<int> buttons(clicks);
        WithProperties([&](ModalDriver&, HWND dialog) {
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
    Start();
    DialogState fresh = Run({IDCANCEL});
    EXPECT_TRUE(fresh.both);
    EXPECT_FALSE(fresh.gmtOnly);
    EXPECT_FALSE(fresh.localOnly);
    EXPECT_TRUE(fresh.suffix);
    EXPECT_TRUE(fresh.stepAside);
    EXPECT_FALSE(Setting(L"DISPLAYTYPE").Exists()) << "Cancel stores nothing";
    EXPECT_FALSE(Setting(L"DISPLAYSTRINGS").Exists()) << "Cancel stores nothing";

    StoreSetting(L"DISPLAYTYPE", DisplayGmtOnly);
    StoreSetting(L"DISPLAYSTRINGS", 0);
    DialogState gmt = Run({IDCANCEL});
    EXPECT_TRUE(!gmt.both && gmt.gmtOnly && !gmt.localOnly && !gmt.suffix);

    StoreSetting(L"DISPLAYTYPE", DisplayLocalOnly);
    StoreSetting(L"DISPLAYSTRINGS", 5);
    const WORD shortZero = 0;
    StoreSetting(L"STEPASIDE", &shortZero, sizeof(shortZero));
    DialogState local = Run({IDCANCEL});
    EXPECT_TRUE(!local.both && !local.gmtOnly && local.localOnly && local.suffix);
    EXPECT_TRUE(local.stepAside && Setting(L"STEPASIDE").data.size() == 2) << "short reads on";
}

TEST_F(PropertiesDialog, UnknownDisplayTypeChecksNoRadioAndOkKeepsIt) {
    StoreSetting(L"DISPLAYTYPE", 7);
    Start();
    DialogState state = Run({IDOK});
    EXPECT_FALSE(state.both || state.gmtOnly || state.localOnly);
    EXPECT_EQ(7u, Setting(L"DISPLAYTYPE").AsDword());
    StoredValue strings = Setting(L"DISPLAYSTRINGS");
    ASSERT_TRUE(strings.Exists()) << "OK always stores the suffix choice";
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), strings.type);
    EXPECT_EQ(1u, strings.AsDword());
}

TEST_F(PropertiesDialog, OkStoresTheCheckBoxes) {
    Start();
    StoreSetting(L"DISPLAYSTRINGS", 1);
    Run({IDC_ADD_SUFFIX, IDOK});
    EXPECT_EQ(0u, Setting(L"DISPLAYSTRINGS").AsDword());

    Run({IDC_ADD_SUFFIX, IDOK});
    EXPECT_EQ(1u, Setting(L"DISPLAYSTRINGS").AsDword());

    Run({IDOK});
    EXPECT_EQ(1u, Setting(L"DISPLAYSTRINGS").AsDword());
    Run({IDC_STEP_ASIDE, IDOK});
    EXPECT_EQ(0u, Setting(L"STEPASIDE").AsDword());
}

TEST_F(PropertiesDialog, OkStoresTheChosenDisplayType) {
    Start();
    const struct {
        int radio;
        DWORD type;
    } choices[] = {{IDC_SHOW_GMT, DisplayGmtOnly},
                   {IDC_SHOW_LOCAL, DisplayLocalOnly},
                   {IDC_SHOW_BOTH, DisplayBoth}};
    for (const auto& choice : choices) {
        StoreSetting(L"DISPLAYTYPE", (choice.type + 1) % 3);
        Run({choice.radio, IDOK});
        EXPECT_EQ(choice.type, Setting(L"DISPLAYTYPE").AsDword()) << "radio " << choice.radio;
    }
}

TEST_F(PropertiesDialog, RadioButtonsExcludeOneAnother) {
    Start();
    DialogState state;
    WithProperties([&](ModalDriver&, HWND dialog) {
        ModalDriver::Click(dialog, IDC_SHOW_LOCAL);
        ModalDriver::Click(dialog, IDC_SHOW_GMT);
        state = ReadState(dialog);
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    EXPECT_TRUE(!state.both && state.gmtOnly && !state.localOnly);
    EXPECT_FALSE(Setting(L"DISPLAYTYPE").Exists()) << "Cancel stores nothing";
}
