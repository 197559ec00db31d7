// Palettes, the BMP writer, device-bitmap conversions and the expansion to
// 8 bits, on real GDI objects and real files.
#include <gtest/gtest.h>
#include <string.h>

#include "image/dib.h"
#include "support/bmp_builder.h"
#include "support/pixels.h"

namespace {

DibBlock *LoadBuilt(const BmpBuilder &b, const char *name)
{
    if (!WriteFileBytes(name, b.Build()))
        return nullptr;
    DibError error;
    return LoadDib(&error, name);
}

BmpBuilder Picture(uint16_t bits, int32_t width, int32_t height)
{
    BmpBuilder b;
    b.bitCount = bits;
    b.width = width;
    b.height = height;
    return b;
}

TEST(CreateDibPalette, EntriesFollowTheBitCount)
{
    for (uint16_t bits : {1, 4, 8}) {
        BmpBuilder b = Picture(bits, 16, 4);
        b.colorsUsed = 2;   // plays no part
        b.tableEntries = 1 << bits;
        b.bits.assign(b.RowBytes() * 4, 0);
        DibBlock *dib = LoadBuilt(b, "palette.bmp");
        ASSERT_NE(nullptr, dib);
        HPALETTE palette = CreateDibPalette(dib);
        ASSERT_NE(nullptr, palette);
        EXPECT_EQ(HandleWord(palette), dib->hPalette);
        EXPECT_EQ(DIB_FROM_FILE | DIB_OWNS_PALETTE, dib->flags);
        PALETTEENTRY entries[256];
        UINT count = GetPaletteEntries(palette, 0, 256, entries);
        EXPECT_EQ(1u << bits, count);
        for (UINT i = 0; i < count; i++) {
            EXPECT_EQ(BmpBuilder::TableByte(i, 2), entries[i].peRed) << i;
            EXPECT_EQ(BmpBuilder::TableByte(i, 1), entries[i].peGreen) << i;
            EXPECT_EQ(BmpBuilder::TableByte(i, 0), entries[i].peBlue) << i;
            EXPECT_EQ(0, entries[i].peFlags);
        }
        EXPECT_EQ(0, FreeDib(dib));
        EXPECT_EQ(0u, GetObjectType(palette)) << "freed with its block";
    }
}

TEST(CreateDibPalette, ReplacesOnlyWhatItOwns)
{
    DibBlock *dib = LoadBuilt(Picture(8, 4, 4), "palette.bmp");
    ASSERT_NE(nullptr, dib);
    HPALETTE first = CreateDibPalette(dib);
    HPALETTE second = CreateDibPalette(dib);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0u, GetObjectType(first)) << "the owned palette is deleted first";
    EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(second));

    // A palette put there by someone else, flag clear, is only replaced.
    FreeDib(dib);
    dib = LoadBuilt(Picture(8, 4, 4), "palette.bmp");
    ASSERT_NE(nullptr, dib);
    LOGPALETTE one = {0x300, 1, {{1, 2, 3, 0}}};
    HPALETTE foreign = CreatePalette(&one);
    dib->hPalette = HandleWord(foreign);
    HPALETTE own = CreateDibPalette(dib);
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(foreign));
    EXPECT_EQ(HandleWord(own), dib->hPalette);
    FreeDib(dib);
    EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(foreign));
    DeleteObject(foreign);
}

TEST(CreateDibPalette, TwentyFourBitBlockGetsNone)
{
    DibBlock *dib = LoadBuilt(Picture(24, 4, 4), "rgb.bmp");
    ASSERT_NE(nullptr, dib);
    EXPECT_EQ(nullptr, CreateDibPalette(dib));
    EXPECT_EQ(0u, dib->hPalette);
    dib->bitCount = 8;   // an owned palette goes even when no new one comes
    HPALETTE owned = CreateDibPalette(dib);
    ASSERT_NE(nullptr, owned);
    dib->bitCount = 24;
    EXPECT_EQ(nullptr, CreateDibPalette(dib));
    EXPECT_EQ(0u, GetObjectType(owned));
    EXPECT_EQ(0u, dib->flags & DIB_OWNS_PALETTE);
    EXPECT_EQ(0u, dib->hPalette);
    FreeDib(dib);
}

