// The lens table against its reference values, and the lens drawn into a
// real picture block.
#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "app/globals.h"
#include "lens/lens.h"
#include "support/bmp_builder.h"

namespace {

int Row(int i, int j) { return LensTable[i * 100 + j][0]; }
int Col(int i, int j) { return LensTable[i * 100 + j][1]; }
bool Inside(int i, int j) { return (i - 50) * (i - 50) + (j - 50) * (j - 50) < 2500; }

class LensTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildLensTable(); }
};

TEST_F(LensTableTest, ReferenceValues)
{
    struct Ref { int i, j, row, col; } refs[] = {
        {50, 50, 50, 50}, {0, 0, 0, 0},   {0, 50, 0, 50},   {50, 0, 50, 0},   {50, 1, 50, 27},
        {50, 99, 50, 73}, {1, 50, 27, 50}, {99, 50, 73, 50}, {49, 49, 50, 50}, {51, 51, 50, 50},
        {15, 15, 34, 34}, {14, 14, 14, 14}, {85, 85, 66, 66}, {86, 86, 86, 86}, {30, 30, 43, 43},
        {70, 70, 57, 57}, {80, 20, 62, 38}, {10, 30, 33, 42}, {30, 10, 42, 33}, {40, 60, 47, 53},
        {35, 95, 44, 70}, {20, 90, 20, 90}, {64, 98, 64, 98}, {80, 90, 80, 90},
    };
    for (const Ref &r : refs) {
        EXPECT_EQ(r.row, Row(r.i, r.j)) << r.i << "," << r.j;
        EXPECT_EQ(r.col, Col(r.i, r.j)) << r.i << "," << r.j;
    }
}

TEST_F(LensTableTest, CentralRowAndColumn)
{
    const int central[100] = {
        0,  27, 28, 29, 30, 31, 31, 32, 33, 34, 34, 35, 35, 36, 36, 37, 37, 38, 38, 39, 39, 40, 40, 41, 41,
        42, 42, 42, 43, 43, 44, 44, 44, 45, 45, 45, 46, 46, 46, 47, 47, 47, 48, 48, 48, 49, 49, 49, 50, 50,
        50, 50, 50, 51, 51, 51, 52, 52, 52, 53, 53, 53, 54, 54, 54, 55, 55, 55, 56, 56, 56, 57, 57, 58, 58,
        58, 59, 59, 60, 60, 61, 61, 62, 62, 63, 63, 64, 64, 65, 65, 66, 66, 67, 68, 69, 69, 70, 71, 72, 73,
    };
    for (int k = 0; k < 100; k++) {
        EXPECT_EQ(50, Row(50, k)) << k;
        EXPECT_EQ(central[k], Col(50, k)) << k;
        EXPECT_EQ(central[k], Row(k, 50)) << k;
        EXPECT_EQ(50, Col(k, 50)) << k;
    }
}

TEST_F(LensTableTest, TotalsRangesAndSymmetry)
{
    int inside = 0, identity = 0, fixed = 0;
    for (int i = 0; i < 100; i++) {
        for (int j = 0; j < 100; j++) {
            bool same = Row(i, j) == i && Col(i, j) == j;
            fixed += same;
            if (Inside(i, j)) {
                inside++;
                EXPECT_TRUE(Row(i, j) >= 27 && Row(i, j) <= 73 && Col(i, j) >= 27 && Col(i, j) <= 73) << i << "," << j;
            } else {
                identity++;
                EXPECT_TRUE(same) << i << "," << j;
            }
            EXPECT_EQ(Row(i, j), Col(j, i)) << i << "," << j;
            EXPECT_EQ(Col(i, j), Row(j, i)) << i << "," << j;
            if (i > 0) {
                EXPECT_EQ(100, Row(i, j) + Row(100 - i, j)) << i << "," << j;
                EXPECT_EQ(Col(i, j), Col(100 - i, j)) << i << "," << j;
            }
        }
    }
    for (int n = 0; n < 10000; n++)
        EXPECT_EQ(LensTable[n][0] * 100 + LensTable[n][1], LensSource[n]) << n;
    EXPECT_EQ(7825, inside);
    EXPECT_EQ(2175, identity);
    EXPECT_EQ(2176, fixed);
    for (int k = 0; k < 100; k++) {
        EXPECT_TRUE(Row(0, k) == 0 && Col(0, k) == k);
        EXPECT_TRUE(Row(k, 0) == k && Col(k, 0) == 0);
    }

    std::vector<BYTE> first(&LensTable[0][0], &LensTable[0][0] + sizeof LensTable);
    BuildLensTable();
    EXPECT_EQ(0, memcmp(first.data(), LensTable, sizeof LensTable));
}

