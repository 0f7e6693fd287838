#pragma once

#include <windows.h>
#include <gdiplus.h>

// The GDI+ functions the program calls, taken from the system's gdiplus.dll when they are first
// asked for: the program imports none, so no gdiplus.dll is looked for beside it at start.
struct GdiPlusApi {
    decltype(&Gdiplus::GdiplusStartup) Startup;
    decltype(&Gdiplus::GdiplusShutdown) Shutdown;
    decltype(&Gdiplus::DllExports::GdipCreatePath) CreatePath;
    decltype(&Gdiplus::DllExports::GdipDeletePath) DeletePath;
    decltype(&Gdiplus::DllExports::GdipCreateFontFamilyFromName) CreateFontFamilyFromName;
    decltype(&Gdiplus::DllExports::GdipDeleteFontFamily) DeleteFontFamily;
    decltype(&Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif) GetGenericFontFamilySansSerif;
    decltype(&Gdiplus::DllExports::GdipGetFamilyName) GetFamilyName;
    decltype(&Gdiplus::DllExports::GdipCreateStringFormat) CreateStringFormat;
    decltype(&Gdiplus::DllExports::GdipDeleteStringFormat) DeleteStringFormat;
    decltype(&Gdiplus::DllExports::GdipAddPathStringI) AddPathStringI;
    decltype(&Gdiplus::DllExports::GdipCreateRegionPath) CreateRegionPath;
    decltype(&Gdiplus::DllExports::GdipDeleteRegion) DeleteRegion;
    decltype(&Gdiplus::DllExports::GdipGetRegionHRgn) GetRegionHRgn;
    decltype(&Gdiplus::DllExports::GdipCreateFromHDC) CreateFromHDC;
    decltype(&Gdiplus::DllExports::GdipDeleteGraphics) DeleteGraphics;
    decltype(&Gdiplus::DllExports::GdipSetInterpolationMode) SetInterpolationMode;
    decltype(&Gdiplus::DllExports::GdipSetSmoothingMode) SetSmoothingMode;

    // Every function, or null when gdiplus.dll or any one of them cannot be found.
    static const GdiPlusApi* Get();
};
