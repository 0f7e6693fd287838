#include "app/GlyphFace.h"

#include <cwchar>

using namespace Gdiplus::DllExports;

Gdiplus::GpFontFamily* GlyphFace::Family(const wchar_t* faceName) {
    if (m_family.get() && std::wcsncmp(m_faceName, faceName, LF_FACESIZE) == 0) {
        return m_family.get();
    }
    m_family.reset();
    GdipCreateFontFamilyFromName(faceName, nullptr, m_family.out());
    std::wcsncpy(m_faceName, faceName, LF_FACESIZE - 1);
    m_faceName[LF_FACESIZE - 1] = L'\0';
    return m_family.get();
}

Gdiplus::GpStringFormat* GlyphFace::Format() {
    if (m_format.get() == nullptr) {
        // Wine draws nothing with a null format; this is the same default format.
        GdipCreateStringFormat(0, LANG_NEUTRAL, m_format.out());
    }
    return m_format.get();
}

void GlyphFace::Release() {
    m_family.reset();
    m_format.reset();
}
