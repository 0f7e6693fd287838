#include "tests/framework/WindowTestBase.h"

#include <cstddef>
#include <cstring>

using WindowLifecycle = WindowTestBase;

TEST_F(WindowLifecycle, MessagesBeforeCreateGoToDefaultProcessingThenObjectIsBound) {
    RecordingWnd& wnd = NewObject();
    SetTraceLog(&m_log);
    m_log.Watch({{"Message"}, {"WindowProc"}, {"OnCreate"}});

    CreateTop(wnd, kTraceClass);

    SetTraceLog(nullptr);
    EXPECT_TRUE(LogStartsWith(m_log, {{"Message", WM_GETMINMAXINFO},
                                      {"Message", WM_NCCREATE},
                                      {"Message", WM_NCCALCSIZE},
                                      {"Message", WM_CREATE},
                                      {"OnCreate", 1}}));
    const std::vector<Call> calls = m_log.Selected();
    for (size_t i = 5; i < calls.size(); ++i) {
        if (calls[i].op == "Message") {
            EXPECT_EQ(1u, calls[i].b) << "unbound after WM_CREATE: " << calls[i];
        }
    }
    wchar_t title[64] = {};
    GetWindowTextW(wnd.m_hWnd, title, 64);
    EXPECT_STREQ(kTitle, title);
    EXPECT_EQ(&wnd, BoundObject(wnd.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(wnd.m_hWnd));
}

TEST_F(WindowLifecycle, OnCreateReturningZeroThrowsWithObjectUnbound) {
    RecordingWnd& wnd = NewObject();
    wnd.createResult = 0;
    m_log.Watch({{"OnCreate"}, {"OnNcDestroy"}, {"OnAttached"}});

    try {
        CreateTop(wnd);
        ADD_FAILURE() << "Create did not throw";
    } catch (const WinException& e) {
        EXPECT_STREQ(WinExceptionText::kWindowCreation, e.m_message);
    }

    EXPECT_TRUE(LogIs(m_log, {{"OnCreate", 1}, {"OnNcDestroy"}}));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, FindWindowW(kTestClass, kTitle));
}

TEST_F(WindowLifecycle, PreCreateWindowZeroCreatesNothing) {
    RecordingWnd& wnd = NewObject();
    wnd.preCreateResult = 0;
    m_log.Watch({{"PreCreateWindow"}, {"OnCreate"}, {"OnAttached"}});

    EXPECT_EQ(0, CreateTop(wnd));

    EXPECT_TRUE(LogIs(m_log, {{"PreCreateWindow"}}));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, FindWindowW(kTestClass, kTitle));
}

TEST_F(WindowLifecycle, CreateTakesGeometryFromPreCreateWindowButNamesFromItsArguments) {
    RecordingWnd& wnd = NewObject();
    wnd.editCreateStruct = [](CREATESTRUCTW& cs) {
        cs.x = 33;
        cs.cx = 150;
        cs.lpszName = L"changed";
    };
    m_log.Watch({{"PreCreateWindow"}, {"OnCreate"}, {"OnAttached"}});

    EXPECT_EQ(1, CreateTop(wnd));

    EXPECT_TRUE(
        LogIs(m_log, {{"PreCreateWindow"}, {"OnCreate", 1}, {"OnAttached", Handle(wnd.m_hWnd)}}));
    RECT rect = {};
    GetWindowRect(wnd.m_hWnd, &rect);
    EXPECT_EQ(33, rect.left);
    EXPECT_EQ(150, rect.right - rect.left);
    EXPECT_EQ(wnd.m_hWnd, FindWindowW(kTestClass, kTitle));
}

TEST_F(WindowLifecycle, CloseLetsDefaultProcessingDestroyAndNcDestroyClearsHandles) {
    RecordingWnd& wnd = NewObject();
    CreateTop(wnd);
    HWND hwnd = wnd.m_hWnd;
    m_log.Watch({{"OnClose"},
                 {"OnDestroy"},
                 {"OnNcDestroy"},
                 {"DefaultWindowProc", WM_CLOSE},
                 {"DefaultWindowProc", WM_DESTROY},
                 {"DefaultWindowProc", WM_NCDESTROY}});

    SendMessageW(hwnd, WM_CLOSE, 0, 0);

    EXPECT_TRUE(LogIs(
        m_log, {{"OnClose"}, {"DefaultWindowProc", WM_CLOSE}, {"OnDestroy"}, {"OnNcDestroy"}}));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(wnd.IsUnbound());
}

TEST_F(WindowLifecycle, NcDestroyDeletesAnAutoDeleteObject) {
    auto* wnd = new RecordingWnd(m_log);
    wnd->m_autoDelete = TRUE;
    CreateTop(*wnd);
    HWND hwnd = wnd->m_hWnd;
    m_log.Watch({{"OnDestroy"}, {"OnNcDestroy"}, {"~"}});

    DestroyWindow(hwnd);

    EXPECT_TRUE(LogIs(m_log, {{"OnDestroy"}, {"OnNcDestroy"}, {"~"}}));
}

