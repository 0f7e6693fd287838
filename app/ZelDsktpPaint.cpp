#include "app/ZelDsktp.h"

#include "app/ClockFace.h"
#include "app/GdiPlusHandle.h"
#include "app/PaintScope.h"
#include "app/SolidBrush.h"
#include "settings/SettingsNames.h"

static_assert(sizeof(WINDOWINFO) == 60, "the window information record");

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// GDI+'s own sans-serif family's name. GDI+ may keep that family for the whole run, so the
// program never deletes it.
bool GenericSansSerifFace(const GdiPlusApi& gdiPlus, wchar_t (&face)[LF_FACESIZE]) {
    Gdiplus::GpFontFamily* generic = nullptr;
    return gdiPlus.GetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok &&
           gdiPlus.GetFamilyName(generic, face, LANG_NEUTRAL) == Gdiplus::Ok;
}

// The face Windows' font mapper picks for a bold sans-serif TrueType font.
void MappedSansSerifFace(wchar_t (&face)[LF_FACESIZE]) {
    LOGFONTW request{};
    request.lfWeight = FW_BOLD;
    request.lfCharSet = DEFAULT_CHARSET;
    request.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    request.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&request);
    face[0] = L'\0';
    if (dc && font) {
        HGDIOBJ previous = SelectObject(dc, font);
        GetTextFaceW(dc, LF_FACESIZE, face);
        SelectObject(dc, previous);
    }
    if (font) {
        DeleteObject(font);
    }
    if (dc) {
        DeleteDC(dc);
    }
}

// The face that stands in where neither the chosen face nor the default one is installed:
// GDI+'s sans-serif family, or where that is missing too (Wine without Arial) the font mapper's
// choice. Found once per run.
const wchar_t* StandInFace(const GdiPlusApi& gdiPlus) {
    static wchar_t face[LF_FACESIZE] = {};
    static bool found = false;
    if (!found) {
        found = true;
        if (!GenericSansSerifFace(gdiPlus, face)) {
            MappedSansSerifFace(face);
        }
    }
    return face;
}

bool CreateFamilyOf(const GdiPlusApi& gdiPlus, const wchar_t* face,
                    Gdiplus::GpFontFamily** family) {
    if (*face && gdiPlus.CreateFontFamilyFromName(face, nullptr, family) == Gdiplus::Ok) {
        return true;
    }
    *family = nullptr;
    return false;
}

// The family of the chosen face, or of the first stand-in that is installed: the clock always
// shows the time, and the chosen face, which stays stored, is used again once it is installed.
void CreateFamily(const GdiPlusApi& gdiPlus, const wchar_t* faceName,
                  Gdiplus::GpFontFamily** family) {
    if (!CreateFamilyOf(gdiPlus, faceName, family) &&
        !CreateFamilyOf(gdiPlus, Settings::kDefaultFace, family)) {
        CreateFamilyOf(gdiPlus, StandInFace(gdiPlus), family);
    }
}

void AddLine(const GdiPlusApi& gdiPlus, Gdiplus::GpPath* path, Gdiplus::GpFontFamily* family,
             Gdiplus::GpStringFormat* format, const ClockFace::LinePlan& line, bool withSuffix,
             float emSize) {
    SYSTEMTIME time;
    if (line.source == ClockFace::TimeSource::Local) {
        GetLocalTime(&time);
    } else {
        GetSystemTime(&time);
    }
    wchar_t text[ClockFace::kTextCapacity];
    int length = ClockFace::FormatLine(text, ClockFace::kTextCapacity, line.source, withSuffix,
                                       time.wHour, time.wMinute, time.wSecond);
    Gdiplus::Rect layout(line.x, line.y, 0, 0);
    gdiPlus.AddPathStringI(path, text, length, family, Gdiplus::FontStyleBold, emSize, &layout,
                           format);
}

// The outline of the time text, in client coordinates, at the height `h`.
HRGN GlyphRegion(const GdiPlusApi& gdiPlus, HWND hwnd, const wchar_t* faceName,
                 DisplayType displayType, bool withSuffix, int h) {
    GpStringFormatHandle format;
    GpPathHandle path;
    GpFontFamilyHandle family;
    GpRegionHandle region;
    gdiPlus.CreatePath(Gdiplus::FillModeAlternate, path.out());
    CreateFamily(gdiPlus, faceName, family.out());
    // Wine draws nothing with a null format; this is the same default format.
    gdiPlus.CreateStringFormat(0, LANG_NEUTRAL, format.out());
    ClockFace::LinePlan lines[2];
    const int count = ClockFace::PlanLines(displayType, h, lines);
    const float emSize = ClockFace::EmSize(h);
    for (int i = 0; i < count; ++i) {
        AddLine(gdiPlus, path.get(), family.get(), format.get(), lines[i], withSuffix, emSize);
    }
    gdiPlus.CreateRegionPath(path.get(), region.out());

    HRGN glyphs = nullptr;
    HDC dc = GetDC(hwnd);
    {
        GpGraphicsHandle graphics;
        gdiPlus.CreateFromHDC(dc, graphics.out());
        gdiPlus.SetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        gdiPlus.SetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeHighQuality);
        gdiPlus.GetRegionHRgn(region.get(), graphics.get(), &glyphs);
    }
    ReleaseDC(hwnd, dc);
    return glyphs;
}

} // namespace

// Every repaint: the time text becomes a glyph region that clips the window (transparent)
// or is filled on white (framed). The window region is set before BeginPaint, which clips the
// paint to the update region as it finds it: set during the paint, a grown outline's new parts
// would stay unpainted until another paint, which nothing promises.
LRESULT ZelDsktp::OnPaint() {
    const GdiPlusApi* gdiPlus = GdiPlusApi::Get();
    if (gdiPlus == nullptr) {
        ValidateRect(m_hWnd, nullptr);
        return 0;
    }
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int h = client.bottom;
    if (m_hRegion) {
        DeleteObject(m_hRegion);
    }
    m_hRegion = GlyphRegion(*gdiPlus, m_hWnd, m_faceName, m_displayType, m_showSuffix != 0, h);

    if (m_shaped) {
        RECT window{};
        GetWindowRect(m_hWnd, &window);
        WINDOWINFO info{};
        info.cbSize = sizeof(info);
        GetWindowInfo(m_hWnd, &info);
        ClipToGlyphs(ClockFace::RegionOffsetY(window.top, window.bottom,
                                              static_cast<int>(info.cyWindowBorders), h));
    } else {
        SetWindowRgn(m_hWnd, nullptr, TRUE);
    }
    PaintScope paint(m_hWnd);
    SolidBrush colorBrush(m_color);
    if (m_shaped) {
        FillRect(paint.dc(), &client, colorBrush.get());
    } else {
        PaintFramed(paint.dc(), client, colorBrush.get());
    }
    return 0;
}

// The window takes the glyph region, moved down by `offsetY` to window coordinates.
void ZelDsktp::ClipToGlyphs(int offsetY) {
    if (m_hRegion) {
        OffsetRgn(m_hRegion, 0, offsetY);
    }
    if (SetWindowRgn(m_hWnd, m_hRegion, TRUE)) {
        m_hRegion = nullptr;
    }
}

void ZelDsktp::PaintFramed(HDC dc, const RECT& client, HBRUSH colorBrush) {
    {
        SolidBrush white(kWhite);
        FillRect(dc, &client, white.get());
    }
    if (m_hRegion) {
        FillRgn(dc, m_hRegion, colorBrush);
    }
}
