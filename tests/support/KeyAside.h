#pragma once

#include <string>

#include "TestRegistry.h"

namespace TestRegistry {

// Moves a key with everything below it, or one value of it, out of the way and puts it back
// exactly on destruction, after removing whatever the test left at its place. Keys of the path
// that did not exist before are deleted again.
class KeyAside {
public:
    explicit KeyAside(std::wstring path);
    KeyAside(std::wstring path, std::wstring value);
    ~KeyAside();
    KeyAside(const KeyAside&) = delete;
    KeyAside& operator=(const KeyAside&) = delete;

private:
    std::wstring m_path;
    std::wstring m_newKey;
    bool m_wholeKey;
    std::wstring m_value;
    StoredValue m_saved;
    std::wstring m_backup;
    bool m_untouched = false;
};

} // namespace TestRegistry
