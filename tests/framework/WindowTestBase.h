#pragma once

#include "tests/framework/Recording.h"
#include "tests/framework/TestUi.h"

#include <memory>
#include <vector>

// Owns the recording objects a test makes and destroys their windows afterwards.
class WindowTestBase : public testing::Test {
protected:
    static constexpr const wchar_t* kTitle = L"ZelWnd test window";

    static void SetUpTestSuite() { RegisterTestClasses(); }
    static void TearDownTestSuite() { UnregisterTestClasses(); }

    void TearDown() override {
        SetTraceLog(nullptr);
        for (auto& object : m_objects) {
            if (object->m_hWnd != nullptr && IsWindow(object->m_hWnd))
                DestroyWindow(object->m_hWnd);
        }
    }

    RecordingWnd& NewObject() {
        m_objects.push_back(std::make_unique<RecordingWnd>(m_log));
        return *m_objects.back();
    }

    static int CreateTop(ZelWnd& wnd, const wchar_t* className = kTestClass) {
        return wnd.Create(nullptr, GetModuleHandleW(nullptr), className, kTitle, nullptr,
                          WS_OVERLAPPEDWINDOW, 0, 20, 20, 240, 160);
    }

    HWND NewTopWindow() {
        RecordingWnd& wnd = NewObject();
        CreateTop(wnd);
        return wnd.m_hWnd;
    }

    // A child control that is not bound to any object.
    static HWND NewControl(HWND parent, const wchar_t* className, int id) {
        return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }

    // A child control bound to its own recording object.
    RecordingWnd& NewBoundControl(HWND parent, int id) {
        RecordingWnd& control = NewObject();
        control.Create(parent, GetModuleHandleW(nullptr), L"STATIC", L"",
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), WS_CHILD, 0, 0, 0, 20,
                       20);
        return control;
    }

    CallLog m_log;
    std::vector<std::unique_ptr<RecordingWnd>> m_objects;
};
