// The BMP reader on files made here: every failure code, the exact block of
// a sound file, and files whose sizes do not add up.
#include <gtest/gtest.h>
#include <string.h>

#include "image/dib.h"
#include "support/bmp_builder.h"

namespace {

struct Loaded {
    DibBlock *dib = nullptr;
    DibError error = -12345;
    ~Loaded() { FreeDib(dib); }
};

void LoadBytes(const std::vector<uint8_t> &bytes, Loaded *out, const char *name = "case.bmp")
{
    ASSERT_TRUE(WriteFileBytes(name, bytes));
    out->dib = LoadDib(&out->error, name);
}

DibError ErrorFor(const std::vector<uint8_t> &bytes)
{
    Loaded l;
    LoadBytes(bytes, &l);
    EXPECT_EQ(l.dib == nullptr, l.error != 0);
    // The file was closed on every way out: it can be deleted and rewritten.
    EXPECT_TRUE(DeleteFileA("case.bmp"));
    return l.error;
}

DibError ErrorFor(const BmpBuilder &b) { return ErrorFor(b.Build()); }

// The block's bits equal the file's from its bits offset on.
void ExpectBitsAsInFile(DibBlock *dib, const std::vector<uint8_t> &file, uint32_t offset, uint32_t length)
{
    ASSERT_GE(dib->totalSize, 1096 + length);
    ASSERT_LE(offset + length, file.size());
    EXPECT_EQ(0, memcmp(DibBits(dib), file.data() + offset, length));
}

TEST(LoadDib, FailureCodesInFileOrder)
{
    DibError error = -1;
    EXPECT_EQ(nullptr, LoadDib(&error, "no such file.bmp"));
    EXPECT_EQ(DIB_ERR_OPEN, error);

    std::vector<uint8_t> sound = BmpBuilder().Build();
    EXPECT_EQ(DIB_ERR_FILEHEADER, ErrorFor(std::vector<uint8_t>(sound.begin(), sound.begin() + 13)));
    std::vector<uint8_t> notBm = sound;
    notBm[0] = 'M';
    notBm[1] = 'B';
    EXPECT_EQ(DIB_ERR_TYPE, ErrorFor(notBm));
    EXPECT_EQ(DIB_ERR_TYPE, ErrorFor(std::vector<uint8_t>(14, 'x')));
    EXPECT_EQ(DIB_ERR_INFOHEADER, ErrorFor(std::vector<uint8_t>(sound.begin(), sound.begin() + 14 + 39)));

    for (uint16_t planes : {0, 2}) {
        BmpBuilder b;
        b.planes = planes;
        EXPECT_EQ(DIB_ERR_PLANES, ErrorFor(b)) << planes;
    }
    for (uint16_t bits : {0, 2, 16, 32}) {
        BmpBuilder b;
        b.bitCount = bits;
        b.tableEntries = 0;
        b.bits.assign(256, 0);
        EXPECT_EQ(DIB_ERR_BITCOUNT, ErrorFor(b)) << bits;
    }
    for (uint32_t compression : {3, 4, 5}) {
        BmpBuilder b;
        b.compression = compression;
        EXPECT_EQ(DIB_ERR_COMPRESSION, ErrorFor(b)) << compression;
    }
    BmpBuilder shortTable;
    shortTable.truncateTo = 14 + 40 + 1000;
    EXPECT_EQ(DIB_ERR_COLORTABLE, ErrorFor(shortTable));
    // Ends after the colour table, before the size its file header states.
    BmpBuilder shortBits;
    shortBits.width = 40;
    shortBits.height = 40;
    shortBits.truncateTo = shortBits.BitsOffset() + 100;
    EXPECT_EQ(DIB_ERR_BITS, ErrorFor(shortBits));
}

TEST(LoadDib, CoreHeaderChecks)
{
    BmpBuilder core;
    core.headerSize = 12;
    core.planes = 2;
    EXPECT_EQ(DIB_ERR_PLANES, ErrorFor(core));
    core.planes = 1;
    core.bitCount = 16;
    core.tableEntries = 0;
    EXPECT_EQ(DIB_ERR_BITCOUNT, ErrorFor(core));
    // A core file needs 40 bytes behind its file header, like any other.
    BmpBuilder tiny;
    tiny.headerSize = 12;
    tiny.bitCount = 1;
    tiny.width = 1;
    tiny.height = 1;
    tiny.tableEntries = 2;
    tiny.bits.assign(4, 0);
    std::vector<uint8_t> bytes = tiny.Build();
    ASSERT_LT(bytes.size(), 14u + 40u);
    EXPECT_EQ(DIB_ERR_INFOHEADER, ErrorFor(bytes));
}

TEST(LoadDib, SoundEightBitFileGivesTheFileByteForByte)
{
    BmpBuilder b;
    b.width = 101;
    b.height = 10;
    b.imageSize = 104 * 10;
    b.colorsUsed = 256;
    std::vector<uint8_t> file = b.Build();
    Loaded l;
    LoadBytes(file, &l);
    ASSERT_NE(nullptr, l.dib);
    EXPECT_EQ(0, l.error);
    DibBlock *d = l.dib;
    EXPECT_EQ(4u, d->flags);
    EXPECT_EQ(0u, d->hBitmap);
    EXPECT_EQ(0u, d->hPalette);
    EXPECT_EQ(101, d->width);
    EXPECT_EQ(10, d->height);
    EXPECT_EQ(8u, d->bitCount);
    EXPECT_EQ(file.size() - b.BitsOffset() + 1096, d->totalSize);
    EXPECT_EQ(0, memcmp(&d->info, file.data() + 14, 40));
    EXPECT_EQ(0, memcmp(d->colors, file.data() + 54, 1024));
    ExpectBitsAsInFile(d, file, b.BitsOffset(), 1040);
    // The handle word leads back to this very block.
    EXPECT_EQ(static_cast<void *>(d), GlobalLock(GlobalHandle(d)));
    GlobalUnlock(GlobalHandle(d));
}

TEST(LoadDib, FillsImageSizeAndColoursUsed)
{
    BmpBuilder b;
    b.width = 101;
    b.height = 10;
    Loaded l;
    LoadBytes(b.Build(), &l);
    ASSERT_NE(nullptr, l.dib);
    EXPECT_EQ(1040u, l.dib->info.biSizeImage);
    EXPECT_EQ(256u, l.dib->info.biClrUsed);

    BmpBuilder rgb;
    rgb.bitCount = 24;
    rgb.width = 5;
    rgb.height = 3;
    std::vector<uint8_t> file = rgb.Build();
    Loaded l24;
    LoadBytes(file, &l24);
    ASSERT_NE(nullptr, l24.dib);
    EXPECT_EQ(0u, l24.dib->info.biClrUsed);
    EXPECT_EQ(16u * 3, l24.dib->info.biSizeImage);
    EXPECT_EQ(24u, l24.dib->bitCount);
    ExpectBitsAsInFile(l24.dib, file, 54, 48);
}

TEST(LoadDib, CoreHeaderBecomesInfoHeader)
{
    BmpBuilder b;
    b.headerSize = 12;
    b.bitCount = 4;
    b.width = 9;
    b.height = 5;
    std::vector<uint8_t> file = b.Build();
    Loaded l;
    LoadBytes(file, &l);
    ASSERT_NE(nullptr, l.dib);
    const BITMAPINFOHEADER &bi = l.dib->info;
    EXPECT_EQ(40u, bi.biSize);
    EXPECT_EQ(9, bi.biWidth);
    EXPECT_EQ(5, bi.biHeight);
    EXPECT_EQ(1, bi.biPlanes);
    EXPECT_EQ(4, bi.biBitCount);
    EXPECT_EQ(0u, bi.biCompression);
    EXPECT_EQ(8u * 5, bi.biSizeImage);
    EXPECT_EQ(16u, bi.biClrUsed);
    EXPECT_EQ(0, bi.biXPelsPerMeter);
    EXPECT_EQ(0u, bi.biClrImportant);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(BmpBuilder::TableByte(i, 0), l.dib->colors[i].rgbBlue);
        EXPECT_EQ(BmpBuilder::TableByte(i, 1), l.dib->colors[i].rgbGreen);
        EXPECT_EQ(BmpBuilder::TableByte(i, 2), l.dib->colors[i].rgbRed);
        EXPECT_EQ(0, l.dib->colors[i].rgbReserved);
    }
    for (int i = 16; i < 256; i++)
        EXPECT_EQ(0u, *reinterpret_cast<DWORD *>(&l.dib->colors[i])) << i;
    ExpectBitsAsInFile(l.dib, file, b.BitsOffset(), 40);

