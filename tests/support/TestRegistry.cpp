#include "TestRegistry.h"

#include <sddl.h>

#include <cstring>

namespace TestRegistry {

namespace {

HKEY Open(const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

HKEY Create(const std::wstring& path) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}

} // namespace

DWORD StoredValue::AsDword() const {
    DWORD value = 0;
    if (data.size() == sizeof(value)) {
        std::memcpy(&value, data.data(), sizeof(value));
    }
    return value;
}

bool KeyExists(const std::wstring& path) {
    HKEY key = Open(path, KEY_READ);
    if (key) {
        RegCloseKey(key);
    }
    return key != nullptr;
}

std::wstring FirstMissingKey(const std::wstring& path) {
    for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
        std::wstring part = path.substr(0, end);
        if (!KeyExists(part)) {
            return part;
        }
        if (end == std::wstring::npos) {
            return L"";
        }
    }
}

DWORD ValueCount(const std::wstring& path) {
    DWORD count = 0;
    HKEY key = Open(path, KEY_READ);
    if (key) {
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
    }
    return count;
}

StoredValue Query(const std::wstring& path, const std::wstring& name) {
    StoredValue value;
    HKEY key = Open(path, KEY_READ);
    if (!key) {
        return value;
    }
    DWORD size = 0;
    value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (value.status == ERROR_SUCCESS) {
        value.data.resize(size);
        value.status =
            RegQueryValueExW(key, name.c_str(), nullptr, nullptr, value.data.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

void Store(const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
           size_t size) {
    HKEY key = Create(path);
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                   static_cast<DWORD>(size));
    RegCloseKey(key);
}

void Remove(const std::wstring& path, const std::wstring& name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str());
}

void DeleteTree(const std::wstring& path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    HKEY target = Create(to);
    const LONG status = RegCopyTreeW(HKEY_CURRENT_USER, from.c_str(), target);
    RegCloseKey(target);
    return status == ERROR_SUCCESS;
}

StoredValue Setting(const wchar_t* name) {
    return Query(kSettings, name);
}

void StoreSetting(const wchar_t* name, DWORD value) {
    Store(kSettings, name, REG_DWORD, &value, sizeof(value));
}

void StoreSetting(const wchar_t* name, const void* data, size_t size) {
    Store(kSettings, name, REG_BINARY, data, size);
}

void RemoveSetting(const wchar_t* name) {
    Remove(kSettings, name);
}

void CreateWriteProtected(const std::wstring& path) {
    HKEY key = Create(path);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // Deny KEY_SET_VALUE | KEY_CREATE_SUB_KEY, allow everything else.
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x6;;;WD)(A;;KA;;;WD)",
                                                         SDDL_REVISION_1, &descriptor, nullptr);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    RegCloseKey(key);
}

HKEY NextKeyHandle() {
    HKEY key = Open(L"Software", KEY_READ);
    RegCloseKey(key);
    return key;
}

} // namespace TestRegistry
