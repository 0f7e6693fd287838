#include "tests/framework/FrameworkTestIds.h"
#include "tests/framework/Recording.h"
#include "tests/framework/TestUi.h"

namespace {

const wchar_t kDialogTitle[] = L"Framework test dialog";

class DialogTest : public testing::Test {
protected:
    void SetUp() override {
        m_owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100,
                                  100, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(m_owner); }

    // Runs the dialog modally while the driver presses what action presses.
    INT_PTR RunModal(RecordingDialog& dialog, void (*action)(HWND)) {
        ModalDriver driver(kDialogTitle, [this, action](HWND hwnd) {
            m_ok = GetDlgItem(hwnd, IDOK);
            m_cancel = GetDlgItem(hwnd, IDCANCEL);
            action(hwnd);
        });
        INT_PTR result = dialog.DoModal();
        m_shown = driver.Dialog();
        return result;
    }

    // Sends Cancel to a modeless dialog, which deletes it.
    static void CloseModeless(HWND hwnd) { SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0); }

    CallLog m_log;
    HWND m_owner = nullptr;
    HWND m_shown = nullptr;
    HWND m_ok = nullptr;
    HWND m_cancel = nullptr;
};

struct ModalCase {
    const char* name;
    void (*action)(HWND dialog);
    INT_PTR result;
};

void PrintTo(const ModalCase& modalCase, std::ostream* out) {
    *out << modalCase.name;
}

class ModalDialogEnds : public DialogTest, public testing::WithParamInterface<ModalCase> {};

TEST_P(ModalDialogEnds, WithTheButtonsCode) {
    RecordingDialog dialog(m_log, m_owner, IDD_TEST_DIALOG);
    m_log.Watch({{"OnCommand"}, {"OnOK"}, {"OnCancel"}, {"CloseDialog"}});

    EXPECT_EQ(GetParam().result, RunModal(dialog, GetParam().action));

    const bool ok = GetParam().result == IDOK;
    const std::vector<Call> expected =
        ok ? std::vector<Call>{{"OnCommand", IDOK, Handle(m_ok)}, {"OnOK"}, {"CloseDialog", IDOK}}
           : std::vector<Call>{{"OnCommand", IDCANCEL, Handle(m_cancel)},
                               {"OnCancel"},
                               {"CloseDialog", IDCANCEL}};
    EXPECT_TRUE(LogIs(m_log, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, ModalDialogEnds,
    testing::Values(
        ModalCase{"OkClick", [](HWND d) { PostClick(GetDlgItem(d, IDOK)); }, IDOK},
        ModalCase{"Enter", [](HWND d) { PostKey(d, VK_RETURN); }, IDOK},
        ModalCase{"Esc", [](HWND d) { PostKey(d, VK_ESCAPE); }, IDCANCEL},
        ModalCase{"CancelClick", [](HWND d) { PostClick(GetDlgItem(d, IDCANCEL)); }, IDCANCEL},
        ModalCase{"CloseBox", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
                  IDCANCEL}),
    [](const testing::TestParamInfo<ModalCase>& info) { return std::string(info.param.name); });

TEST_F(DialogTest, EndedModalDialogKeepsItsOldHandle) {
    RecordingDialog dialog(m_log, m_owner, IDD_TEST_DIALOG);
    m_log.Watch({{"OnInitDialog"}, {"WindowProc", WM_SETFONT}, {"OnDestroy"}, {"OnNcDestroy"}});

    RunModal(dialog, [](HWND d) { PostClick(GetDlgItem(d, IDOK)); });

    EXPECT_TRUE(LogIs(m_log, {{"OnInitDialog", 1}, {"OnDestroy"}}));
    EXPECT_NE(nullptr, m_shown);
    EXPECT_EQ(m_shown, dialog.m_hWnd);
    EXPECT_FALSE(IsWindow(dialog.m_hWnd));
}

TEST_F(DialogTest, MessageBeforeInitDialogGetsFalse) {
    HWND unbound =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));

    EXPECT_EQ(FALSE, ZEL_CLASS::StaticDlgProc(unbound, WM_SETFONT, font, 0));

    DestroyWindow(unbound);
}

TEST_F(DialogTest, UnknownCommandGoesToTheDialogManager) {
    auto* dialog = new RecordingDialog(m_log, m_owner, IDD_TEST_DIALOG);
    ASSERT_TRUE(dialog->CreateModeless());
    HWND hwnd = dialog->m_hWnd;
    HWND other = GetDlgItem(hwnd, IDC_OTHER);
    m_log.Watch({{"OnCommand"}, {"OnOK"}, {"OnCancel"}});

    EXPECT_EQ(FALSE, ZEL_CLASS::StaticDlgProc(hwnd, WM_COMMAND, IDC_OTHER, Handle(other)));

    EXPECT_TRUE(LogIs(m_log, {{"OnCommand", IDC_OTHER, Handle(other)}}));
    EXPECT_TRUE(IsWindow(hwnd));
    CloseModeless(hwnd);
}

TEST_F(DialogTest, ParentWindowIsTheOwnerWhileParentHandleStaysNull) {
    auto* dialog = new RecordingDialog(m_log, m_owner, 0x10000 | IDD_TEST_DIALOG);
    EXPECT_EQ(IDD_TEST_DIALOG, dialog->m_templateId);
    EXPECT_TRUE(dialog->m_modal);

    ASSERT_TRUE(dialog->CreateModeless());

    EXPECT_FALSE(dialog->m_modal);
    EXPECT_EQ(m_owner, GetWindow(dialog->m_hWnd, GW_OWNER));
    EXPECT_EQ(m_owner, dialog->GetParentWindow());
    EXPECT_EQ(nullptr, dialog->m_hParent);
    CloseModeless(dialog->m_hWnd);
}

TEST_F(DialogTest, ModelessDialogClosedWithOkIsDestroyedAndDeleted) {
    auto* dialog = new RecordingDialog(m_log, m_owner, IDD_TEST_DIALOG);
    dialog->CreateModeless();
    HWND hwnd = dialog->m_hWnd;
    HWND ok = GetDlgItem(hwnd, IDOK);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    m_log.Watch({{"OnCommand"}, {"OnOK"}, {"CloseDialog"}, {"OnDestroy"}, {"OnNcDestroy"}, {"~"}});

    PostClick(ok);
    PumpUntil([this] { return m_log.Has("~"); });

    EXPECT_TRUE(LogIs(m_log, {{"OnCommand", IDOK, Handle(ok)}, {"OnOK"}, {"OnDestroy"}, {"~"}}));
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(DialogTest, MissingTemplateFailsWithoutAWindow) {
    RecordingDialog dialog(m_log, m_owner, IDD_MISSING);

    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

} // namespace
