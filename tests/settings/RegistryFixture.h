#pragma once

#include <windows.h>
#include <string>
#include <vector>

// Registry helpers for the tests. Every path is below HKEY_CURRENT_USER.
namespace TestRegistry {

struct StoredValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

bool KeyExists(const std::wstring& path);
DWORD ValueCount(const std::wstring& path);
StoredValue Query(const std::wstring& path, const std::wstring& name);
void Store(const std::wstring& path, const std::wstring& name, DWORD type,
           const std::vector<BYTE>& data);
void DeleteTree(const std::wstring& path);

// Creates the key (if needed) and denies everyone setting values and creating sub-keys.
void CreateWriteProtected(const std::wstring& path);

// The handle value the next opened key receives. Wine hands out the lowest free handle, so a
// key left open by an operation shows as a different value afterwards.
HKEY NextKeyHandle();

// Moves a key with everything below it out of the way and puts it back exactly on
// destruction, after removing whatever the test left at its place.
class KeyAside {
public:
    explicit KeyAside(std::wstring path);
    ~KeyAside();
    KeyAside(const KeyAside&) = delete;
    KeyAside& operator=(const KeyAside&) = delete;

private:
    std::wstring m_path;
    std::wstring m_backup;
    bool m_existed;
    bool m_moved = false;
};

} // namespace TestRegistry
