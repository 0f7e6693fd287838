#include "system/GdiPlusApi.h"

#include "system/SystemLibraries.h"

namespace {

template <typename Pointer> bool Find(Pointer& function, const char* name) {
    function = SystemLibraries::GdiPlus().Function<Pointer>(name);
    return function != nullptr;
}

const GdiPlusApi* Load() {
    static GdiPlusApi api{};
    const bool found =
        Find(api.Startup, "GdiplusStartup") && Find(api.Shutdown, "GdiplusShutdown") &&
        Find(api.CreatePath, "GdipCreatePath") && Find(api.DeletePath, "GdipDeletePath") &&
        Find(api.CreateFontFamilyFromName, "GdipCreateFontFamilyFromName") &&
        Find(api.DeleteFontFamily, "GdipDeleteFontFamily") &&
        Find(api.GetGenericFontFamilySansSerif, "GdipGetGenericFontFamilySansSerif") &&
        Find(api.GetFamilyName, "GdipGetFamilyName") &&
        Find(api.CreateStringFormat, "GdipCreateStringFormat") &&
        Find(api.DeleteStringFormat, "GdipDeleteStringFormat") &&
        Find(api.AddPathStringI, "GdipAddPathStringI") &&
        Find(api.CreateRegionPath, "GdipCreateRegionPath") &&
        Find(api.DeleteRegion, "GdipDeleteRegion") &&
        Find(api.GetRegionHRgn, "GdipGetRegionHRgn") &&
        Find(api.CreateFromHDC, "GdipCreateFromHDC") &&
        Find(api.DeleteGraphics, "GdipDeleteGraphics") &&
        Find(api.SetInterpolationMode, "GdipSetInterpolationMode") &&
        Find(api.SetSmoothingMode, "GdipSetSmoothingMode");
    return found ? &api : nullptr;
}

} // namespace

const GdiPlusApi* GdiPlusApi::Get() {
    static const GdiPlusApi* const api = Load();
    return api;
}
