#pragma once

#include <windows.h>
#include <gdiplus.h>

#include "system/GdiPlusApi.h"

template <typename T> using GdiPlusDelete = Gdiplus::GpStatus(WINGDIPAPI*)(T*);

// Owns one GDI+ flat-API object and deletes it when the holder goes out of scope.
template <typename T, GdiPlusDelete<T> GdiPlusApi::*Delete> class GdiPlusHandle {
public:
    GdiPlusHandle() = default;
    ~GdiPlusHandle() {
        // An object exists only where GDI+ was found.
        if (m_object) {
            (GdiPlusApi::Get()->*Delete)(m_object);
        }
    }
    GdiPlusHandle(const GdiPlusHandle&) = delete;
    GdiPlusHandle& operator=(const GdiPlusHandle&) = delete;

    T* get() const { return m_object; }
    T** out() { return &m_object; }

private:
    T* m_object = nullptr;
};

using GpPathHandle = GdiPlusHandle<Gdiplus::GpPath, &GdiPlusApi::DeletePath>;
using GpFontFamilyHandle = GdiPlusHandle<Gdiplus::GpFontFamily, &GdiPlusApi::DeleteFontFamily>;
using GpStringFormatHandle =
    GdiPlusHandle<Gdiplus::GpStringFormat, &GdiPlusApi::DeleteStringFormat>;
using GpRegionHandle = GdiPlusHandle<Gdiplus::GpRegion, &GdiPlusApi::DeleteRegion>;
using GpGraphicsHandle = GdiPlusHandle<Gdiplus::GpGraphics, &GdiPlusApi::DeleteGraphics>;
