#pragma once

#include <windows.h>
#include <commctrl.h>

#include <list>

#include "framework/WinException.h"

namespace ZEL_CLASS {

// A child window to which notifications are handed on by control id.
struct ChildRecord {
    HWND hwnd;
    UINT id;
};

// Class window procedure: binds the object on WM_CREATE and routes every message to it.
LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// One Win32 window bound to one object; every routed message calls one virtual operation.
// A non-zero result means handled and is the message result; 0 passes the message on.
class ZelWnd {
public:
    ZelWnd(HWND hwnd = nullptr, int dlgItemId = 0);
    virtual ~ZelWnd();

    virtual LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT PreHandleMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return 0;
    }
    virtual LRESULT OnShowWindow(WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
    virtual HWND GetParentWindow();
    virtual int PreCreateWindow(CREATESTRUCTW& /*cs*/) { return 1; }
    virtual int Create(HWND parent, HINSTANCE instance, LPCWSTR className, LPCWSTR windowName,
                       HMENU menu, DWORD style, DWORD exStyle, int x, int y, int cx, int cy);
    virtual int Attach(HWND hwnd, int dlgItemId);
    virtual int OnAttached() { return 1; }
    virtual int Destroy();
    virtual int SubclassWindow(WNDPROC proc);
    virtual int SubclassParent(WNDPROC proc);
    virtual LRESULT OnMenuSelect(UINT /*item*/) { return 0; }
    virtual LRESULT OnInitMenuPopup(HMENU menu, UINT position, BOOL systemMenu);
    virtual LRESULT QueryMenuItemState(HMENU menu, int position, UINT& state);
    virtual LRESULT OnCreate(CREATESTRUCTW* /*cs*/) { return 1; }
    virtual LRESULT OnCommand(UINT /*id*/, LPARAM /*lParam*/) { return 0; }
    virtual LRESULT OnControlNotify(UINT code, UINT id, LPARAM control);
    virtual LRESULT OnNotify(WPARAM wParam, NMHDR* hdr);
    virtual LRESULT OnReflectedNotify(WPARAM /*wParam*/, NMHDR* /*hdr*/) { return 0; }
    virtual LRESULT OnQueryCommandState(HMENU /*menu*/, UINT /*id*/, UINT& /*state*/) { return 0; }
    virtual LRESULT OnCtlColorStatic(HDC hdc, HWND control);
    virtual LRESULT OnCtlColorDlg(HDC /*hdc*/, HWND /*dialog*/) { return 0; }
    virtual LRESULT OnActivate(UINT /*state*/, BOOL /*minimized*/, HWND /*other*/) { return 0; }
    virtual LRESULT OnClose() { return 0; }
    virtual LRESULT OnDestroy() { return 1; }
    virtual LRESULT OnNcDestroy();
    virtual LRESULT OnTimer(WPARAM /*timerId*/) { return 0; }
    virtual LRESULT OnSysCommand(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnSize(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnSizing(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnMove(LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnMouseMove(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnLButtonDblClk(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnLButtonDown(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnLButtonUp(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnRButtonDown(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnRButtonUp(WPARAM /*wParam*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnSetCursor(HWND /*hwnd*/, UINT /*hitTest*/, UINT /*mouseMsg*/) { return 0; }
    virtual LRESULT OnContextMenu(HWND /*hwnd*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnChar(WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
    virtual LRESULT OnKeyDown(WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
    virtual LRESULT OnSysKeyDown(WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
    virtual LRESULT OnVScroll(UINT /*request*/, UINT /*position*/, HWND /*scrollBar*/) { return 0; }
    virtual LRESULT OnHScroll(UINT /*request*/, UINT /*position*/, HWND /*scrollBar*/) { return 0; }
    virtual LRESULT OnNcMouseMove(WPARAM /*hitTest*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnNcLButtonDown(WPARAM /*hitTest*/, LPARAM& /*lParam*/) { return 0; }
    virtual LRESULT OnSetFocus(WPARAM /*lostFocus*/) { return 0; }
    virtual LRESULT OnKillFocus(WPARAM /*gainsFocus*/) { return 0; }
    virtual LRESULT OnSetText(LPARAM /*text*/) { return 0; }
    virtual HINSTANCE GetInstance();
    virtual LRESULT OnPaint() { return 0; }
    virtual LRESULT OnNcPaint() { return 0; }
    virtual LRESULT OnEraseBkgnd(HDC /*hdc*/) { return 0; }
    virtual BOOL IsUnbound();
    virtual LRESULT OnDrawItem(WPARAM id, DRAWITEMSTRUCT* dis);

    HWND m_hWnd;
    HWND m_hParent;
    int m_dlgItemId;
    BOOL m_autoDelete;
    WNDPROC m_prevWndProc;
    WNDPROC m_prevParentWndProc;
    std::list<ChildRecord*> m_reflectChildren;
    std::list<ChildRecord*> m_commandChildren;

    ZelWnd(const ZelWnd&) = delete;
    ZelWnd& operator=(const ZelWnd&) = delete;
};

// The object bound to a window through its user-data long, or null.
ZelWnd* BoundObject(HWND hwnd);

} // namespace ZEL_CLASS
