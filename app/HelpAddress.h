#pragma once

#include <string>

// The help page on the maker's web site.
namespace HelpAddress {
inline constexpr wchar_t kSite[] = L"https://www.zorerev.com";
inline constexpr wchar_t kHelpPath[] = L"/Vintrel/helpVintrel.html";

inline std::wstring HelpPage() {
    return std::wstring(kSite) + kHelpPath;
}
} // namespace HelpAddress
