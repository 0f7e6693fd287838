#include "framework/ZelWnd.h"

namespace ZEL_CLASS {

namespace {

void Bind(HWND hwnd, ZelWnd* object) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

WNDPROC ReplaceWndProc(HWND hwnd, WNDPROC proc) {
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return previous;
}

void DeleteRecords(std::list<ChildRecord*>& records) {
    for (ChildRecord* record : records)
        delete record;
    records.clear();
}

// The first record with this id whose window still exists, or null.
ChildRecord* FindLiveRecord(const std::list<ChildRecord*>& records, UINT id) {
    for (ChildRecord* record : records) {
        if (record->id == id && IsWindow(record->hwnd))
            return record;
    }
    return nullptr;
}

// Routes the messages about the window's own state; false when msg is not one of them.
bool RouteWindowMessage(ZelWnd& wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SHOWWINDOW:
        result = wnd.OnShowWindow(wParam, lParam);
        return true;
    case WM_MENUSELECT:
        result = wnd.OnMenuSelect(LOWORD(wParam));
        return true;
    case WM_INITMENUPOPUP:
        result =
            wnd.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_COMMAND:
        if (lParam != 0 && HIWORD(wParam) != 0)
            result = wnd.OnControlNotify(HIWORD(wParam), LOWORD(wParam), lParam);
        else
            result = wnd.OnCommand(LOWORD(wParam), lParam);
        return true;
    case WM_NOTIFY:
        // Without its header the notification goes to default processing.
        result = lParam != 0 ? wnd.OnNotify(wParam, reinterpret_cast<NMHDR*>(lParam)) : 0;
        return true;
    case WM_CTLCOLORSTATIC:
        result =
            wnd.OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_CTLCOLORDLG:
        result = wnd.OnCtlColorDlg(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_ACTIVATE:
        result = wnd.OnActivate(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_CLOSE:
        result = wnd.OnClose();
        return true;
    case WM_DESTROY:
        result = wnd.OnDestroy();
        return true;
    case WM_NCDESTROY:
        result = wnd.OnNcDestroy();
        return true;
    case WM_TIMER:
        result = wnd.OnTimer(wParam);
        return true;
    case WM_SYSCOMMAND:
        result = wnd.OnSysCommand(wParam, lParam);
        return true;
    case WM_SIZE:
        result = wnd.OnSize(wParam, lParam);
        return true;
    case WM_SIZING:
        result = wnd.OnSizing(wParam, lParam);
        return true;
    case WM_MOVE:
        result = wnd.OnMove(lParam);
        return true;
    case WM_SETFOCUS:
        result = wnd.OnSetFocus(wParam);
        return true;
    case WM_KILLFOCUS:
        result = wnd.OnKillFocus(wParam);
        return true;
    case WM_SETTEXT:
        result = wnd.OnSetText(lParam);
        return true;
    case WM_PAINT:
        result = wnd.OnPaint();
        return true;
    case WM_NCPAINT:
        result = wnd.OnNcPaint();
        return true;
    case WM_ERASEBKGND:
        result = wnd.OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_DRAWITEM:
        // Without its record the request goes to default processing.
        result =
            lParam != 0 ? wnd.OnDrawItem(wParam, reinterpret_cast<DRAWITEMSTRUCT*>(lParam)) : 0;
        return true;
    default:
        return false;
    }
}

// Routes mouse, keyboard and scroll messages; false when msg is not one of them.
bool RouteInputMessage(ZelWnd& wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_MOUSEMOVE:
        result = wnd.OnMouseMove(wParam, lParam);
        return true;
    case WM_LBUTTONDBLCLK:
        result = wnd.OnLButtonDblClk(wParam, lParam);
        return true;
    case WM_LBUTTONDOWN:
        result = wnd.OnLButtonDown(wParam, lParam);
        return true;
    case WM_LBUTTONUP:
        result = wnd.OnLButtonUp(wParam, lParam);
        return true;
    case WM_RBUTTONDOWN:
        result = wnd.OnRButtonDown(wParam, lParam);
        return true;
    case WM_RBUTTONUP:
        result = wnd.OnRButtonUp(wParam, lParam);
        return true;
    case WM_SETCURSOR:
        result = wnd.OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_CONTEXTMENU:
        result = wnd.OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        return true;
    case WM_CHAR:
        result = wnd.OnChar(wParam, lParam);
        return true;
    case WM_KEYDOWN:
        result = wnd.OnKeyDown(wParam, lParam);
        return true;
    case WM_SYSKEYDOWN:
        result = wnd.OnSysKeyDown(wParam, lParam);
        return true;
    case WM_VSCROLL:
        result = wnd.OnVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_HSCROLL:
        result = wnd.OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_NCMOUSEMOVE:
        result = wnd.OnNcMouseMove(wParam, lParam);
        return true;
    case WM_NCLBUTTONDOWN:
        result = wnd.OnNcLButtonDown(wParam, lParam);
        return true;
    default:
        return false;
    }
}

} // namespace

ZelWnd* BoundObject(HWND hwnd) {
    return reinterpret_cast<ZelWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ZelWnd* wnd = BoundObject(hwnd);
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        wnd = static_cast<ZelWnd*>(cs->lpCreateParams);
        if (wnd == nullptr)
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        wnd->m_hWnd = hwnd;
        Bind(hwnd, wnd);
        return wnd->OnCreate(cs) != 0 ? 0 : -1;
    }
    if (wnd == nullptr)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    // Unbinding clears the saved procedure (or deletes the object), yet the control's own
    // procedure must still see WM_NCDESTROY to free what it owns.
    const WNDPROC previous = wnd->m_prevWndProc;
    LRESULT result = wnd->WindowProc(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY && previous != nullptr)
        return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
    if (result != 0)
        return result;
    if (wnd->m_prevWndProc != nullptr)
        return CallWindowProcW(wnd->m_prevWndProc, hwnd, msg, wParam, lParam);
    return wnd->DefaultWindowProc(hwnd, msg, wParam, lParam);
}

