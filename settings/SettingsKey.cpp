#include "settings/SettingsKey.h"

#include "settings/RegKey.h"

namespace {

// KEY_READ | KEY_WRITE for every key of the settings location.
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
static_assert(kAccess == 0x2001F, "settings keys are opened for reading and writing");

HKEY CreateSubKey(HKEY parent, LPCWSTR name) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// The user's standard Software key is only opened; the program's path below it is created.
HKEY CreatePathKey(HKEY root, LPCWSTR path) {
    HKEY software = nullptr;
    if (RegOpenKeyExW(root, L"software", 0, kAccess, &software) != ERROR_SUCCESS) {
        return nullptr;
    }
    RegKey softwareKey(software);
    return CreateSubKey(softwareKey.Get(), path);
}

} // namespace

SettingsKey::SettingsKey(LPCWSTR path, HKEY root) : m_root(root) {
    m_path[0] = L'\0';
    if (path) {
        lstrcpynW(m_path, path, MAX_PATH);
    }
}

SettingsKey::~SettingsKey() {}

HKEY SettingsKey::OpenSection(LPCWSTR section) {
    RegKey pathKey(CreatePathKey(m_root, m_path));
    if (!pathKey) {
        return nullptr;
    }
    return CreateSubKey(pathKey.Get(), section);
}

bool SettingsKey::ReadBinary(LPCWSTR section, LPCWSTR valueName, void* buffer, DWORD byteSize) {
    RegKey key(OpenSection(section));
    if (!key) {
        return false;
    }
    DWORD type = 0;
    DWORD size = byteSize;
    return RegQueryValueExW(key.Get(), valueName, nullptr, &type, static_cast<BYTE*>(buffer),
                            &size) == ERROR_SUCCESS;
}

DWORD SettingsKey::ReadDword(LPCWSTR section, LPCWSTR valueName, DWORD defaultValue) {
    RegKey key(OpenSection(section));
    if (!key) {
        return defaultValue;
    }
    // Data shorter than 4 bytes fills the low-order bytes and leaves the others zero.
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        return defaultValue;
    }
    return value;
}

bool SettingsKey::WriteBinary(LPCWSTR section, LPCWSTR valueName, const void* data,
                              DWORD byteSize) {
    RegKey key(OpenSection(section));
    if (!key) {
        return false;
    }
    RegSetValueExW(key.Get(), valueName, 0, REG_BINARY, static_cast<const BYTE*>(data), byteSize);
    return true;
}

bool SettingsKey::WriteDword(LPCWSTR section, LPCWSTR valueName, DWORD value) {
    RegKey key(OpenSection(section));
    if (!key) {
        return false;
    }
    RegSetValueExW(key.Get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
    return true;
}
