#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Registry helpers for the tests. Every path is below HKEY_CURRENT_USER.
namespace TestRegistry {

// The clock's settings section and the current user's Run key.
inline const std::wstring kSettings = L"Software\\SOFTWARE\\ZOREREV\\Vintrel\\SETTINGS";
inline const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct StoredValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool Exists() const { return status == ERROR_SUCCESS; }
    // The data as a number; 0 unless it is four bytes long.
    DWORD AsDword() const;
};

bool KeyExists(const std::wstring& path);
// The shortest leading part of the path that names no existing key, or "" when all exist.
std::wstring FirstMissingKey(const std::wstring& path);
DWORD ValueCount(const std::wstring& path);
StoredValue Query(const std::wstring& path, const std::wstring& name);
// Creates the key when needed.
void Store(const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
           size_t size);
inline void Store(const std::wstring& path, const std::wstring& name, DWORD type,
                  const std::vector<BYTE>& data) {
    Store(path, name, type, data.data(), data.size());
}
void Remove(const std::wstring& path, const std::wstring& name);
void DeleteTree(const std::wstring& path);
bool CopyTree(const std::wstring& from, const std::wstring& to);

// A value of the clock's settings section.
StoredValue Setting(const wchar_t* name);
void StoreSetting(const wchar_t* name, DWORD value);
void StoreSetting(const wchar_t* name, const void* data, size_t size);
void RemoveSetting(const wchar_t* name);

// Creates the key (if needed) and denies everyone setting values and creating sub-keys.
void CreateWriteProtected(const std::wstring& path);

// The handle value the next opened key receives. Wine hands out the lowest free handle, so a
// key left open by an operation shows as a different value afterwards.
HKEY NextKeyHandle();

} // namespace TestRegistry