// Lens positions are signed 16-bit: a picture taller or wider than 32767
// pixels would put the square's corner at a negative row, outside the bits
// (the fuzzer found this).
TEST(LensFits, OnlyPicturesTheSquareCanBeAddressedIn)
{
    const struct { int width, height; bool fits; } cases[] = {
        {102, 102, true}, {101, 372, false}, {486, 101, false}, {32767, 102, true}, {120, 32768, false}, {40000, 200, false},
    };
    for (const auto &c : cases) {
        DibBlock block = {};
        block.bitCount = 8;
        block.width = c.width;
        block.height = c.height;
        EXPECT_EQ(c.fits, LensFits(&block)) << c.width << " x " << c.height;
    }
    DibBlock rle = {};
    rle.bitCount = 8;
    rle.width = rle.height = 200;
    rle.info.biCompression = BI_RLE8;
    EXPECT_FALSE(LensFits(&rle));
    rle.info.biCompression = BI_RGB;
    rle.bitCount = 4;
    EXPECT_FALSE(LensFits(&rle));
}

TEST(CopyPatch, AddressesRowsBottomUp)
{
    const int stride = 12, height = 7;
    std::vector<BYTE> bits(stride * height);
    for (size_t n = 0; n < bits.size(); n++)
        bits[n] = BYTE(n);
    std::vector<BYTE> patch(3 * 2, 0xEE);
    // Rows 2 and 3 from the top of a 7-row picture: stored rows 4 and 3.
    CopyPatchOut(patch.data(), bits.data(), 5, 2, 3, 2, stride, height);
    const BYTE expected[] = {3 * 12 + 5, 3 * 12 + 6, 3 * 12 + 7, 4 * 12 + 5, 4 * 12 + 6, 4 * 12 + 7};
    EXPECT_EQ(0, memcmp(expected, patch.data(), 6));

    std::vector<BYTE> before = bits;
    const BYTE in[] = {200, 201, 202, 203, 204, 205};
    CopyPatchIn(in, bits.data(), 5, 2, 3, 2, stride, height);
    for (size_t n = 0; n < bits.size(); n++) {
        size_t row = n / stride, col = n % stride;
        bool inRect = (row == 3 || row == 4) && col >= 5 && col < 8;
        if (inRect)
            EXPECT_EQ(200 + (row - 3) * 3 + (col - 5), bits[n]) << n;
        else
            EXPECT_EQ(before[n], bits[n]) << n;
    }
    CopyPatchIn(in, bits.data(), 0, 0, 3, 0, stride, height);
    CopyPatchOut(patch.data(), bits.data(), 0, 0, 3, 0, stride, height);
    EXPECT_EQ(200, bits[3 * 12 + 5]);
}

// A picture made current as the program does it, with the file's own bits
// kept beside it to compare against.
class DrawLensTest : public ::testing::Test {
protected:
    std::vector<BYTE> original;

