#pragma once

#include <windows.h>

// Where the clock keeps its settings, and the names of the stored values.
namespace Settings {
inline constexpr wchar_t kPath[] = L"SOFTWARE\\ZOREREV\\Vintrel";
inline constexpr wchar_t kSection[] = L"SETTINGS";
inline constexpr wchar_t kDisplayFont[] = L"DISPLAYFONT";
inline constexpr wchar_t kDisplayColor[] = L"DISPLAYCOLOR";
inline constexpr wchar_t kDisplayType[] = L"DISPLAYTYPE";
inline constexpr wchar_t kDisplayStrings[] = L"DISPLAYSTRINGS";
inline constexpr wchar_t kWindowPlacement[] = L"WP";
// Whether the clock steps aside for a full-screen program: 0 no, anything else yes.
inline constexpr wchar_t kStepAside[] = L"STEPASIDE";
inline constexpr wchar_t kAutoStartName[] = L"Vintrel";

inline constexpr COLORREF kDefaultColor = 0x00640000;
inline constexpr wchar_t kDefaultFace[] = L"Arial";
} // namespace Settings

// Which times the clock shows.
enum DisplayType : DWORD {
    DisplayBoth = 0,
    DisplayGmtOnly = 1,
    DisplayLocalOnly = 2,
};
