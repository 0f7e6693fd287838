#pragma once

#include <windows.h>

// The program's value under the current user's Run key, read by the system at logon.
class AutoStart {
public:
    bool Add(LPCWSTR valueName);
    bool Remove(LPCWSTR valueName);
};
