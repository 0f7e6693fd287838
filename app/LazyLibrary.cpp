#include "app/LazyLibrary.h"

#include <string>

namespace {

// The file's full path in the system folder; empty when that folder cannot be told.
std::wstring InSystemFolder(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length) + L'\\' + fileName;
}

HMODULE LoadFromSystemFolder(const wchar_t* fileName) {
    const std::wstring path = InSystemFolder(fileName);
    if (path.empty()) {
        return nullptr;
    }
    // The DLL's own imports come from the system folder as well.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its loader update knows no search flags; there the DLL's own folder,
    // the system folder, is searched first for its imports, and the program's folder not at all.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return module;
}

} // namespace

LazyLibrary::~LazyLibrary() {
    if (m_module) {
        FreeLibrary(m_module);
    }
}

FARPROC LazyLibrary::Address(const char* name) {
    if (m_module == nullptr) {
        m_module = LoadFromSystemFolder(m_fileName);
    }
    return m_module ? GetProcAddress(m_module, name) : nullptr;
}
