#include "settings/RunCommand.h"

#include <cwchar>

namespace RunCommand {

bool Build(const wchar_t* path, wchar_t* out, std::size_t capacity) {
    const std::size_t length = std::wcslen(path);
    const bool quoted = std::wcschr(path, L' ') != nullptr;
    const std::size_t needed = length + (quoted ? 2 : 0) + 1;
    if (needed > capacity) {
        if (capacity > 0) {
            out[0] = L'\0';
        }
        return false;
    }
    wchar_t* end = out;
    if (quoted) {
        *end++ = L'"';
    }
    std::wmemcpy(end, path, length);
    end += length;
    if (quoted) {
        *end++ = L'"';
    }
    *end = L'\0';
    return true;
}

DWORD ByteCount(const wchar_t* text) {
    return static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
}

} // namespace RunCommand
