// The image store on real files and real GDI objects: the reader against a
// table of files made here and against a public corpus, then palettes, the
// writer, the bitmap conversions and the 8-bit expansion.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <sstream>

#include "support.h"

namespace {

// The screen, and a memory device context for the conversions.
HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);

std::string Summary(DibBlock *d, DibError error)
{
    char s[128];
    snprintf(s, sizeof s, "0 %ldx%ldx%lu comp=%lu used=%lu image=%lu len=%lu", long(d ? d->width : 0), long(d ? d->height : 0),
             d ? (unsigned long)d->bitCount : 0, d ? (unsigned long)d->info.biCompression : 0,
             d ? (unsigned long)d->info.biClrUsed : 0, d ? (unsigned long)d->info.biSizeImage : 0,
             d ? (unsigned long)(d->totalSize - DIB_BITS_OFFSET) : 0);
    return d ? s : std::to_string(error);
}

// A block that loaded, against its file: header words, colour entries (the
// file's for every colour used; beyond them the file's, the filler of a gap
// before the bits, or zero) and bits, byte for byte (top-down rows in the
// other order).
void ExpectAsInFile(DibBlock *d, const Bmp &b, const Bytes &file, const std::string &line)
{
    const BITMAPINFOHEADER &bi = d->info;
    EXPECT_TRUE(d->hBitmap == 0 && d->hPalette == 0 && bi.biSize == 40 && bi.biWidth == d->width && bi.biHeight == d->height &&
                bi.biPlanes == 1 && bi.biBitCount == d->bitCount) << line;
    for (int i = 0; i < 256; i++) {
        DWORD word = *reinterpret_cast<const DWORD *>(&d->colors[i]);
        bool fromFile = word == DWORD(TableByte(i, 0) | TableByte(i, 1) << 8 | TableByte(i, 2) << 16);
        EXPECT_TRUE(fromFile || (i >= (int)bi.biClrUsed && (word == 0 || (word & 0xFFFFFF) == 0xCCCCCC))) << line << ": colour " << i;
    }
    size_t length = d->totalSize - DIB_BITS_OFFSET, row = size_t(b.RowBytes()), wrong = 0;
    ASSERT_LE(b.BitsOffset() + length, file.size()) << line;
    for (size_t n = 0; n < length; n++)
        wrong += DibBits(d)[n] != file[b.BitsOffset() + (b["h"] < 0 ? (size_t(-b["h"]) - 1 - n / row) * row + n % row : n)];
    EXPECT_EQ(0u, wrong) << line;
}

// Every store operation on a block that loaded: a palette of all 2, 16 or
// 256 entries of its table; the writer's file, read back to the same block;
// a device bitmap and the 8-bit expansion, both with the same pixels as
// the block drawn (where a run-length stream skips pixels, they show
// colour 0 in the expansion and nothing defined in the bitmap).
void ExpectStoreKeeps(DibBlock *d, const std::string &line)
{
    HPALETTE palette = CreateDibPalette(d);
    PALETTEENTRY e[256];
    UINT count = palette ? GetPaletteEntries(palette, 0, 256, e) : 0;
    EXPECT_TRUE(count == (d->bitCount == 24 ? 0u : 1u << d->bitCount) && HandleWord(palette) == d->hPalette) << line;
    for (UINT i = 0; i < count; i++)
        EXPECT_TRUE(e[i].peRed == d->colors[i].rgbRed && e[i].peGreen == d->colors[i].rgbGreen && e[i].peBlue == d->colors[i].rgbBlue &&
                    !e[i].peFlags) << line << ": entry " << i;
    DibError error = -1;
    ASSERT_EQ(0, SaveDib(&error, d, "saved.bmp")) << line;
    Bytes file = ReadBytes("saved.bmp");
    // Headers and a full table: 2, 16, 256 or no colours.
    uint32_t offset = d->bitCount == 1 ? 62 : d->bitCount == 4 ? 118 : d->bitCount == 8 ? 1078 : 54, size = offset + d->info.biSizeImage;
    DibBlock *again = LoadDib(&error, "saved.bmp");
    EXPECT_TRUE(error == 0 && file.size() == size && !memcmp(&file[2], &size, 4) && !memcmp(&file[10], &offset, 4) && again &&
                !memcmp(&again->info, &d->info, 40) && !memcmp(again->colors, d->colors, sizeof d->colors) &&
                !memcmp(DibBits(again), DibBits(d), d->info.biSizeImage)) << line << ": written and read again";
    const RGBQUAD &c0 = d->colors[0];
    Rgb drawn = DrawDib(d, RGB(c0.rgbRed, c0.rgbGreen, c0.rgbBlue));
    DibBlock *back = DibFromBitmap(&error, 24, DibToBitmap(d, screen), dc), *eight = ExpandToEightBits(&error, d);
    EXPECT_TRUE(d->info.biCompression || (back && Differences(drawn, DrawDib(back)) == 0)) << line << ": through a device bitmap";
    EXPECT_TRUE(d->bitCount == 24 || (eight && eight->bitCount == 8 && !eight->info.biCompression &&
                                      Differences(drawn, DrawDib(eight, RGB(255, 0, 255))) == 0)) << line << ": expanded";
    for (DibBlock *block : {again, back, eight})
        FreeDib(block);
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
        if (dib) {
            ExpectAsInFile(dib, b, file, line);
            ExpectStoreKeeps(dib, line);
        }
        HGDIOBJ owned[] = {dib ? DibPalette(dib) : nullptr, dib ? DibBitmap(dib) : nullptr};
        EXPECT_EQ(dib ? 0 : -1, FreeDib(dib)) << line;
        EXPECT_TRUE(!GetObjectType(owned[0]) && !GetObjectType(owned[1])) << line << ": freed with the block";
        EXPECT_TRUE(DeleteFileA("case.bmp")) << line << ": left open";
    }
}

