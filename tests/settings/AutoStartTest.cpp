#include "settings/AutoStart.h"
#include "tests/support/KeyAside.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace TestRegistry;

namespace {

const wchar_t kValueName[] = L"VintrelAutoStartTest";

std::vector<BYTE> Bytes(const std::wstring& text) {
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return bytes;
}

// What the Run value must hold for this test program.
std::wstring ExpectedCommand() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring text = path;
    return text.find(L' ') == std::wstring::npos ? text : L"\"" + text + L"\"";
}

class AutoStartTest : public ::testing::Test {
protected:
    void TearDown() override { Remove(kRun, kValueName); }

    AutoStart m_autoStart;
};

} // namespace

TEST_F(AutoStartTest, AddWritesTheExecutablePathAndOverwritesAnOldOne) {
    Store(kRun, kValueName, REG_EXPAND_SZ, Bytes(L"C:\\Old Place\\Vintrel.exe"));
    ASSERT_TRUE(m_autoStart.Add(kValueName));
    const StoredValue value = Query(kRun, kValueName);
    EXPECT_EQ(DWORD{REG_SZ}, value.type);
    EXPECT_EQ(Bytes(ExpectedCommand()), value.data);
}

TEST_F(AutoStartTest, RemoveDeletesTheValueOnlyOnce) {
    ASSERT_TRUE(m_autoStart.Add(kValueName));
    EXPECT_TRUE(m_autoStart.Remove(kValueName));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Query(kRun, kValueName).status);
    EXPECT_FALSE(m_autoStart.Remove(kValueName));
    EXPECT_TRUE(KeyExists(kRun));
}

TEST_F(AutoStartTest, MissingRunKeyIsNeverCreated) {
    KeyAside aside(kRun);
    ASSERT_FALSE(KeyExists(kRun));
    EXPECT_FALSE(m_autoStart.Add(kValueName));
    EXPECT_FALSE(m_autoStart.Remove(kValueName));
    EXPECT_FALSE(KeyExists(kRun));
}

TEST_F(AutoStartTest, RefusedWriteReturnsFalse) {
    KeyAside aside(kRun);
    CreateWriteProtected(kRun);
    EXPECT_FALSE(m_autoStart.Add(kValueName));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Query(kRun, kValueName).status);
}

TEST_F(AutoStartTest, ClosesTheRunKeyOnEveryPath) {
    const HKEY before = NextKeyHandle();
    m_autoStart.Add(kValueName);
    m_autoStart.Remove(kValueName);
    m_autoStart.Remove(kValueName);
    {
        KeyAside aside(kRun);
        CreateWriteProtected(kRun);
        m_autoStart.Add(kValueName);
    }
    EXPECT_EQ(before, NextKeyHandle());
}
