#include "SavedValues.h"

#include <cstring>

DWORD RegValue::AsDword() const {
    DWORD value = 0;
    if (data.size() == sizeof(value)) {
        std::memcpy(&value, data.data(), sizeof(value));
    }
    return value;
}

namespace TestKeys {

RegValue Read(const wchar_t* path, const wchar_t* name) {
    RegValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                     &size) != ERROR_SUCCESS) {
        return value;
    }
    value.data.resize(size);
    value.exists = RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_ANY | RRF_NOEXPAND,
                                &value.type, value.data.data(), &size) == ERROR_SUCCESS;
    value.data.resize(size);
    return value;
}

void Write(const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
}

void WriteDword(const wchar_t* path, const wchar_t* name, DWORD value) {
    Write(path, name, REG_DWORD, &value, sizeof(value));
}

void Remove(const wchar_t* path, const wchar_t* name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, path, name);
}

} // namespace TestKeys

namespace {

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// The shortest leading part of the path that names no existing key, or "" when all exist.
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

} // namespace

SavedValues::SavedValues() {
    for (const wchar_t* path : {TestKeys::kSettings, TestKeys::kRun}) {
        std::wstring missing = FirstMissingKey(path);
        if (!missing.empty()) {
            m_newKeys.push_back(missing);
        }
    }
    for (const wchar_t* name :
         {L"DISPLAYFONT", L"DISPLAYCOLOR", L"DISPLAYTYPE", L"DISPLAYSTRINGS", L"WP"}) {
        m_entries.push_back({TestKeys::kSettings, name, {}});
    }
    m_entries.push_back({TestKeys::kRun, L"Vintrel", {}});
    for (Entry& entry : m_entries) {
        entry.value = TestKeys::Read(entry.path, entry.name);
        TestKeys::Remove(entry.path, entry.name);
    }
}

SavedValues::~SavedValues() {
    for (const Entry& entry : m_entries) {
        TestKeys::Remove(entry.path, entry.name);
        if (entry.value.exists) {
            TestKeys::Write(entry.path, entry.name, entry.value.type, entry.value.data.data(),
                            static_cast<DWORD>(entry.value.data.size()));
        }
    }
    for (const std::wstring& key : m_newKeys) {
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    }
}