ZelWnd::ZelWnd(HWND hwnd, int dlgItemId)
    : m_hWnd(nullptr), m_hParent(nullptr), m_dlgItemId(0), m_autoDelete(FALSE),
      m_prevWndProc(nullptr), m_prevParentWndProc(nullptr) {
    if (hwnd != nullptr && dlgItemId != 0)
        Attach(hwnd, dlgItemId);
}

ZelWnd::~ZelWnd() {
    DeleteRecords(m_commandChildren);
    DeleteRecords(m_reflectChildren);
}

LRESULT ZelWnd::WindowProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PreHandleMessage(msg, wParam, lParam) != 0)
        return 1;
    LRESULT result = 0;
    if (RouteWindowMessage(*this, msg, wParam, lParam, result))
        return result;
    if (RouteInputMessage(*this, msg, wParam, lParam, result))
        return result;
    return 0;
}

LRESULT ZelWnd::DefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND ZelWnd::GetParentWindow() {
    return m_hParent;
}

int ZelWnd::Create(HWND parent, HINSTANCE instance, LPCWSTR className, LPCWSTR windowName,
                   HMENU menu, DWORD style, DWORD exStyle, int x, int y, int cx, int cy) {
    m_hParent = parent;
    CREATESTRUCTW cs = {};
    cs.lpCreateParams = this;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cy = cy;
    cs.cx = cx;
    cs.y = y;
    cs.x = x;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (PreCreateWindow(cs) == 0)
        return 0;
    // A failed creation may already have deleted a self-deleting object (its WM_NCDESTROY
    // runs inside CreateWindowExW), so such an object is not touched afterwards.
    const BOOL autoDelete = m_autoDelete;
    HWND hwnd = CreateWindowExW(cs.dwExStyle, className, windowName, static_cast<DWORD>(cs.style),
                                cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                cs.lpCreateParams);
    if (hwnd == nullptr) {
        const DWORD error = GetLastError();
        if (!autoDelete)
            m_hWnd = nullptr;
        throw WinException{error, WinExceptionText::kWindowCreation};
    }
    m_hWnd = hwnd;
    ShowWindow(m_hWnd, SW_SHOW);
    Bind(m_hWnd, this);
    return OnAttached();
}

int ZelWnd::Attach(HWND hwnd, int dlgItemId) {
    m_dlgItemId = dlgItemId;
    if (dlgItemId != 0) {
        m_hWnd = GetDlgItem(hwnd, dlgItemId);
        if (m_hWnd == nullptr)
            throw WinException{GetLastError(), WinExceptionText::kIndirectCreation};
        m_hParent = hwnd;
    } else {
        m_hWnd = hwnd;
        m_hParent = GetAncestor(hwnd, GA_PARENT);
    }
    return m_hWnd != nullptr ? OnAttached() : 0;
}

