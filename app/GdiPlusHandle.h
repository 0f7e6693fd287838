#pragma once

#include <windows.h>
#include <gdiplus.h>

// Owns one GDI+ flat-API object and deletes it when the holder goes out of scope.
template <typename T, Gdiplus::GpStatus(WINGDIPAPI* Delete)(T*)> class GdiPlusHandle {
public:
    GdiPlusHandle() = default;
    ~GdiPlusHandle() {
        if (m_object) {
            Delete(m_object);
        }
    }
    GdiPlusHandle(const GdiPlusHandle&) = delete;
    GdiPlusHandle& operator=(const GdiPlusHandle&) = delete;

    T* get() const { return m_object; }
    T** out() { return &m_object; }

private:
    T* m_object = nullptr;
};

using GpPathHandle = GdiPlusHandle<Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath>;
using GpFontFamilyHandle =
    GdiPlusHandle<Gdiplus::GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily>;
using GpStringFormatHandle =
    GdiPlusHandle<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat>;
using GpRegionHandle = GdiPlusHandle<Gdiplus::GpRegion, Gdiplus::DllExports::GdipDeleteRegion>;
using GpGraphicsHandle =
    GdiPlusHandle<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>;
