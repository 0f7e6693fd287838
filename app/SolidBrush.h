#pragma once

#include <windows.h>

// A solid GDI brush deleted when it goes out of scope.
class SolidBrush {
public:
    explicit SolidBrush(COLORREF color) : m_brush(CreateSolidBrush(color)) {}
    ~SolidBrush() {
        if (m_brush) {
            DeleteObject(m_brush);
        }
    }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH get() const { return m_brush; }

private:
    HBRUSH m_brush;
};
