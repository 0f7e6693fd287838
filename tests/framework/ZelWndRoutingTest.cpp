#include "tests/framework/WindowTestBase.h"

class WindowRouting : public WindowTestBase {
protected:
    void SetUp() override {
        RecordingWnd& wnd = NewObject();
        CreateTop(wnd);
        m_wnd = &wnd;
        m_hwnd = wnd.m_hWnd;
    }

    // A pop-up menu: a grayed item, a separator, a checked item and a grayed sub-menu.
    HMENU NewMenu() {
        HMENU sub = CreatePopupMenu();
        AppendMenuW(sub, MF_STRING, 203, L"C");
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 201, L"A");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | MF_CHECKED, 202, L"B");
        AppendMenuW(menu, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(sub), L"Sub");
        m_menu = menu;
        return menu;
    }

    UINT StateAt(int position) {
        return GetMenuState(m_menu, position, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED);
    }

    void TearDown() override {
        if (m_menu != nullptr)
            DestroyMenu(m_menu);
        WindowTestBase::TearDown();
    }

    RecordingWnd* m_wnd = nullptr;
    HWND m_hwnd = nullptr;
    HMENU m_menu = nullptr;
};

TEST_F(WindowRouting, ButtonClickReachesOnCommandWithIdAndHandle) {
    HWND button = NewControl(m_hwnd, L"BUTTON", 101);
    m_log.Watch({{"OnCommand"}, {"OnControlNotify"}});

    PostClick(button);
    PumpUntil([this] { return m_log.Has("OnCommand"); });

    EXPECT_TRUE(LogIs(m_log, {{"OnCommand", 101, Handle(button)}}));
}

TEST_F(WindowRouting, EditChangeReachesControlNotifyThenDefaultProcessing) {
    HWND edit = NewControl(m_hwnd, L"EDIT", 102);
    m_log.Watch({{"OnCommand"}, {"OnControlNotify"}, {"DefaultWindowProc", WM_COMMAND}});

    SendMessageW(edit, WM_CHAR, 'x', 1);

    const WPARAM update = MAKEWPARAM(102, EN_UPDATE);
    const WPARAM change = MAKEWPARAM(102, EN_CHANGE);
    EXPECT_TRUE(LogIs(m_log, {{"OnControlNotify", EN_UPDATE, 102, Handle(edit)},
                              {"DefaultWindowProc", WM_COMMAND, update, Handle(edit)},
                              {"OnControlNotify", EN_CHANGE, 102, Handle(edit)},
                              {"DefaultWindowProc", WM_COMMAND, change, Handle(edit)}}));
}

TEST_F(WindowRouting, MenuCommandAndAcceleratorReachOnCommand) {
    m_log.Watch({{"OnCommand"}, {"OnControlNotify"}});

    SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(201, 0), 0);
    SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(202, 1), 0);

    EXPECT_TRUE(LogIs(m_log, {{"OnCommand", 201}, {"OnCommand", 202}}));
}

TEST_F(WindowRouting, PreHandleMessageAnswersOneWithoutRouting) {
    m_wnd->preHandleResult = 5;
    m_log.Watch({{"OnTimer"}, {"DefaultWindowProc", WM_TIMER}});

    EXPECT_EQ(1, SendMessageW(m_hwnd, WM_TIMER, 7, 0));

    EXPECT_TRUE(LogIs(m_log, {}));
}

TEST_F(WindowRouting, UnhandledMessageGoesToDefaultProcessing) {
    m_log.Watch({{"OnTimer"}, {"DefaultWindowProc", WM_TIMER}});

    SendMessageW(m_hwnd, WM_TIMER, 7, 0);

    EXPECT_TRUE(LogIs(m_log, {{"OnTimer", 7}, {"DefaultWindowProc", WM_TIMER, 7}}));
}

TEST_F(WindowRouting, SystemMenuPopupGoesToDefaultProcessing) {
    HMENU menu = NewMenu();
    m_log.Watch({{"OnQueryCommandState"}, {"DefaultWindowProc", WM_INITMENUPOPUP}});

    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_INITMENUPOPUP, Handle(menu), MAKELPARAM(0, TRUE)));

    EXPECT_TRUE(LogIs(m_log, {{"DefaultWindowProc", WM_INITMENUPOPUP, Handle(menu),
                               static_cast<UINT_PTR>(MAKELPARAM(0, TRUE))}}));
}

TEST_F(WindowRouting, PopupIsWalkedAndLeftAsTheMenuDefinesIt) {
    HMENU menu = NewMenu();
    m_log.Watch({{"OnQueryCommandState"}, {"DefaultWindowProc", WM_INITMENUPOPUP}});

    EXPECT_EQ(1, SendMessageW(m_hwnd, WM_INITMENUPOPUP, Handle(menu), MAKELPARAM(0, FALSE)));

    EXPECT_TRUE(LogIs(m_log, {{"OnQueryCommandState", 201},
                              {"OnQueryCommandState", 0},
                              {"OnQueryCommandState", 202},
                              {"OnQueryCommandState", 203}}));
    EXPECT_EQ(MF_GRAYED, StateAt(0));
    EXPECT_EQ(MF_CHECKED, StateAt(2));
    EXPECT_EQ(MF_GRAYED, StateAt(3));
}

