#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"
#include "tests/support/KeyAside.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace TestRegistry;

namespace {

const wchar_t kTestPath[] = L"VintrelSettingsTest\\Store";
const std::wstring kTestTop = L"Software\\VintrelSettingsTest";
const std::wstring kTestSection = kTestTop + L"\\Store\\SETTINGS";
constexpr DWORD kDefault = 0xDEADBEEF;

class SettingsKeyTest : public ::testing::Test {
protected:
    void TearDown() override {
        DeleteTree(kTestTop);
        EXPECT_FALSE(KeyExists(kTestTop));
    }

    void StoreRaw(const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
        Store(kTestSection, name, type, data);
    }

    SettingsKey m_key{kTestPath, HKEY_CURRENT_USER};
};

} // namespace

TEST(SettingsKeyCleanProfile, GivesEveryDefaultAndLeavesAnEmptySection) {
    KeyAside aside(L"Software\\SOFTWARE");
    ASSERT_FALSE(KeyExists(L"Software\\SOFTWARE"));
    SettingsKey key(Settings::kPath, HKEY_CURRENT_USER);
    LOGFONTW font;
    std::memset(&font, 0x5A, sizeof(font));
    RECT rect = {1, 2, 3, 4};
    EXPECT_FALSE(key.ReadBinary(Settings::kSection, Settings::kDisplayFont, &font, sizeof(font)));
    EXPECT_EQ(0x5A5A5A5Au, static_cast<DWORD>(font.lfHeight));
    EXPECT_EQ(Settings::kDefaultColor,
              key.ReadDword(Settings::kSection, Settings::kDisplayColor, Settings::kDefaultColor));
    EXPECT_EQ(DWORD{DisplayBoth},
              key.ReadDword(Settings::kSection, Settings::kDisplayType, DisplayBoth));
    EXPECT_EQ(1u, key.ReadDword(Settings::kSection, Settings::kDisplayStrings, 1));
    EXPECT_FALSE(
        key.ReadBinary(Settings::kSection, Settings::kWindowPlacement, &rect, sizeof(rect)));
    EXPECT_EQ(4, rect.bottom);
    EXPECT_TRUE(KeyExists(L"Software\\SOFTWARE\\ZOREREV\\Vintrel\\SETTINGS"));
    EXPECT_EQ(0u, ValueCount(L"Software\\SOFTWARE\\ZOREREV\\Vintrel\\SETTINGS"));
}

TEST_F(SettingsKeyTest, ReadDwordTakesAnyTypeWhoseDataFitsFourBytes) {
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
        DWORD expected;
    };
    const Case cases[] = {
        {L"BINARY4", REG_BINARY, {0x11, 0x22, 0x33, 0x44}, 0x44332211},
        {L"DWORD", REG_DWORD, {0x11, 0x22, 0x33, 0x44}, 0x44332211},
        {L"QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, kDefault},
        {L"BINARY5", REG_BINARY, {1, 2, 3, 4, 5}, kDefault},
        {L"BINARY3", REG_BINARY, {0xAB, 0xCD, 0xEF}, 0x00EFCDAB},
        {L"BINARY2", REG_BINARY, {0xAB, 0xCD}, 0x0000CDAB},
        {L"BINARY1", REG_BINARY, {0xAB}, 0x000000AB},
        {L"EMPTY", REG_BINARY, {}, 0},
    };
    for (const Case& c : cases) {
        StoreRaw(c.name, c.type, c.data);
    }
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, m_key.ReadDword(Settings::kSection, c.name, kDefault)) << c.name;
    }
    EXPECT_EQ(kDefault, m_key.ReadDword(Settings::kSection, L"MISSING", kDefault));
}

TEST_F(SettingsKeyTest, ReadBinaryFillsOnlyWhatIsStoredAndRefusesWhatDoesNotFit) {
    BYTE buffer[92];
    std::memset(buffer, 0xCC, sizeof(buffer));
    StoreRaw(Settings::kDisplayFont, REG_BINARY, std::vector<BYTE>(100, 0x11));
    EXPECT_FALSE(m_key.ReadBinary(Settings::kSection, Settings::kDisplayFont, buffer, 92));

    StoreRaw(Settings::kDisplayFont, REG_BINARY, std::vector<BYTE>(40, 0x22));
    std::memset(buffer, 0xCC, sizeof(buffer));
    ASSERT_TRUE(m_key.ReadBinary(Settings::kSection, Settings::kDisplayFont, buffer, 92));
    for (int i = 0; i < 92; ++i) {
        EXPECT_EQ(i < 40 ? 0x22 : 0xCC, buffer[i]) << i;
    }

    std::memset(buffer, 0xCC, sizeof(buffer));
    EXPECT_FALSE(m_key.ReadBinary(Settings::kSection, L"MISSING", buffer, 92));
    EXPECT_EQ(0xCC, buffer[0]);
}