    BmpBuilder rgb;
    rgb.headerSize = 12;
    rgb.bitCount = 24;
    rgb.width = 5;
    rgb.height = 4;
    Loaded l24;
    LoadBytes(rgb.Build(), &l24);
    ASSERT_NE(nullptr, l24.dib);
    EXPECT_EQ(0u, l24.dib->info.biClrUsed);
    EXPECT_EQ(24u, l24.dib->bitCount);
}

// A table shorter than the bit count allows: the entries the file has, the
// rest zero, and the bits from where the file puts them.
TEST(LoadDib, ShortColourTables)
{
    BmpBuilder b;
    b.tableEntries = 20;
    b.colorsUsed = 20;
    b.width = 12;
    b.height = 12;
    std::vector<uint8_t> file = b.Build();
    Loaded l;
    LoadBytes(file, &l);
    ASSERT_NE(nullptr, l.dib);
    EXPECT_EQ(20u, l.dib->info.biClrUsed);
    EXPECT_EQ(0, memcmp(l.dib->colors, file.data() + 54, 80));
    for (int i = 20; i < 256; i++)
        EXPECT_EQ(0u, *reinterpret_cast<DWORD *>(&l.dib->colors[i])) << i;
    ExpectBitsAsInFile(l.dib, file, b.BitsOffset(), 144);

    BmpBuilder core;
    core.headerSize = 12;
    core.tableEntries = 200;
    core.width = 12;
    core.height = 12;
    file = core.Build();
    Loaded lc;
    LoadBytes(file, &lc);
    ASSERT_NE(nullptr, lc.dib);
    EXPECT_EQ(200u, lc.dib->info.biClrUsed);
    EXPECT_EQ(BmpBuilder::TableByte(199, 2), lc.dib->colors[199].rgbRed);
    EXPECT_EQ(0u, *reinterpret_cast<DWORD *>(&lc.dib->colors[200]));
    ExpectBitsAsInFile(lc.dib, file, core.BitsOffset(), 144);

    // More colours used than the bit count allows: the full table only.
    BmpBuilder over;
    over.bitCount = 4;
    over.colorsUsed = 300;
    Loaded lo;
    LoadBytes(over.Build(), &lo);
    ASSERT_NE(nullptr, lo.dib);
    EXPECT_EQ(16u, lo.dib->info.biClrUsed);
}