TEST_F(WindowRouting, QueriedStatesEnableAndCheckItemsAndTheirPopup) {
    HMENU menu = NewMenu();
    m_wnd->commandStates = {{201, MF_CHECKED}, {202, MF_GRAYED}, {203, 0}};

    EXPECT_EQ(1, SendMessageW(m_hwnd, WM_INITMENUPOPUP, Handle(menu), MAKELPARAM(0, FALSE)));

    EXPECT_EQ(MF_CHECKED, StateAt(0));
    EXPECT_EQ(MF_GRAYED, StateAt(2));
    EXPECT_EQ(0u, StateAt(3));
}

TEST_F(WindowRouting, NotifyIsReflectedOnlyToABoundControl) {
    HWND unbound = NewControl(m_hwnd, L"STATIC", 301);
    RecordingWnd& bound = NewBoundControl(m_hwnd, 302);
    bound.reflectedNotifyResult = 7;
    m_wnd->reflectedNotifyResult = 9;
    NMHDR fromUnbound = {unbound, 301, NM_CLICK};
    NMHDR fromSelf = {m_hwnd, 0, NM_CLICK};
    NMHDR fromBound = {bound.m_hWnd, 302, NM_CLICK};
    m_log.Watch({{"OnReflectedNotify"}});

    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_NOTIFY, 301, reinterpret_cast<LPARAM>(&fromUnbound)));
    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&fromSelf)));
    EXPECT_EQ(7, SendMessageW(m_hwnd, WM_NOTIFY, 302, reinterpret_cast<LPARAM>(&fromBound)));
    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_NOTIFY, 302, 0));

    EXPECT_TRUE(LogIs(m_log, {{"OnReflectedNotify", fromBound.code, Handle(bound.m_hWnd)}}));
}

TEST_F(WindowRouting, DrawItemIsReflectedToABoundControlOnly) {
    RecordingWnd& bound = NewBoundControl(m_hwnd, 302);
    bound.drawItemResult = 9;
    DRAWITEMSTRUCT menuItem = {};
    menuItem.CtlType = ODT_MENU;
    menuItem.hwndItem = reinterpret_cast<HWND>(NewMenu());
    DRAWITEMSTRUCT control = {};
    control.CtlType = ODT_STATIC;
    control.CtlID = 302;
    control.hwndItem = bound.m_hWnd;
    m_log.Watch({{"OnDrawItem"}});

    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem)));
    EXPECT_EQ(1, SendMessageW(m_hwnd, WM_DRAWITEM, 302, reinterpret_cast<LPARAM>(&control)));
    bound.drawItemThrows = true;
    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_DRAWITEM, 302, reinterpret_cast<LPARAM>(&control)));
    EXPECT_EQ(0, SendMessageW(m_hwnd, WM_DRAWITEM, 302, 0));
    bound.drawItemThrows = false;
    bound.drawItemResult = 0;
    EXPECT_EQ(0,
              bound.WindowProc(bound.m_hWnd, WM_DRAWITEM, 302, reinterpret_cast<LPARAM>(&control)));

    EXPECT_TRUE(LogIs(m_log, {{"OnDrawItem", 0, Handle(m_hwnd)},
                              {"OnDrawItem", 302, Handle(m_hwnd)},
                              {"OnDrawItem", 302, Handle(bound.m_hWnd)},
                              {"OnDrawItem", 302, Handle(m_hwnd)},
                              {"OnDrawItem", 302, Handle(bound.m_hWnd)},
                              {"OnDrawItem", 302, Handle(bound.m_hWnd)}}));
}

TEST_F(WindowRouting, CtlColorStaticAsksTheBoundControlButNeverTheWindowItself) {
    RecordingWnd& bound = NewBoundControl(m_hwnd, 302);
    const auto brush = reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
    bound.ctlColorResult = brush;
    HDC hdc = GetDC(m_hwnd);
    m_log.Watch({{"OnCtlColorStatic"}, {"DefaultWindowProc", WM_CTLCOLORSTATIC}});

    EXPECT_EQ(brush, SendMessageW(m_hwnd, WM_CTLCOLORSTATIC, Handle(hdc), Handle(bound.m_hWnd)));
    SendMessageW(m_hwnd, WM_CTLCOLORSTATIC, Handle(hdc), Handle(m_hwnd));

    ReleaseDC(m_hwnd, hdc);
    const UINT_PTR self = Handle(m_hwnd);
    EXPECT_TRUE(LogIs(m_log, {{"OnCtlColorStatic", self},
                              {"OnCtlColorStatic", Handle(bound.m_hWnd)},
                              {"OnCtlColorStatic", self},
                              {"DefaultWindowProc", WM_CTLCOLORSTATIC, Handle(hdc), self}}));
}
