#pragma once

#include <windows.h>

#include "app/GdiPlusHandle.h"

// The font family and string format that turn the time text into glyph outlines, kept from
// one paint to the next while the face name stays the same.
class GlyphFace {
public:
    // The family of the named face, looked up again only when the name has changed since the
    // last successful look-up; null when the face is not installed.
    Gdiplus::GpFontFamily* Family(const wchar_t* faceName);
    // The default string format, made at the first use.
    Gdiplus::GpStringFormat* Format();
    // Deletes the family, then the format. GDI+ must still be running.
    void Release();

private:
    GpFontFamilyHandle m_family;
    GpStringFormatHandle m_format;
    WCHAR m_faceName[LF_FACESIZE] = {};
};