    void SetUp() override
    {
        BuildLensTable();
        Load(486, 372, "lens.bmp");
    }
    void TearDown() override
    {
        FreeDib(CurrentDib);
        CurrentDib = nullptr;
    }
    void Load(int width, int height, const char *name)
    {
        BmpBuilder b;
        b.width = width;
        b.height = height;
        std::vector<uint8_t> file = b.Build();
        ASSERT_TRUE(WriteFileBytes(name, file));
        DibError error;
        DibBlock *dib = LoadDib(&error, name);
        ASSERT_NE(nullptr, dib);
        FreeDib(CurrentDib);
        CurrentDib = dib;
        RowStride = (dib->width + 3) & ~3;
        PrevLensX = -1;
        original.assign(file.begin() + b.BitsOffset(), file.end());
        ASSERT_EQ(size_t(RowStride) * height, original.size());
    }
    // Byte index of picture pixel (x, y) in the bits.
    size_t At(int x, int y) const { return size_t(CurrentDib->height - 1 - y) * RowStride + x; }

    // The bits hold the original picture everywhere but the square at
    // (x, y), which holds the original mapped through the table.
    void ExpectLensOnlyAt(int x, int y)
    {
        const BYTE *bits = DibBits(CurrentDib);
        int mismatches = 0;
        for (int py = 0; py < CurrentDib->height; py++) {
            for (int px = 0; px < RowStride; px++) {
                BYTE want = original[At(px, py)];
                if (px >= x && px < x + 100 && py >= y && py < y + 100) {
                    int i = (y + 99) - py, j = px - x;   // lens row 0 is the square's bottom row
                    const BYTE *e = LensTable[i * 100 + j];
                    want = original[At(x + e[1], y + 99 - e[0])];
                }
                mismatches += bits[At(px, py)] != want;
            }
        }
        EXPECT_EQ(0, mismatches) << "lens at " << x << "," << y;
    }
};

TEST_F(DrawLensTest, SeriesOfPositionsLeavesOnlyTheLastSquare)
{
    const int path[][2] = {{1, 1}, {2, 1}, {40, 30}, {90, 70}, {385, 271}, {384, 270}, {200, 100}, {150, 100}, {1, 271}, {385, 1}};
    for (const auto &p : path) {
        DrawLens(p[1], p[0]);
        ExpectLensOnlyAt(p[0], p[1]);
        EXPECT_EQ(p[0], PrevLensX);
        EXPECT_EQ(p[1], PrevLensY);
    }
}

TEST_F(DrawLensTest, SamePositionTwiceAndOverlappingMoves)
{
    DrawLens(50, 60);
    std::vector<BYTE> once(DibBits(CurrentDib), DibBits(CurrentDib) + original.size());
    DrawLens(50, 60);
    EXPECT_EQ(0, memcmp(once.data(), DibBits(CurrentDib), once.size()));
    // Overlapping by all but one column or row: the saved square must never
    // take in the lens's own earlier output.
    DrawLens(50, 61);
    ExpectLensOnlyAt(61, 50);
    DrawLens(51, 61);
    ExpectLensOnlyAt(61, 51);
    DrawLens(20, 30);
    ExpectLensOnlyAt(30, 20);
}

TEST_F(DrawLensTest, FirstDrawAfterAPictureChangeRestoresNothing)
{
    DrawLens(100, 100);
    // A new picture whose content differs: the old saved square must not be
    // written into it.
    Load(300, 200, "second.bmp");
    BYTE *bits = DibBits(CurrentDib);
    for (size_t n = 0; n < original.size(); n++)
        bits[n] = original[n] = BYTE(n * 13 + 5);
    DrawLens(10, 20);
    ExpectLensOnlyAt(20, 10);
}

TEST_F(DrawLensTest, NarrowPictureKeepsItsAlignmentBytes)
{
    // 103 wide: one alignment byte per row that no draw may touch.
    Load(103, 150, "narrow.bmp");
    const int spots[][2] = {{1, 1}, {2, 49}, {1, 2}};
    for (const auto &s : spots) {
        DrawLens(s[1], s[0]);
        ExpectLensOnlyAt(s[0], s[1]);
    }
    // Patch row 0 is the square's bottom row.
    EXPECT_EQ(original[At(1, 2 + 99)], SavedPatch[0]);
    EXPECT_EQ(original[At(1, 2)], SavedPatch[99 * 100]);
}

}  // namespace