// Larger headers are read for their first 40 bytes; the block holds 40.
TEST(LoadDib, LargerHeadersAndGapsBeforeTheBits)
{
    for (uint32_t size : {52u, 56u, 64u, 108u, 124u}) {
        BmpBuilder b;
        b.headerSize = size;
        b.colorsUsed = 252;
        b.tableEntries = 252;
        b.gap = 17;
        b.width = 13;
        b.height = 7;
        std::vector<uint8_t> file = b.Build();
        Loaded l;
        LoadBytes(file, &l);
        ASSERT_NE(nullptr, l.dib) << size;
        EXPECT_EQ(40u, l.dib->info.biSize);
        EXPECT_EQ(0, memcmp(l.dib->colors, file.data() + 14 + size, 252 * 4)) << size;
        ExpectBitsAsInFile(l.dib, file, b.BitsOffset(), 16 * 7);
    }
    BmpBuilder odd;
    odd.headerSize = 16;   // neither a core nor a full info header
    EXPECT_EQ(DIB_ERR_INFOHEADER, ErrorFor(odd));
}

TEST(LoadDib, BitsLongerThanOneChunk)
{
    // 16384 bytes of bits take one read, one byte more a second one.
    for (int32_t height : {16, 64}) {
        for (int extra : {0, 1}) {
            BmpBuilder b;
            b.width = 1024;
            b.height = height;
            std::vector<uint8_t> file = b.Build();
            if (extra)
                file.push_back(0x5A);   // trailing byte the file size counts
            file[2] = uint8_t(file.size());
            file[3] = uint8_t(file.size() >> 8);
            file[4] = uint8_t(file.size() >> 16);
            Loaded l;
            LoadBytes(file, &l);
            ASSERT_NE(nullptr, l.dib);
            uint32_t length = uint32_t(file.size()) - b.BitsOffset();
            EXPECT_EQ(1096 + length, l.dib->totalSize);
            ExpectBitsAsInFile(l.dib, file, b.BitsOffset(), length);
        }
    }
}

