#include "framework/ZelDialog.h"

namespace ZEL_CLASS {

INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ZelWnd* wnd = BoundObject(hwnd);
    if (msg == WM_NCDESTROY)
        return FALSE;
    if (msg == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<ZelDialog*>(lParam);
        if (dialog == nullptr)
            return FALSE;
        dialog->m_hWnd = hwnd;
        ZelWnd* bound = dialog;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bound));
        return dialog->OnInitDialog();
    }
    if (wnd == nullptr)
        return FALSE;
    return wnd->WindowProc(hwnd, msg, wParam, lParam);
}

ZelDialog::ZelDialog(HWND parent, UINT templateId, HINSTANCE instance)
    : ZelWnd(nullptr, 0), m_hDlgParent(parent), m_templateId(LOWORD(templateId)),
      m_hInstance(instance), m_modal(TRUE) {}

ZelDialog::~ZelDialog() = default;

HWND ZelDialog::GetParentWindow() {
    return m_hDlgParent;
}

LRESULT ZelDialog::OnCommand(UINT id, LPARAM) {
    switch (id) {
    case IDOK:
        return OnOK();
    case IDCANCEL:
        return OnCancel();
    default:
        return 0;
    }
}

LRESULT ZelDialog::OnInitDialog() {
    return 1;
}

LRESULT ZelDialog::OnOK() {
    if (m_modal) {
        CloseDialog(IDOK);
    } else {
        Destroy();
        delete this;
    }
    return 1;
}

LRESULT ZelDialog::OnCancel() {
    if (m_modal) {
        CloseDialog(IDCANCEL);
    } else {
        Destroy();
        delete this;
    }
    return 1;
}

INT_PTR ZelDialog::CloseDialog(INT_PTR result) {
    if (m_modal)
        return EndDialog(m_hWnd, result);
    return Destroy();
}

bool ZelDialog::CreateModeless() {
    m_modal = FALSE;
    CreateDialogParamW(m_hInstance, MAKEINTRESOURCEW(m_templateId), m_hDlgParent, StaticDlgProc,
                       reinterpret_cast<LPARAM>(this));
    ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

INT_PTR ZelDialog::DoModal() {
    m_modal = TRUE;
    return DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(m_templateId), m_hDlgParent, StaticDlgProc,
                           reinterpret_cast<LPARAM>(this));
}

} // namespace ZEL_CLASS
