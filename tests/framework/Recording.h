#pragma once

#include "framework/ZelDialog.h"
#include "tests/framework/CallLog.h"

#include <functional>
#include <map>

using ZEL_CLASS::BoundObject;
using ZEL_CLASS::ZelDialog;
using ZEL_CLASS::ZelWnd;

inline UINT_PTR Handle(const void* handle) {
    return reinterpret_cast<UINT_PTR>(handle);
}

// A window object that logs the virtual calls it receives and answers as configured;
// unconfigured operations behave as the base class.
template <class Base> class Recording : public Base {
public:
    template <class... Args>
    explicit Recording(CallLog& log, Args... args) : Base(args...), m_log(log) {}
    ~Recording() override { m_log.Add({"~"}); }

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        m_log.Add({"WindowProc", msg, wParam, static_cast<UINT_PTR>(lParam)});
        return Base::WindowProc(hwnd, msg, wParam, lParam);
    }
    LRESULT DefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        m_log.Add({"DefaultWindowProc", msg, wParam, static_cast<UINT_PTR>(lParam)});
        return Base::DefaultWindowProc(hwnd, msg, wParam, lParam);
    }
    LRESULT PreHandleMessage(UINT, WPARAM, LPARAM) override { return preHandleResult; }
    int PreCreateWindow(CREATESTRUCTW& cs) override {
        m_log.Add({"PreCreateWindow"});
        if (editCreateStruct)
            editCreateStruct(cs);
        return preCreateResult;
    }
    int OnAttached() override {
        m_log.Add({"OnAttached", Handle(this->m_hWnd)});
        return Base::OnAttached();
    }
    LRESULT OnCreate(CREATESTRUCTW*) override {
        m_log.Add({"OnCreate", BoundObject(this->m_hWnd) == this});
        return createResult;
    }
    LRESULT OnCommand(UINT id, LPARAM control) override {
        m_log.Add({"OnCommand", id, static_cast<UINT_PTR>(control)});
        return Base::OnCommand(id, control);
    }
    LRESULT OnControlNotify(UINT code, UINT id, LPARAM control) override {
        m_log.Add({"OnControlNotify", code, id, static_cast<UINT_PTR>(control)});
        return Base::OnControlNotify(code, id, control);
    }
    LRESULT OnReflectedNotify(WPARAM, NMHDR* hdr) override {
        m_log.Add({"OnReflectedNotify", hdr->code, Handle(this->m_hWnd)});
        return reflectedNotifyResult;
    }
    LRESULT OnDrawItem(WPARAM id, DRAWITEMSTRUCT* dis) override {
        m_log.Add({"OnDrawItem", id, Handle(this->m_hWnd)});
        if (drawItemThrows)
            throw 1;
        return drawItemResult != 0 ? drawItemResult : Base::OnDrawItem(id, dis);
    }
    LRESULT OnCtlColorStatic(HDC hdc, HWND control) override {
        m_log.Add({"OnCtlColorStatic", Handle(this->m_hWnd)});
        return ctlColorResult != 0 ? ctlColorResult : Base::OnCtlColorStatic(hdc, control);
    }
    LRESULT OnQueryCommandState(HMENU menu, UINT id, UINT& state) override {
        m_log.Add({"OnQueryCommandState", id});
        auto found = commandStates.find(id);
        if (found == commandStates.end())
            return Base::OnQueryCommandState(menu, id, state);
        state = found->second;
        return 1;
    }
    LRESULT OnClose() override {
        m_log.Add({"OnClose"});
        return Base::OnClose();
    }
    LRESULT OnDestroy() override {
        m_log.Add({"OnDestroy"});
        return Base::OnDestroy();
    }
    LRESULT OnNcDestroy() override {
        m_log.Add({"OnNcDestroy"});
        return Base::OnNcDestroy();
    }
    LRESULT OnTimer(WPARAM id) override {
        m_log.Add({"OnTimer", id});
        return Base::OnTimer(id);
    }

    LRESULT preHandleResult = 0;
    int preCreateResult = 1;
    std::function<void(CREATESTRUCTW&)> editCreateStruct;
    LRESULT createResult = 1;
    LRESULT reflectedNotifyResult = 0;
    LRESULT drawItemResult = 0;
    bool drawItemThrows = false;
    LRESULT ctlColorResult = 0;
    std::map<UINT, UINT> commandStates;

protected:
    CallLog& m_log;
};

using RecordingWnd = Recording<ZelWnd>;

// A dialog object that also logs the dialog's own operations.
class RecordingDialog : public Recording<ZelDialog> {
public:
    RecordingDialog(CallLog& log, HWND owner, UINT templateId)
        : Recording<ZelDialog>(log, owner, templateId, GetModuleHandleW(nullptr)) {}

    LRESULT OnInitDialog() override {
        m_log.Add({"OnInitDialog", BoundObject(m_hWnd) == this});
        return ZelDialog::OnInitDialog();
    }
    LRESULT OnOK() override {
        m_log.Add({"OnOK"});
        return ZelDialog::OnOK();
    }
    LRESULT OnCancel() override {
        m_log.Add({"OnCancel"});
        return ZelDialog::OnCancel();
    }
    INT_PTR CloseDialog(INT_PTR result) override {
        m_log.Add({"CloseDialog", static_cast<UINT_PTR>(result)});
        return ZelDialog::CloseDialog(result);
    }
};