// Every file of the corpus is refused with the code the table gives, or loads
// and draws as ImageMagick decodes it, or the file the table names instead.
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
        Bytes decoded = dib ? ReadBytes(refs + "/" + (reference.empty() ? name : reference) + ".rgb") : Bytes();
        if (decoded.empty())
            continue;
        // Pixels a run-length stream skips show colour 0, as in ImageMagick.
        const RGBQUAD &c0 = dib->colors[0];
        EXPECT_EQ(0, Differences(Rgb{dib->width, dib->height, decoded}, DrawDib(dib, RGB(c0.rgbRed, c0.rgbGreen, c0.rgbBlue)))) << name;
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

// What the table's files do not show: a bitmap back at each bit count, the
// writer's and the expansion's refusals.
TEST(Store, BitCountsAndRefusals)
{
    // A device bitmap drawn with colours every depth keeps (black and white;
    // red and blue from 4 bits on) comes back pixel for pixel, with the
    // fields an 8 x 8 file of that depth has.
    const struct { int bits; DWORD image, used; } depths[] = {{1, 32, 2}, {4, 32, 16}, {8, 64, 256}, {24, 192, 0}};
    const COLORREF kept[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 255)};
    for (const auto &d : depths) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
        HGDIOBJ old = SelectObject(dc, bitmap);
        Rgb want = {8, 8, {}};
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) {
                COLORREF c = kept[(x * 3 + y) % (d.bits == 1 ? 2 : 4)];
                SetPixel(dc, x, y, c);
                want.px.insert(want.px.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
            }
        SelectObject(dc, old);
        DibError error = 777;
        DibBlock *back = DibFromBitmap(&error, d.bits, bitmap, dc);
        ASSERT_NE(nullptr, back) << d.bits;
        EXPECT_TRUE(error == 777 && back->totalSize == 1096 + d.image && !back->flags && !back->hBitmap && back->bitCount == DWORD(d.bits) &&
                    back->info.biSizeImage == d.image && back->info.biClrUsed == d.used && !back->info.biXPelsPerMeter) << d.bits;
        EXPECT_EQ(0, Differences(want, DrawDib(back))) << d.bits;
        FreeDib(back);
        DeleteObject(bitmap);
    }
    // Refused blocks leave no file.
    DibBlock *dib = Load("");
    const struct { const char *name; DWORD image; WORD bits; DibError code; } unwritten[] = {
        {"no such folder\\saved.bmp", 64, 8, DIB_ERR_OPEN}, {"refused.bmp", 1u << 20, 8, DIB_ERR_BITS}, {"refused.bmp", 64, 16, DIB_ERR_BITCOUNT}};
    for (const auto &r : unwritten) {
        dib->info.biSizeImage = r.image;
        dib->info.biBitCount = r.bits;
        DibError error = 0;
        EXPECT_TRUE(SaveDib(&error, dib, r.name) == -1 && error == r.code &&
                    (r.code == DIB_ERR_OPEN || GetFileAttributesA(r.name) == INVALID_FILE_ATTRIBUTES)) << r.code;
    }
    FreeDib(dib);
    // A few bytes claiming 30000 x 30000 pixels get no 900 MB; 24 bits
    // cannot become 8 without loss.
    for (const auto &c : {std::make_pair("w=30000 h=30000 comp=1 px=00,01", DIB_ERR_MEMORY), std::make_pair("bits=24", DIB_ERR_BITCOUNT)}) {
        DibBlock *claim = Load(c.first);
        DibError error = 0;
        EXPECT_TRUE(!ExpandToEightBits(&error, claim) && error == c.second) << c.first;
        FreeDib(claim);
    }
}

}  // namespace
