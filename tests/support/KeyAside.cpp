#include "KeyAside.h"

namespace TestRegistry {

namespace {

const std::wstring kAsideRoot = L"Software\\VintrelTestAside";
int g_asideCount = 0;

} // namespace

KeyAside::KeyAside(std::wstring path)
    : m_path(std::move(path)), m_newKey(FirstMissingKey(m_path)), m_wholeKey(true) {
    if (!m_newKey.empty()) {
        return;
    }
    m_backup = kAsideRoot + L"\\" + std::to_wstring(++g_asideCount);
    if (CopyTree(m_path, m_backup)) {
        DeleteTree(m_path);
    } else {
        // A key that cannot be copied aside is left alone.
        DeleteTree(m_backup);
        m_untouched = true;
    }
}

KeyAside::KeyAside(std::wstring path, std::wstring value)
    : m_path(std::move(path)), m_newKey(FirstMissingKey(m_path)), m_wholeKey(false),
      m_value(std::move(value)), m_saved(Query(m_path, m_value)) {
    Remove(m_path, m_value);
}

KeyAside::~KeyAside() {
    if (m_untouched) {
        return;
    }
    if (m_wholeKey) {
        DeleteTree(m_path);
    } else {
        Remove(m_path, m_value);
    }
    if (m_saved.Exists()) {
        Store(m_path, m_value, m_saved.type, m_saved.data);
    }
    if (!m_backup.empty()) {
        CopyTree(m_backup, m_path);
        DeleteTree(m_backup);
        RegDeleteKeyW(HKEY_CURRENT_USER, kAsideRoot.c_str());
    }
    if (!m_newKey.empty()) {
        DeleteTree(m_newKey);
    }
}

} // namespace TestRegistry