TEST(SaveDib, RoundTripsEveryBitCount)
{
    struct Case { uint16_t bits; uint32_t offset; } cases[] = {{1, 62}, {4, 118}, {8, 1078}, {24, 54}};
    for (const Case &c : cases) {
        BmpBuilder b = Picture(c.bits, 37, 11);
        DibBlock *dib = LoadBuilt(b, "source.bmp");
        ASSERT_NE(nullptr, dib);
        DibError error = -1;
        ASSERT_EQ(0, SaveDib(&error, dib, "saved.bmp")) << c.bits;
        EXPECT_EQ(0, error);
        std::vector<uint8_t> file = ReadFileBytes("saved.bmp");
        uint32_t image = dib->info.biSizeImage;
        ASSERT_EQ(c.offset + image, file.size()) << c.bits;
        EXPECT_EQ(c.offset + image, file[2] | file[3] << 8 | file[4] << 16 | uint32_t(file[5]) << 24);
        EXPECT_EQ(c.offset, uint32_t(file[10] | file[11] << 8));
        DibBlock *again = LoadDib(&error, "saved.bmp");
        ASSERT_NE(nullptr, again) << error;
        EXPECT_EQ(0, memcmp(&dib->info, &again->info, 40));
        EXPECT_EQ(0, memcmp(dib->colors, again->colors, sizeof dib->colors));
        EXPECT_EQ(0, memcmp(DibBits(dib), DibBits(again), image));
        FreeDib(again);
        FreeDib(dib);
    }
}

TEST(SaveDib, RefusesWhatItCannotWrite)
{
    DibBlock *dib = LoadBuilt(Picture(8, 8, 8), "source.bmp");
    ASSERT_NE(nullptr, dib);
    DibError error = 0;
    EXPECT_EQ(-1, SaveDib(&error, dib, "no such folder\\saved.bmp"));
    EXPECT_EQ(DIB_ERR_OPEN, error);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("no such folder\\saved.bmp"));
    // An image size beyond the block's bits is never written from it.
    DeleteFileA("lying.bmp");
    dib->info.biSizeImage = 1u << 20;
    EXPECT_EQ(-1, SaveDib(&error, dib, "lying.bmp"));
    EXPECT_EQ(DIB_ERR_BITS, error);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("lying.bmp"));
    FreeDib(dib);
}

class BitmapTest : public ::testing::Test {
protected:
    HDC screen = nullptr, dc = nullptr;
    void SetUp() override
    {
        screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
    }
    void TearDown() override
    {
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
};

TEST_F(BitmapTest, DibToBitmapOwnsOneBitmapAtATime)
{
    DibBlock *dib = LoadBuilt(Picture(8, 20, 10), "source.bmp");
    ASSERT_NE(nullptr, dib);
    HBITMAP first = DibToBitmap(dib, screen);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(HandleWord(first), dib->hBitmap);
    EXPECT_TRUE(dib->flags & DIB_OWNS_BITMAP);
    BITMAP bm;
    ASSERT_EQ(int(sizeof bm), GetObjectA(first, sizeof bm, &bm));
    EXPECT_EQ(20, bm.bmWidth);
    EXPECT_EQ(10, bm.bmHeight);
    HBITMAP second = DibToBitmap(dib, screen);
    EXPECT_EQ(0u, GetObjectType(first));
    FreeDib(dib);
    EXPECT_EQ(0u, GetObjectType(second));
}

TEST_F(BitmapTest, DibFromBitmapSizesAndDefiniteFields)
{
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 50);
    struct Case { int bits; DWORD rowBytes; } cases[] = {{1, 16}, {4, 52}, {8, 100}, {24, 300}};
    for (const Case &c : cases) {
        DibError error = 777;
        DibBlock *dib = DibFromBitmap(&error, c.bits, bitmap, dc);
        ASSERT_NE(nullptr, dib) << c.bits;
        EXPECT_EQ(777, error) << "left alone on success";
        EXPECT_EQ(1096 + c.rowBytes * 50, dib->totalSize);
        EXPECT_EQ(0u, dib->flags);
        EXPECT_EQ(0u, dib->hBitmap);
        EXPECT_EQ(100, dib->width);
        EXPECT_EQ(50, dib->height);
        EXPECT_EQ(DWORD(c.bits), dib->bitCount);
        EXPECT_EQ(c.rowBytes * 50, dib->info.biSizeImage);
        EXPECT_EQ(0, dib->info.biXPelsPerMeter);
        EXPECT_EQ(c.bits == 24 ? 0u : 1u << c.bits, dib->info.biClrUsed);
        EXPECT_EQ(0u, dib->info.biClrImportant);
        EXPECT_EQ(0, SaveDib(&error, dib, "frombitmap.bmp"));
        DibBlock *again = LoadDib(&error, "frombitmap.bmp");
        ASSERT_NE(nullptr, again) << c.bits << ": " << error;
        EXPECT_EQ(0, memcmp(DibBits(dib), DibBits(again), dib->info.biSizeImage));
        FreeDib(again);
        FreeDib(dib);
    }
    HBITMAP odd = CreateCompatibleBitmap(screen, 101, 3);
    DibError error = 0;
    DibBlock *dib = DibFromBitmap(&error, 8, odd, dc);
    ASSERT_NE(nullptr, dib);
    EXPECT_EQ(1096u + 104 * 3, dib->totalSize);
    FreeDib(dib);
    DeleteObject(odd);
    DeleteObject(bitmap);
}

