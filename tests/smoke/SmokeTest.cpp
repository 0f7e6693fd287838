#include <windows.h>
#include <gtest/gtest.h>

TEST(Smoke, RegistryAndWindowWork) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VintrelSmoke", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VintrelSmoke");
    HWND w = CreateWindowExW(0, L"STATIC", L"x", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, w);
    DestroyWindow(w);
}