int ZelWnd::Destroy() {
    if (m_hWnd == nullptr)
        return 0;
    // The window's WM_NCDESTROY deletes a self-deleting object, which is not touched afterwards.
    const BOOL autoDelete = m_autoDelete;
    DestroyWindow(m_hWnd);
    if (!autoDelete)
        m_hWnd = nullptr;
    return 1;
}

int ZelWnd::SubclassWindow(WNDPROC proc) {
    Bind(m_hWnd, this);
    m_prevWndProc = ReplaceWndProc(m_hWnd, proc);
    return 1;
}

int ZelWnd::SubclassParent(WNDPROC proc) {
    Bind(m_hParent, this);
    m_prevParentWndProc = ReplaceWndProc(m_hParent, proc);
    return 1;
}

LRESULT ZelWnd::OnInitMenuPopup(HMENU menu, UINT, BOOL systemMenu) {
    if (systemMenu)
        return 0;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        UINT state = 0;
        if (QueryMenuItemState(menu, position, state) == 0)
            continue;
        EnableMenuItem(menu, static_cast<UINT>(position), state | MF_BYPOSITION);
        CheckMenuItem(menu, static_cast<UINT>(position), state | MF_BYPOSITION);
    }
    return 1;
}

LRESULT ZelWnd::QueryMenuItemState(HMENU menu, int position, UINT& state) {
    state = 0;
    const UINT id = GetMenuItemID(menu, position);
    if (id != 0xFFFFFFFF)
        return OnQueryCommandState(menu, id, state);
    HMENU sub = GetSubMenu(menu, position);
    const int count = GetMenuItemCount(sub);
    bool handled = false;
    for (int inner = 0; inner < count; ++inner) {
        if (QueryMenuItemState(sub, inner, state) == 0)
            continue;
        handled = true;
        if (state == 0)
            return 1;
    }
    return handled ? 1 : 0;
}

LRESULT ZelWnd::OnControlNotify(UINT code, UINT id, LPARAM control) {
    for (ChildRecord* record : m_commandChildren) {
        if (record->id == id)
            SendMessageW(record->hwnd, WM_COMMAND, MAKEWPARAM(id, code), control);
    }
    return 0;
}

LRESULT ZelWnd::OnNotify(WPARAM wParam, NMHDR* hdr) {
    if (ChildRecord* record = FindLiveRecord(m_reflectChildren, static_cast<UINT>(hdr->idFrom)))
        return SendMessageW(record->hwnd, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(hdr));
    if (hdr->hwndFrom == m_hWnd)
        return 0;
    ZelWnd* control = BoundObject(hdr->hwndFrom);
    return control != nullptr ? control->OnReflectedNotify(wParam, hdr) : 0;
}

LRESULT ZelWnd::OnCtlColorStatic(HDC hdc, HWND control) {
    if (control == m_hWnd)
        return 0;
    ZelWnd* object = BoundObject(control);
    return object != nullptr ? object->OnCtlColorStatic(hdc, control) : 0;
}

LRESULT ZelWnd::OnNcDestroy() {
    Bind(m_hWnd, nullptr);
    if (m_autoDelete) {
        delete this;
        return 1;
    }
    m_hWnd = nullptr;
    m_hParent = nullptr;
    m_prevWndProc = nullptr;
    m_prevParentWndProc = nullptr;
    return 1;
}

HINSTANCE ZelWnd::GetInstance() {
    return GetModuleHandleW(nullptr);
}

BOOL ZelWnd::IsUnbound() {
    return m_hWnd == nullptr && m_hParent == nullptr && m_prevWndProc == nullptr;
}

LRESULT ZelWnd::OnDrawItem(WPARAM id, DRAWITEMSTRUCT* dis) {
    try {
        if (ChildRecord* record = FindLiveRecord(m_reflectChildren, static_cast<UINT>(id)))
            return SendMessageW(record->hwnd, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(dis));
        ZelWnd* control = BoundObject(dis->hwndItem);
        if (control != nullptr && control != this && control->OnDrawItem(id, dis) != 0)
            return 1;
    } catch (...) {
    }
    return 0;
}

} // namespace ZEL_CLASS