TEST_F(BitmapTest, DibFromBitmapRefusesWhatIsNoBitmap)
{
    HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ notBitmaps[] = {nullptr, palette, brush, reinterpret_cast<HGDIOBJ>(0x12345678)};
    for (HGDIOBJ h : notBitmaps) {
        DibError error = 0;
        EXPECT_EQ(nullptr, DibFromBitmap(&error, 8, static_cast<HBITMAP>(h), dc));
        EXPECT_EQ(DIB_ERR_TYPE, error);
    }
    DeleteObject(brush);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    DibError error = 0;
    EXPECT_EQ(nullptr, DibFromBitmap(&error, 16, bitmap, dc));
    EXPECT_EQ(DIB_ERR_BITCOUNT, error);
    DeleteObject(bitmap);
}

// Through a device bitmap and back at 24 bits, a picture keeps its pixels.
TEST_F(BitmapTest, TwentyFourBitRoundTripKeepsThePixels)
{
    DibBlock *dib = LoadBuilt(Picture(8, 33, 17), "source.bmp");
    ASSERT_NE(nullptr, dib);
    HBITMAP bitmap = DibToBitmap(dib, screen);
    ASSERT_NE(nullptr, bitmap);
    DibError error = 0;
    DibBlock *rgb = DibFromBitmap(&error, 24, bitmap, dc);
    ASSERT_NE(nullptr, rgb);
    EXPECT_EQ(0, CountDifferences(DrawDib(dib, 0), DrawDib(rgb, 0)));
    FreeDib(rgb);
    FreeDib(dib);
}

TEST(ExpandToEightBits, SamePixelsEveryForm)
{
    std::vector<BmpBuilder> forms = {Picture(1, 37, 5), Picture(4, 37, 5), Picture(8, 37, 5)};
    BmpBuilder rle8 = Picture(8, 6, 3);
    rle8.compression = BI_RLE8;
    rle8.bits = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 1, 9, 0, 1};
    BmpBuilder rle4 = Picture(4, 6, 3);
    rle4.compression = BI_RLE4;
    rle4.bits = {6, 0x1F, 0, 0, 0, 3, 0x23, 0x40, 2, 0xAB, 0, 1};
    forms.push_back(rle8);
    forms.push_back(rle4);
    for (const BmpBuilder &b : forms) {
        DibBlock *dib = LoadBuilt(b, "expand.bmp");
        ASSERT_NE(nullptr, dib) << b.bitCount << "/" << b.compression;
        DibError error = 0;
        DibBlock *eight = ExpandToEightBits(&error, dib);
        ASSERT_NE(nullptr, eight) << error;
        EXPECT_EQ(8u, eight->bitCount);
        EXPECT_EQ(0u, eight->info.biCompression);
        EXPECT_EQ(DWORD((b.width + 3) & ~3) * b.height, eight->info.biSizeImage);
        // Pixels a run-length stream skips show colour 0.
        const RGBQUAD &c0 = dib->colors[0];
        COLORREF fill = RGB(c0.rgbRed, c0.rgbGreen, c0.rgbBlue);
        EXPECT_EQ(0, CountDifferences(DrawDib(dib, fill), DrawDib(eight, RGB(255, 0, 255)))) << b.bitCount << "/" << b.compression;
        FreeDib(eight);
        FreeDib(dib);
    }
    // Ten bytes of run-length stream claiming 30000 x 30000 pixels: not
    // 900 MB of memory.
    BmpBuilder huge = Picture(8, 30000, 30000);
    huge.compression = BI_RLE8;
    huge.bits = {0, 1};
    DibBlock *claim = LoadBuilt(huge, "huge.bmp");
    ASSERT_NE(nullptr, claim);
    DibError error = 0;
    EXPECT_EQ(nullptr, ExpandToEightBits(&error, claim));
    EXPECT_EQ(DIB_ERR_MEMORY, error);
    FreeDib(claim);
    DibBlock *rgb = LoadBuilt(Picture(24, 4, 4), "rgb.bmp");
    ASSERT_NE(nullptr, rgb);
    EXPECT_EQ(nullptr, ExpandToEightBits(&error, rgb));
    EXPECT_EQ(DIB_ERR_BITCOUNT, error);
    FreeDib(rgb);
}

}  // namespace
