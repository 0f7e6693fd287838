#pragma once

#include <windows.h>

// A registry location (root and path below the root's "software" key). Every operation
// opens the keys it needs, reads or writes one value of a section, and closes them again.
class SettingsKey {
public:
    SettingsKey(LPCWSTR path, HKEY root);
    ~SettingsKey();

    bool ReadBinary(LPCWSTR section, LPCWSTR valueName, void* buffer, DWORD byteSize);
    DWORD ReadDword(LPCWSTR section, LPCWSTR valueName, DWORD defaultValue);
    bool WriteBinary(LPCWSTR section, LPCWSTR valueName, const void* data, DWORD byteSize);
    bool WriteDword(LPCWSTR section, LPCWSTR valueName, DWORD value);

private:
    HKEY OpenSection(LPCWSTR section);

    HKEY m_root;
    WCHAR m_path[MAX_PATH];
};