// Keeps its storage after delete, filled with a pattern, so that a late write shows.
struct KeptAfterDelete : RecordingWnd {
    using RecordingWnd::RecordingWnd;
    static void operator delete(void* p, std::size_t size) {
        std::memset(p, 0xDD, size);
        s_storage = p;
        s_size = size;
    }
    static inline void* s_storage = nullptr;
    static inline std::size_t s_size = 0;
};

TEST_F(WindowLifecycle, FailedCreateOrDestroyLeavesADeletedAutoDeleteObjectAlone) {
    for (const bool failedCreate : {true, false}) {
        SCOPED_TRACE(failedCreate ? "failed Create" : "Destroy");
        auto* wnd = new KeptAfterDelete(m_log);
        wnd->m_autoDelete = TRUE;
        wnd->createResult = failedCreate ? 0 : 1;
        m_log.Watch({{"OnNcDestroy"}, {"~"}});

        if (failedCreate) {
            EXPECT_THROW(CreateTop(*wnd), WinException);
        } else {
            CreateTop(*wnd);
            EXPECT_EQ(1, wnd->Destroy());
        }

        EXPECT_TRUE(LogIs(m_log, {{"OnNcDestroy"}, {"~"}}));
        ASSERT_EQ(static_cast<void*>(wnd), KeptAfterDelete::s_storage);
        const auto* bytes = static_cast<const unsigned char*>(KeptAfterDelete::s_storage);
        for (std::size_t i = 0; i < KeptAfterDelete::s_size; ++i) {
            ASSERT_EQ(0xDD, bytes[i]) << "written after delete at byte " << i;
        }
        ::operator delete(KeptAfterDelete::s_storage);
        m_log = CallLog();
    }
}

TEST_F(WindowLifecycle, DestroyActsOnlyOnABoundWindow) {
    RecordingWnd& wnd = NewObject();
    m_log.Watch({{"OnDestroy"}, {"OnNcDestroy"}});
    EXPECT_EQ(0, wnd.Destroy());
    EXPECT_TRUE(LogIs(m_log, {}));

    CreateTop(wnd);
    HWND hwnd = wnd.m_hWnd;
    m_log.Watch({{"OnDestroy"}, {"OnNcDestroy"}});
    EXPECT_EQ(1, wnd.Destroy());
    EXPECT_TRUE(LogIs(m_log, {{"OnDestroy"}, {"OnNcDestroy"}}));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

TEST_F(WindowLifecycle, AttachByIdOrHandleSetsHandlesWithoutBinding) {
    HWND parent = NewTopWindow();
    HWND button = NewControl(parent, L"BUTTON", 101);
    RecordingWnd& byId = NewObject();
    RecordingWnd& byHandle = NewObject();
    m_log.Watch({{"OnAttached"}});

    EXPECT_EQ(1, byId.Attach(parent, 101));
    EXPECT_EQ(1, byHandle.Attach(button, 0));

    EXPECT_TRUE(LogIs(m_log, {{"OnAttached", Handle(button)}, {"OnAttached", Handle(button)}}));
    EXPECT_EQ(parent, byId.m_hParent);
    EXPECT_EQ(101, byId.m_dlgItemId);
    EXPECT_EQ(parent, byHandle.m_hParent);
    EXPECT_EQ(0, byHandle.m_dlgItemId);
    EXPECT_EQ(nullptr, BoundObject(button));
}

TEST_F(WindowLifecycle, AttachByMissingIdThrowsAndKeepsTheId) {
    HWND parent = NewTopWindow();
    RecordingWnd& wnd = NewObject();

    try {
        wnd.Attach(parent, 999);
        ADD_FAILURE() << "Attach did not throw";
    } catch (const WinException& e) {
        EXPECT_STREQ(WinExceptionText::kIndirectCreation, e.m_message);
    }

    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(999, wnd.m_dlgItemId);
    EXPECT_THROW(ZelWnd(parent, 999), WinException);
}

namespace {

WNDPROC g_editProc = nullptr;
bool g_editSawNcDestroy = false;

// Stands in front of the edit control's own procedure and notes its last message.
LRESULT CALLBACK WatchedEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_editSawNcDestroy = msg == WM_NCDESTROY;
    return CallWindowProcW(g_editProc, hwnd, msg, wParam, lParam);
}

} // namespace

TEST_F(WindowLifecycle, SubclassedWindowRoutesToObjectThenToItsOwnProcedure) {
    HWND parent = NewTopWindow();
    HWND edit = NewControl(parent, L"EDIT", 102);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedEditProc)));
    RecordingWnd& wnd = NewObject();
    wnd.Attach(edit, 0);
    EXPECT_EQ(1, wnd.SubclassWindow(ZEL_CLASS::StaticWndProc));
    m_log.Watch(
        {{"WindowProc", EM_GETLIMITTEXT}, {"DefaultWindowProc", EM_GETLIMITTEXT}, {"OnNcDestroy"}});

    EXPECT_NE(0, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    DestroyWindow(edit);

    EXPECT_TRUE(LogIs(m_log, {{"WindowProc", EM_GETLIMITTEXT}, {"OnNcDestroy"}}));
    EXPECT_TRUE(wnd.IsUnbound());
    EXPECT_TRUE(g_editSawNcDestroy) << "the edit control cannot free what it owns";
}
