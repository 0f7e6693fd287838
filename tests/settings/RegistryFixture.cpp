#include "RegistryFixture.h"

#include <sddl.h>

namespace TestRegistry {

namespace {

const std::wstring kAsideRoot = L"Software\\VintrelTestAside";

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

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    HKEY target = Create(to);
    const LONG status = RegCopyTreeW(HKEY_CURRENT_USER, from.c_str(), target);
    RegCloseKey(target);
    return status == ERROR_SUCCESS;
}

int g_asideCount = 0;

} // namespace

bool KeyExists(const std::wstring& path) {
    HKEY key = Open(path, KEY_READ);
    if (key) {
        RegCloseKey(key);
    }
    return key != nullptr;
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

void Store(const std::wstring& path, const std::wstring& name, DWORD type,
           const std::vector<BYTE>& data) {
    HKEY key = Create(path);
    RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void DeleteTree(const std::wstring& path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
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

KeyAside::KeyAside(std::wstring path)
    : m_path(std::move(path)), m_backup(kAsideRoot + L"\\" + std::to_wstring(++g_asideCount)),
      m_existed(KeyExists(m_path)) {
    m_moved = m_existed && CopyTree(m_path, m_backup);
    if (m_moved) {
        DeleteTree(m_path);
    }
}

KeyAside::~KeyAside() {
    // A key that could not be copied aside was never touched.
    if (m_existed && !m_moved) {
        return;
    }
    DeleteTree(m_path);
    if (m_moved) {
        CopyTree(m_backup, m_path);
        DeleteTree(m_backup);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, kAsideRoot.c_str());
}

} // namespace TestRegistry