TEST_F(SettingsKeyTest, WritesStoreTypedValuesThatReadBack) {
    const RECT rect = {-10, 20, 300, 400};
    EXPECT_TRUE(
        m_key.WriteBinary(Settings::kSection, Settings::kWindowPlacement, &rect, sizeof(rect)));
    EXPECT_TRUE(m_key.WriteDword(Settings::kSection, Settings::kDisplayType, DisplayLocalOnly));
    EXPECT_TRUE(m_key.WriteDword(Settings::kSection, Settings::kDisplayType, 7));

    const StoredValue wp = Query(kTestSection, Settings::kWindowPlacement);
    EXPECT_EQ(DWORD{REG_BINARY}, wp.type);
    ASSERT_EQ(16u, wp.data.size());
    const StoredValue type = Query(kTestSection, Settings::kDisplayType);
    EXPECT_EQ(DWORD{REG_DWORD}, type.type);
    EXPECT_EQ((std::vector<BYTE>{7, 0, 0, 0}), type.data);

    RECT read = {};
    ASSERT_TRUE(
        m_key.ReadBinary(Settings::kSection, Settings::kWindowPlacement, &read, sizeof(read)));
    EXPECT_EQ(0, std::memcmp(&rect, &read, sizeof(rect)));
    EXPECT_EQ(7u, m_key.ReadDword(Settings::kSection, Settings::kDisplayType, 0));
}

TEST_F(SettingsKeyTest, NullPathPutsTheSectionDirectlyUnderSoftware) {
    const std::wstring section = L"Software\\VintrelNullPathTest";
    SettingsKey key(nullptr, HKEY_CURRENT_USER);
    EXPECT_TRUE(key.WriteDword(L"VintrelNullPathTest", Settings::kDisplayColor, 0x123456));
    EXPECT_EQ((std::vector<BYTE>{0x56, 0x34, 0x12, 0}),
              Query(section, Settings::kDisplayColor).data);
    EXPECT_EQ(0x123456u, key.ReadDword(L"VintrelNullPathTest", Settings::kDisplayColor, 0));
    DeleteTree(section);
}

TEST_F(SettingsKeyTest, DeniedPathGivesDefaultsAndRefusesWrites) {
    StoreRaw(Settings::kDisplayColor, REG_DWORD, {5, 0, 0, 0});
    CreateWriteProtected(kTestTop + L"\\Store");
    const DWORD value = 9;
    BYTE buffer[4] = {};
    EXPECT_EQ(kDefault, m_key.ReadDword(Settings::kSection, Settings::kDisplayColor, kDefault));
    EXPECT_FALSE(m_key.ReadBinary(Settings::kSection, Settings::kDisplayColor, buffer, 4));
    EXPECT_FALSE(m_key.WriteDword(Settings::kSection, Settings::kDisplayColor, value));
    EXPECT_FALSE(m_key.WriteBinary(Settings::kSection, Settings::kDisplayColor, &value, 4));
    EXPECT_EQ((std::vector<BYTE>{5, 0, 0, 0}), Query(kTestSection, Settings::kDisplayColor).data);
}

TEST_F(SettingsKeyTest, RootWithoutSoftwareKeyCreatesNothing) {
    const std::wstring rootPath = kTestTop + L"\\Root";
    Store(rootPath, L"marker", REG_DWORD, {0, 0, 0, 0});
    HKEY root = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, rootPath.c_str(), 0, KEY_ALL_ACCESS, &root));
    SettingsKey key(L"Path", root);
    EXPECT_EQ(kDefault, key.ReadDword(Settings::kSection, Settings::kDisplayType, kDefault));
    EXPECT_FALSE(key.WriteDword(Settings::kSection, Settings::kDisplayType, 1));
    RegCloseKey(root);
    EXPECT_FALSE(KeyExists(rootPath + L"\\software"));
}

TEST_F(SettingsKeyTest, ClosesEveryKeyOnEveryPath) {
    StoreRaw(Settings::kDisplayFont, REG_BINARY, std::vector<BYTE>(100, 0));
    CreateWriteProtected(kTestTop + L"\\DeniedPath");
    CreateWriteProtected(kTestTop + L"\\DeniedSection\\SETTINGS");
    SettingsKey deniedPath(L"VintrelSettingsTest\\DeniedPath", HKEY_CURRENT_USER);
    SettingsKey deniedSection(L"VintrelSettingsTest\\DeniedSection", HKEY_CURRENT_USER);
    BYTE buffer[92];
    const HKEY before = NextKeyHandle();
    for (SettingsKey* key : {&m_key, &deniedPath, &deniedSection}) {
        key->ReadBinary(Settings::kSection, Settings::kDisplayFont, buffer, sizeof(buffer));
        key->ReadBinary(Settings::kSection, L"MISSING", buffer, sizeof(buffer));
        key->ReadDword(Settings::kSection, Settings::kDisplayType, 0);
        key->WriteBinary(Settings::kSection, Settings::kWindowPlacement, buffer, 16);
        key->WriteDword(Settings::kSection, Settings::kDisplayType, 1);
    }
    EXPECT_EQ(before, NextKeyHandle());
}
