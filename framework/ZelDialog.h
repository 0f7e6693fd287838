#pragma once

#include "framework/ZelWnd.h"

namespace ZEL_CLASS {

// Dialog procedure: binds the object on WM_INITDIALOG and routes messages to it.
INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A dialog run from a template resource, modal through DoModal or modeless through
// CreateModeless, with the same per-message operations as any ZelWnd.
class ZelDialog : public ZelWnd {
public:
    ZelDialog(HWND parent, UINT templateId, HINSTANCE instance);
    ~ZelDialog() override;

    HWND GetParentWindow() override;
    LRESULT OnCommand(UINT id, LPARAM control) override;

    virtual LRESULT OnInitDialog();
    virtual LRESULT OnOK();
    virtual LRESULT OnCancel();
    virtual INT_PTR CloseDialog(INT_PTR result);
    virtual bool CreateModeless();
    virtual INT_PTR DoModal();

    HWND m_hDlgParent;
    WORD m_templateId;
    HINSTANCE m_hInstance;
    BOOL m_modal;
};

} // namespace ZEL_CLASS