// Whatever the sizes say, the block holds every row the drawing code reads.
TEST(LoadDib, FileSizeFieldThatDoesNotAddUp)
{
    for (int64_t field : {int64_t(0), int64_t(54), int64_t(1078), int64_t(1100)}) {
        BmpBuilder b;
        b.width = 30;
        b.height = 20;
        b.fileSizeField = field;
        std::vector<uint8_t> file = b.Build();
        Loaded l;
        LoadBytes(file, &l);
        ASSERT_NE(nullptr, l.dib) << field;
        EXPECT_EQ(1096u + 32 * 20, l.dib->totalSize) << field;
        ExpectBitsAsInFile(l.dib, file, b.BitsOffset(), 32 * 20);
    }
    BmpBuilder huge;
    huge.fileSizeField = 0xFFFFFFF0u;
    EXPECT_EQ(DIB_ERR_BITS, ErrorFor(huge));

    BmpBuilder wrongImageSize;
    wrongImageSize.imageSize = 0x7FFFFFF0u;
    Loaded l;
    LoadBytes(wrongImageSize.Build(), &l);
    ASSERT_NE(nullptr, l.dib);
    EXPECT_EQ(64u, l.dib->info.biSizeImage);
}

TEST(LoadDib, DimensionsThatDescribeNoPicture)
{
    struct Case { int32_t width, height; DibError error; } cases[] = {
        {0, 8, DIB_ERR_INFOHEADER},        {-8, 8, DIB_ERR_INFOHEADER},
        {8, 0, DIB_ERR_INFOHEADER},        {70000, 8, DIB_ERR_INFOHEADER},
        {8, 70000, DIB_ERR_INFOHEADER},    {8, -70000, DIB_ERR_INFOHEADER},
        {INT32_MIN, 1, DIB_ERR_INFOHEADER}, {1, INT32_MIN, DIB_ERR_INFOHEADER},
        {65535, 65535, DIB_ERR_BITS},      // rows far beyond the file's bytes
    };
    for (const Case &c : cases) {
        BmpBuilder b;
        b.width = c.width;
        b.height = c.height;
        b.bits.assign(64, 1);
        EXPECT_EQ(c.error, ErrorFor(b)) << c.width << " x " << c.height;
    }
    // Rows of the stated size that the file does not hold in full.
    BmpBuilder b;
    b.width = 16;
    b.height = 16;
    b.bits.assign(16 * 15, 1);
    EXPECT_EQ(DIB_ERR_BITS, ErrorFor(b));
    BmpBuilder core;
    core.headerSize = 12;
    core.width = 0;
    EXPECT_EQ(DIB_ERR_INFOHEADER, ErrorFor(core));
}

