#include "app/LazyLibrary.h"

LazyLibrary::~LazyLibrary() {
    if (m_module) {
        FreeLibrary(m_module);
    }
}

FARPROC LazyLibrary::Address(const char* name) {
    if (m_module == nullptr) {
        m_module = LoadLibraryW(m_fileName);
    }
    return m_module ? GetProcAddress(m_module, name) : nullptr;
}
