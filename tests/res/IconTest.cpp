#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <iterator>
#include <vector>

#include "res/resource.h"

namespace {

const int kSizes[] = {16, 24, 32, 48, 64, 72, 80, 96, 128, 256};
const DWORD kWhite = 0xFFFFFF;
const DWORD kDial = 0x000064; // RGB(0, 0, 100) as a 32-bpp DIB pixel

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colors;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupEntry) == 14, "RT_GROUP_ICON entries are 14 bytes");

struct Resource {
    const BYTE* data;
    DWORD size;
};

Resource FindIn(LPCWSTR type, int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found)
        return {nullptr, 0};
    return {static_cast<const BYTE*>(LockResource(LoadResource(module, found))),
            SizeofResource(module, found)};
}

std::vector<GroupEntry> Entries(Resource group) {
    GroupHeader header = {};
    if (group.size < sizeof(header))
        return {};
    std::memcpy(&header, group.data, sizeof(header));
    if (header.type != 1 || group.size != sizeof(header) + header.count * sizeof(GroupEntry))
        return {};
    std::vector<GroupEntry> entries(header.count);
    std::memcpy(entries.data(), group.data + sizeof(header), group.size - sizeof(header));
    return entries;
}

bool IsPng(Resource image) {
    static const BYTE kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return image.size > 33 && std::memcmp(image.data, kSignature, sizeof(kSignature)) == 0;
}

DWORD BigEndian(const BYTE* p) {
    return DWORD(p[0]) << 24 | DWORD(p[1]) << 16 | DWORD(p[2]) << 8 | p[3];
}

// The side of a square 32-bpp image: RGBA PNG, or a DIB with its mask below the colours.
// 0 for anything else.
int SquareSide32(Resource image) {
    if (IsPng(image)) {
        const BYTE* ihdr = image.data + 16;
        bool rgba8 = ihdr[8] == 8 && ihdr[9] == 6;
        return rgba8 && BigEndian(ihdr) == BigEndian(ihdr + 4) ? int(BigEndian(ihdr)) : 0;
    }
    BITMAPINFOHEADER header = {};
    if (image.size < sizeof(header))
        return 0;
    std::memcpy(&header, image.data, sizeof(header));
    bool dib32 = header.biSize == sizeof(header) && header.biBitCount == 32;
    return dib32 && header.biHeight == 2 * header.biWidth ? int(header.biWidth) : 0;
}

int IconSide(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return 0;
    BITMAP color = {};
    GetObjectW(info.hbmColor, sizeof(color), &color);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return color.bmWidth == color.bmHeight ? color.bmWidth : 0;
}

// A white square the icon is drawn on, read back as 0xRRGGBB pixels.
class WhiteCanvas {
public:
    explicit WhiteCanvas(int side) : m_side(side) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = side;
        info.bmiHeader.biHeight = -side;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        std::memset(m_bits, 0xFF, size_t(side) * side * 4);
    }
    ~WhiteCanvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    WhiteCanvas(const WhiteCanvas&) = delete;
    WhiteCanvas& operator=(const WhiteCanvas&) = delete;
    bool Draw(HICON icon) {
        BOOL drawn = DrawIconEx(m_dc, 0, 0, icon, m_side, m_side, 0, nullptr, DI_NORMAL);
        GdiFlush();
        return drawn != FALSE;
    }
    DWORD At(int x, int y) const {
        return static_cast<const DWORD*>(m_bits)[y * m_side + x] & 0xFFFFFF;
    }

private:
    int m_side;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

// Loads the group at the given size and checks that the clock mark comes out: the corner
// stays transparent, and the lower left of the face shows the dial colour.
void ExpectIconLoads(int group, int side) {
    SCOPED_TRACE(testing::Message() << "group " << group << " at " << side << " px");
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(group),
                                               IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(side, IconSide(icon));
    WhiteCanvas canvas(side);
    EXPECT_TRUE(canvas.Draw(icon));
    EXPECT_EQ(kWhite, canvas.At(0, 0));
    EXPECT_EQ(kDial, canvas.At(side * 3 / 10, side * 7 / 10));
    DestroyIcon(icon);
}

} // namespace

TEST(IconGroups, TrayGroupIsTheMainGroupsDirectory) {
    Resource main = FindIn(RT_GROUP_ICON, IDR_MAINMENU);
    Resource tray = FindIn(RT_GROUP_ICON, IDI_TRAY);
    ASSERT_NE(nullptr, main.data);
    ASSERT_NE(nullptr, tray.data);
    ASSERT_EQ(main.size, tray.size);
    EXPECT_EQ(0, std::memcmp(main.data, tray.data, main.size));
}

TEST(IconGroups, ListTheTenSizesEachStoredAsA32BppImageOfThatSize) {
    Resource group = FindIn(RT_GROUP_ICON, IDR_MAINMENU);
    std::vector<GroupEntry> entries = Entries(group);
    ASSERT_EQ(std::size(kSizes), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const int side = kSizes[i];
        SCOPED_TRACE(side);
        const GroupEntry& entry = entries[i];
        EXPECT_EQ(side % 256, entry.width);
        EXPECT_EQ(side % 256, entry.height);
        EXPECT_EQ(1, entry.planes);
        EXPECT_EQ(32, entry.bitCount);
        Resource image = FindIn(RT_ICON, entry.id);
        ASSERT_NE(nullptr, image.data);
        EXPECT_EQ(entry.bytes, image.size);
        EXPECT_EQ(side, SquareSide32(image));
        // The small sizes stay DIBs, which every icon loader reads.
        EXPECT_EQ(side >= 48, IsPng(image));
        EXPECT_EQ(entry.id, LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data), TRUE, side,
                                                        side, LR_DEFAULTCOLOR));
    }
}

TEST(IconLoads, BothGroupsDrawTheMarkAtEverySize) {
    for (int group : {IDR_MAINMENU, IDI_TRAY}) {
        for (int side : kSizes)
            ExpectIconLoads(group, side);
    }
}

TEST(IconLoads, ClassAndTrayIconsLoadAtTheSizesTheClockAsksFor) {
    ExpectIconLoads(IDR_MAINMENU, GetSystemMetrics(SM_CXICON));
    ExpectIconLoads(IDR_MAINMENU, GetSystemMetrics(SM_CXSMICON));
    ExpectIconLoads(IDI_TRAY, 16);
}
