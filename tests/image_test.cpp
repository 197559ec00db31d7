// The image store on real files and real GDI objects: the reader against a
// table of files made here and against a public corpus, then palettes, the
// writer, the bitmap conversions and the 8-bit expansion.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <sstream>

#include "support.h"

namespace {

std::string Summary(DibBlock *d, DibError error)
{
    char s[128];
    snprintf(s, sizeof s, "0 %ldx%ldx%lu comp=%lu used=%lu image=%lu len=%lu", long(d ? d->width : 0), long(d ? d->height : 0),
             d ? (unsigned long)d->bitCount : 0, d ? (unsigned long)d->info.biCompression : 0,
             d ? (unsigned long)d->info.biClrUsed : 0, d ? (unsigned long)d->info.biSizeImage : 0,
             d ? (unsigned long)(d->totalSize - DIB_BITS_OFFSET) : 0);
    return d ? s : std::to_string(error);
}

// A block that loaded, against its file: header words, colour entries
// (what lies between header and bits, the rest zero) and bits, byte for
// byte (top-down rows in the other order).
void ExpectAsInFile(DibBlock *d, const Bmp &b, const Bytes &file, const std::string &line)
{
    const BITMAPINFOHEADER &bi = d->info;
    EXPECT_TRUE(d->flags == DIB_FROM_FILE && d->hBitmap == 0 && d->hPalette == 0 && bi.biSize == 40 && bi.biWidth == d->width &&
                bi.biHeight == d->height && bi.biPlanes == 1 && bi.biBitCount == d->bitCount) << line;
    long long room = (b.BitsOffset() - 14 - b["hsize"]) / (b["hsize"] == 12 ? 3 : 4);
    for (int i = 0; i < 256; i++) {
        const RGBQUAD &c = d->colors[i];
        bool fromFile = c.rgbBlue == TableByte(i, 0) && c.rgbGreen == TableByte(i, 1) && c.rgbRed == TableByte(i, 2) && !c.rgbReserved;
        EXPECT_TRUE((i >= (int)bi.biClrUsed || fromFile) && (i < room || *reinterpret_cast<const DWORD *>(&c) == 0))
            << line << ": colour " << i;
    }
    size_t length = d->totalSize - DIB_BITS_OFFSET, row = size_t(b.RowBytes()), wrong = 0;
    ASSERT_LE(b.BitsOffset() + length, file.size()) << line;
    for (size_t n = 0; n < length; n++)
        wrong += DibBits(d)[n] != file[b.BitsOffset() + (b["h"] < 0 ? (size_t(-b["h"]) - 1 - n / row) * row + n % row : n)];
    EXPECT_EQ(0u, wrong) << line;
}

TEST(Reader, EveryCaseOfTheTable)
{
    DibError error = -1;
    EXPECT_TRUE(LoadDib(&error, "no such file.bmp") == nullptr && error == DIB_ERR_OPEN);
    std::vector<std::string> lines = DataLines("reader.txt");
    ASSERT_GT(lines.size(), 70u);
    for (const std::string &line : lines) {
        Bmp b(line.substr(0, line.find('|')));
        ASSERT_TRUE(b.valid) << line;
        Bytes file = b.Build();
        ASSERT_TRUE(WriteBytes("case.bmp", file));
        DibBlock *dib = LoadDib(&error, "case.bmp");
        std::string want = line.substr(line.find('|') + 1);
        EXPECT_EQ(want.substr(want.find_first_not_of(' ')), Summary(dib, error)) << line;
        EXPECT_EQ(dib == nullptr, error != 0) << line;
        if (dib)
            ExpectAsInFile(dib, b, file, line);
        EXPECT_EQ(dib ? 0 : -1, FreeDib(dib)) << line;
        EXPECT_TRUE(DeleteFileA("case.bmp")) << line << ": left open";
    }
}

// Every file of the corpus loads and draws as ImageMagick decodes it, or is
// refused with the code the table gives.
TEST(Reader, Corpus)
{
    std::string corpus = Env("ORB_BMPSUITE"), refs = Env("ORB_REFERENCES");
    if (corpus.empty())
        GTEST_SKIP() << "no BMP corpus";
    std::vector<std::string> lines = DataLines("corpus.txt");
    ASSERT_GE(lines.size(), 89u);
    int drawn = 0;
    for (const std::string &line : lines) {
        std::istringstream fields(line);
        std::string name, reference;
        DibError want, error = -1;
        fields >> name >> want >> reference;
        DibBlock *dib = LoadDib(&error, (corpus + "/" + name).c_str());
        EXPECT_EQ(want, error) << name;
        Rgb decoded;
        if (!dib || !ReadPpm(refs + "/" + (reference.empty() ? name : reference) + ".ppm", &decoded))
            continue;
        // Pixels a run-length stream skips show colour 0, as in ImageMagick.
        const RGBQUAD &c0 = dib->colors[0];
        EXPECT_EQ(0, Differences(decoded, DrawDib(dib, RGB(c0.rgbRed, c0.rgbGreen, c0.rgbBlue)))) << name;
        drawn++;
        FreeDib(dib);
    }
    EXPECT_EQ(40, drawn);
}

DibBlock *Load(const std::string &fields)
{
    DibError error;
    return Bmp(fields).Write("built.bmp") ? LoadDib(&error, "built.bmp") : nullptr;
}

TEST(Palette, MadeFromTheTableAndOwnedByTheBlock)
{
    for (int bits : {1, 4, 8, 24}) {
        DibBlock *dib = Load("w=16 h=4 clrused=2 bits=" + std::to_string(bits));   // colours used play no part
        HPALETTE palette = CreateDibPalette(dib);
        PALETTEENTRY e[256];
        UINT count = palette ? GetPaletteEntries(palette, 0, 256, e) : 0;
        EXPECT_TRUE(count == (bits == 24 ? 0u : 1u << bits) && dib->hPalette == HandleWord(palette) &&
                    dib->flags == DWORD(bits == 24 ? DIB_FROM_FILE : DIB_FROM_FILE | DIB_OWNS_PALETTE)) << bits;
        for (UINT i = 0; i < count; i++)
            EXPECT_TRUE(e[i].peRed == TableByte(i, 2) && e[i].peGreen == TableByte(i, 1) && e[i].peBlue == TableByte(i, 0) && !e[i].peFlags)
                << bits << ": entry " << i;
        // A second call deletes the first palette; freeing deletes the second.
        HPALETTE second = CreateDibPalette(dib);
        EXPECT_TRUE(!palette || GetObjectType(palette) == 0) << bits;
        FreeDib(dib);
        EXPECT_TRUE(!second || GetObjectType(second) == 0) << bits;
    }
    // A palette put there by someone else is replaced, never deleted; an
    // owned one goes even when no new one comes.
    DibBlock *dib = Load("");
    LOGPALETTE one = {0x300, 1, {{1, 2, 3, 0}}};
    HPALETTE foreign = CreatePalette(&one);
    dib->hPalette = HandleWord(foreign);
    HPALETTE own = CreateDibPalette(dib);
    dib->bitCount = 24;
    EXPECT_TRUE(!CreateDibPalette(dib) && !GetObjectType(own) && !dib->hPalette && !(dib->flags & DIB_OWNS_PALETTE));
    FreeDib(dib);
    EXPECT_EQ(DWORD(OBJ_PAL), GetObjectType(foreign));
    DeleteObject(foreign);
}

TEST(Writer, RoundTripsAndRefusals)
{
    // Short tables are written whole, as the reader reads them.
    const struct { int bits; uint32_t offset; const char *table; } cases[] = {
        {1, 62, ""}, {4, 118, ""}, {8, 1078, "entries=20 clrused=20"}, {24, 54, ""}};
    for (const auto &c : cases) {
        DibBlock *dib = Load("w=37 h=11 bits=" + std::to_string(c.bits) + " " + c.table);
        DibError error = -1;
        ASSERT_EQ(0, SaveDib(&error, dib, "saved.bmp"));
        Bytes file = ReadBytes("saved.bmp");
        uint32_t image = dib->info.biSizeImage, size = c.offset + image;
        EXPECT_TRUE(error == 0 && file.size() == size && file[0] == 'B' && file[1] == 'M' && !memcmp(&file[2], &size, 4) &&
                    !memcmp(&file[10], &c.offset, 4) && !memcmp(&file[14], &dib->info, 40)) << c.bits;
        DibBlock *again = LoadDib(&error, "saved.bmp");
        ASSERT_NE(nullptr, again) << c.bits;
        EXPECT_TRUE(!memcmp(&dib->info, &again->info, 40) && !memcmp(dib->colors, again->colors, sizeof dib->colors) &&
                    !memcmp(DibBits(dib), DibBits(again), image)) << c.bits;
        FreeDib(again);
        FreeDib(dib);
    }
    // Nothing is created for a block that cannot be written as it says.
    DibBlock *dib = Load("");
    const struct { const char *name; DWORD image; WORD bits; DibError code; } refused[] = {
        {"no such folder\\saved.bmp", 64, 8, DIB_ERR_OPEN}, {"refused.bmp", 1u << 20, 8, DIB_ERR_BITS}, {"refused.bmp", 64, 16, DIB_ERR_BITCOUNT}};
    for (const auto &r : refused) {
        dib->info.biSizeImage = r.image;
        dib->info.biBitCount = r.bits;
        DibError error = 0;
        EXPECT_TRUE(SaveDib(&error, dib, r.name) == -1 && error == r.code && GetFileAttributesA(r.name) == INVALID_FILE_ATTRIBUTES) << r.code;
    }
    FreeDib(dib);
}

TEST(Bitmaps, ToAndFromDeviceBitmaps)
{
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    DibBlock *dib = Load("w=33 h=17");
    HBITMAP first = DibToBitmap(dib, screen), second = DibToBitmap(dib, screen);
    BITMAP bm = {};
    GetObjectA(second, sizeof bm, &bm);
    EXPECT_TRUE(bm.bmWidth == 33 && bm.bmHeight == 17 && HandleWord(second) == dib->hBitmap && (dib->flags & DIB_OWNS_BITMAP));
    EXPECT_EQ(0u, GetObjectType(first)) << "one bitmap at a time";
    // Back at every bit count: sizes, definite fields, at 24 bits the pixels.
    for (int bits : {1, 4, 8, 24}) {
        DibError error = 777;
        DibBlock *back = DibFromBitmap(&error, bits, second, dc);
        ASSERT_NE(nullptr, back) << bits;
        DWORD image = ((33 * bits + 31) & ~31) / 8 * 17;
        const BITMAPINFOHEADER &bi = back->info;
        EXPECT_TRUE(error == 777 && back->totalSize == 1096 + image && back->flags == 0 && back->hBitmap == 0 && back->width == 33 &&
                    back->height == 17 && back->bitCount == DWORD(bits) && bi.biSizeImage == image && bi.biXPelsPerMeter == 0 &&
                    bi.biClrUsed == (bits == 24 ? 0u : 1u << bits) && bi.biClrImportant == 0) << bits;
        EXPECT_TRUE(bits != 24 || Differences(DrawDib(dib), DrawDib(back)) == 0);
        FreeDib(back);
    }
    FreeDib(dib);
    EXPECT_EQ(0u, GetObjectType(second)) << "freed with its block";
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    const struct { HGDIOBJ object; int bits; DibError code; } refused[] = {
        {nullptr, 8, DIB_ERR_TYPE}, {brush, 8, DIB_ERR_TYPE}, {GetStockObject(DEFAULT_PALETTE), 8, DIB_ERR_TYPE}, {bitmap, 16, DIB_ERR_BITCOUNT}};
    for (const auto &r : refused) {
        DibError error = 0;
        EXPECT_TRUE(!DibFromBitmap(&error, r.bits, static_cast<HBITMAP>(r.object), dc) && error == r.code) << r.code;
    }
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(Expand, EveryFormBecomesEightBitsWithTheSamePixels)
{
    // Run-length streams with a delta inside a row, absolute runs and
    // skipped pixels.
    for (const char *form : {"bits=1 w=37 h=5", "bits=4 w=37 h=5", "bits=8 w=37 h=5",
                             "w=6 h=3 comp=1 px=02,05,00,02,01,00,02,06,00,00,06,07,00,00,00,03,01,02,03,00,00,01",
                             "w=6 h=3 bits=4 comp=2 px=06,1f,00,00,00,03,23,40,02,ab,00,01"}) {
        DibBlock *dib = Load(form);
        DibError error = 0;
        DibBlock *eight = ExpandToEightBits(&error, dib);
        ASSERT_NE(nullptr, eight) << form;
        EXPECT_TRUE(eight->bitCount == 8 && eight->info.biCompression == 0 &&
                    eight->info.biSizeImage == DWORD((dib->width + 3) & ~3) * dib->height) << form;
        // Pixels a run-length stream skips show colour 0.
        const RGBQUAD &c0 = dib->colors[0];
        EXPECT_EQ(0, Differences(DrawDib(dib, RGB(c0.rgbRed, c0.rgbGreen, c0.rgbBlue)), DrawDib(eight, RGB(255, 0, 255)))) << form;
        FreeDib(eight);
        FreeDib(dib);
    }
    // A few bytes claiming 30000 x 30000 pixels get no 900 MB; 24 bits
    // cannot become 8 without loss.
    for (const auto &c : {std::make_pair("w=30000 h=30000 comp=1 px=00,01", DIB_ERR_MEMORY), std::make_pair("bits=24", DIB_ERR_BITCOUNT)}) {
        DibBlock *dib = Load(c.first);
        DibError error = 0;
        EXPECT_TRUE(!ExpandToEightBits(&error, dib) && error == c.second) << c.first;
        FreeDib(dib);
    }
}

}  // namespace
