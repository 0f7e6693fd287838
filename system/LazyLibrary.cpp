#include "system/LazyLibrary.h"

namespace {

// Room for the system folder's path and a DLL's file name.
constexpr UINT kPathCapacity = MAX_PATH + 64;

HMODULE LoadFromSystemFolder(const wchar_t* fileName) {
    wchar_t path[kPathCapacity];
    const int folderLength = static_cast<int>(GetSystemDirectoryW(path, MAX_PATH));
    if (folderLength == 0 || folderLength >= MAX_PATH ||
        folderLength + 1 + lstrlenW(fileName) >= static_cast<int>(kPathCapacity)) {
        return nullptr;
    }
    path[folderLength] = L'\\';
    lstrcpyW(path + folderLength + 1, fileName);
    // The DLL's own imports come from the system folder as well.
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its loader update knows no search flags; there the DLL's own folder,
    // the system folder, is searched first for its imports, and the program's folder not at all.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
