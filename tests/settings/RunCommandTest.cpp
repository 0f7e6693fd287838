#include "settings/RunCommand.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct BuildCase {
    std::wstring path;
    std::size_t capacity;
    bool fits;
    std::wstring command;
};

// A path of the given length, with a blank in it when asked.
std::wstring PathOfLength(std::size_t length, bool blank) {
    std::wstring path = blank ? L"C:\\Program Files\\" : L"C:\\Programs\\";
    path.append(length - path.size() - 4, L'x');
    return path + L".exe";
}

} // namespace

TEST(RunCommand, QuotesOnlyPathsWithBlanksAndRefusesWhatDoesNotFit) {
    const std::wstring noBlank1023 = PathOfLength(1023, false);
    const std::wstring blank1021 = PathOfLength(1021, true);
    const std::wstring blank1022 = PathOfLength(1022, true);
    const std::wstring blank1023 = PathOfLength(1023, true);
    const BuildCase cases[] = {
        {L"C:\\Vintrel\\Vintrel.exe", 1024, true, L"C:\\Vintrel\\Vintrel.exe"},
        {L"C:\\Program Files\\Vintrel\\Vintrel.exe", 1024, true,
         L"\"C:\\Program Files\\Vintrel\\Vintrel.exe\""},
        {L"C:\\My Tools\\Clock Apps\\V.exe", 1024, true, L"\"C:\\My Tools\\Clock Apps\\V.exe\""},
        {L"Z:\\a.exe", 9, true, L"Z:\\a.exe"},
        {L"Z:\\a.exe", 8, false, L""},
        {L"Z:\\a b.exe", 13, true, L"\"Z:\\a b.exe\""},
        {L"Z:\\a b.exe", 12, false, L""},
        {noBlank1023, 1024, true, noBlank1023},
        {blank1021, 1024, true, L"\"" + blank1021 + L"\""},
        {blank1022, 1024, false, L""},
        {blank1023, RunCommand::kCapacity, true, L"\"" + blank1023 + L"\""},
    };
    for (const BuildCase& c : cases) {
        std::wstring out(c.capacity, L'?');
        EXPECT_EQ(c.fits, RunCommand::Build(c.path.c_str(), &out[0], c.capacity)) << c.path.size();
        EXPECT_EQ(c.command, std::wstring(out.c_str())) << c.path.size();
    }
}

TEST(RunCommand, ByteCountIncludesTheTerminator) {
    EXPECT_EQ(2u, RunCommand::ByteCount(L""));
    EXPECT_EQ(18u, RunCommand::ByteCount(L"Z:\\a.exe"));
    EXPECT_EQ(26u, RunCommand::ByteCount(L"\"Z:\\a b.exe\""));
    EXPECT_EQ(2048u, RunCommand::ByteCount(PathOfLength(1023, false).c_str()));
}
