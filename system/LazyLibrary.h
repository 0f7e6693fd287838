#pragma once

#include <windows.h>

// A system DLL that is loaded from the system folder, by its full path, the first time one of
// its functions is asked for, and freed with the holder. No other folder is searched for it, so
// a DLL of that name planted beside the program or in its working folder is never loaded.
// Programs that need it only now and then stay lighter while they run, and functions that newer
// Windows versions add are found where they exist.
class LazyLibrary {
public:
    explicit LazyLibrary(const wchar_t* fileName) : m_fileName(fileName) {}
    ~LazyLibrary();
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // The named export as a function pointer of type Pointer, or null when the DLL or the
    // export is missing.
    template <typename Pointer> Pointer Function(const char* name) {
        return reinterpret_cast<Pointer>(reinterpret_cast<void*>(Address(name)));
    }

private:
    FARPROC Address(const char* name);

    const wchar_t* m_fileName;
    HMODULE m_module = nullptr;
};
