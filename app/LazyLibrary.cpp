#include "app/LazyLibrary.h"

LazyLibrary::~LazyLibrary() {
    if (m_module) {
        FreeLibrary(m_module);
    }
}

FARPROC LazyLibrary::Address(const char* name) {
    if (m_module == nullptr) {
        m_module = LoadLibraryExW(m_fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        // Windows 7 without its loader update knows no search flags.
        if (m_module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
            m_module = LoadLibraryW(m_fileName);
        }
    }
    return m_module ? GetProcAddress(m_module, name) : nullptr;
}
