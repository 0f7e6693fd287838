#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One registry value below HKEY_CURRENT_USER, as the tests see it.
struct RegValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    DWORD AsDword() const;
};

namespace TestKeys {
// The clock's settings section and the current user's Run key.
inline const wchar_t kSettings[] = L"Software\\SOFTWARE\\ZOREREV\\Vintrel\\SETTINGS";
inline const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

RegValue Read(const wchar_t* path, const wchar_t* name);
void Write(const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size);
void WriteDword(const wchar_t* path, const wchar_t* name, DWORD value);
void Remove(const wchar_t* path, const wchar_t* name);
} // namespace TestKeys

// Keeps the clock's settings values and its Run value as they were before a test, removes
// them for the test, and puts them back afterwards. Keys that did not exist before the test
// are deleted again.
class SavedValues {
public:
    SavedValues();
    ~SavedValues();
    SavedValues(const SavedValues&) = delete;
    SavedValues& operator=(const SavedValues&) = delete;

private:
    struct Entry {
        const wchar_t* path;
        const wchar_t* name;
        RegValue value;
    };
    std::vector<Entry> m_entries;
    // The outermost key of each watched path that did not exist before the test.
    std::vector<std::wstring> m_newKeys;
};