TEST(LoadDib, TopDownRowsAreStoredBottomUp)
{
    BmpBuilder b;
    b.width = 6;
    b.height = -3;
    b.bits = {1, 1, 1, 1, 1, 1, 0, 0, 2, 2, 2, 2, 2, 2, 0, 0, 3, 3, 3, 3, 3, 3, 0, 0};
    Loaded l;
    LoadBytes(b.Build(), &l);
    ASSERT_NE(nullptr, l.dib);
    EXPECT_EQ(3, l.dib->height);
    EXPECT_EQ(3, l.dib->info.biHeight);
    const BYTE *bits = DibBits(l.dib);
    EXPECT_EQ(3, bits[0]);
    EXPECT_EQ(2, bits[8]);
    EXPECT_EQ(1, bits[16]);

    BmpBuilder rle;
    rle.height = -8;
    rle.compression = 1;
    rle.bits = {0, 1};
    EXPECT_EQ(DIB_ERR_COMPRESSION, ErrorFor(rle));
}

TEST(LoadDib, PixelsNamingColoursTheTableLacks)
{
    BmpBuilder b;
    b.tableEntries = 10;
    b.colorsUsed = 10;
    b.width = 4;
    b.height = 1;
    b.bits = {0, 9, 3, 9};
    Loaded l;
    LoadBytes(b.Build(), &l);
    EXPECT_NE(nullptr, l.dib);
    b.bits = {0, 9, 10, 9};
    EXPECT_EQ(DIB_ERR_COLORTABLE, ErrorFor(b));
    // Row padding is no pixel.
    b.width = 3;
    b.bits = {0, 9, 3, 200};
    Loaded padded;
    LoadBytes(b.Build(), &padded);
    EXPECT_NE(nullptr, padded.dib);
}

TEST(LoadDib, RunLengthBitsKeepTheirStream)
{
    BmpBuilder b;
    b.width = 4;
    b.height = 2;
    b.compression = 1;
    b.bits = {4, 9, 0, 0, 4, 7, 0, 1};
    std::vector<uint8_t> file = b.Build();
    Loaded l;
    LoadBytes(file, &l);
    ASSERT_NE(nullptr, l.dib);
    EXPECT_EQ(1096u + 8, l.dib->totalSize);
    EXPECT_EQ(8u, l.dib->info.biSizeImage);   // bounded by the stream it has
    ExpectBitsAsInFile(l.dib, file, b.BitsOffset(), 8);

    // Streams that leave the picture or its colours are refused.
    const std::vector<uint8_t> bad[] = {
        {5, 9, 0, 1},                   // a run longer than the row
        {4, 9, 0, 0, 4, 9, 0, 0, 1, 1}, // a third row in a two-row picture
        {0, 2, 5, 0, 0, 1},             // a delta past the right edge
        {0, 2, 0, 3, 0, 1},             // a delta past the top
        {0, 4, 1, 2},                   // an absolute run the stream cuts off
        {2, 0, 0, 3, 1, 2, 3, 0, 0, 1}, // absolute run past the row
    };
    for (const std::vector<uint8_t> &stream : bad) {
        b.bits = stream;
        EXPECT_EQ(DIB_ERR_BITS, ErrorFor(b)) << stream.size();
    }
    BmpBuilder colours;
    colours.width = 4;
    colours.height = 1;
    colours.compression = 1;
    colours.tableEntries = 8;
    colours.colorsUsed = 8;
    colours.bits = {4, 7, 0, 1};
    Loaded ok;
    LoadBytes(colours.Build(), &ok);
    EXPECT_NE(nullptr, ok.dib);
    colours.bits = {4, 8, 0, 1};
    EXPECT_EQ(DIB_ERR_BITS, ErrorFor(colours));
}

TEST(FreeDib, NullAndLoadedBlocks)
{
    EXPECT_EQ(-1, FreeDib(nullptr));
    std::vector<uint8_t> file = BmpBuilder().Build();
    ASSERT_TRUE(WriteFileBytes("free.bmp", file));
    DibError error;
    DibBlock *dib = LoadDib(&error, "free.bmp");
    ASSERT_NE(nullptr, dib);
    EXPECT_EQ(0, FreeDib(dib));
}

}  // namespace
