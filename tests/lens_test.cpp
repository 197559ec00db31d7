// The lens table against its reference values and symmetries, and the lens
// drawn into pictures loaded from files.
#include <gtest/gtest.h>

#include <sstream>

#include "app/globals.h"
#include "lens/lens.h"
#include "support.h"

namespace {

int Row(int i, int j) { return LensTable[i * 100 + j][0]; }
int Col(int i, int j) { return LensTable[i * 100 + j][1]; }

TEST(Lens, TableReferenceValuesTotalsAndSymmetry)
{
    BuildLensTable();
    int references = 0;
    for (const std::string &line : DataLines("lens.txt")) {
        std::istringstream f(line);
        std::string word;
        int i, j, row, col;
        if (line.rfind("central", 0) == 0) {
            f >> word;
            for (int k = 0; f >> col; k++, references++)
                EXPECT_TRUE(Row(50, k) == 50 && Col(50, k) == col && Row(k, 50) == col && Col(k, 50) == 50) << "central " << k;
        } else if (f >> i >> j >> row >> col) {
            EXPECT_EQ(row * 100 + col, Row(i, j) * 100 + Col(i, j)) << i << "," << j;
            references++;
        }
    }
    EXPECT_EQ(124, references);
    int inside = 0, fixed = 0;
    for (int i = 0; i < 100; i++)
        for (int j = 0; j < 100; j++) {
            bool disc = (i - 50) * (i - 50) + (j - 50) * (j - 50) < 2500, same = Row(i, j) == i && Col(i, j) == j;
            inside += disc;
            fixed += same;
            // Outside the disc every entry is itself, inside it lies within
            // 27-73; the table is its own transpose and mirror image.
            EXPECT_TRUE((disc ? Row(i, j) >= 27 && Row(i, j) <= 73 && Col(i, j) >= 27 && Col(i, j) <= 73 : same) &&
                        Row(i, j) == Col(j, i) && (i == 0 || (Row(i, j) + Row(100 - i, j) == 100 && Col(i, j) == Col(100 - i, j))) &&
                        LensSource[i * 100 + j] == Row(i, j) * 100 + Col(i, j)) << i << "," << j;
        }
    EXPECT_TRUE(inside == 7825 && fixed == 2176);
}

// Makes the picture current as the program does, then draws the lens at
// each corner and checks that the bits hold the picture everywhere but the
// last square, which holds the picture mapped through the table; row
// padding is never touched.
void DrawAt(const Bmp &picture, const std::vector<POINT> &corners)
{
    DibError error;
    ASSERT_TRUE(picture.Write("lens.bmp"));
    FreeDib(CurrentDib);
    CurrentDib = LoadDib(&error, "lens.bmp");
    RowStride = (CurrentDib->width + 3) & ~3;
    PrevLensX = -1;
    Bytes original = picture.Pixels();
    auto at = [](int x, int y) { return size_t(CurrentDib->height - 1 - y) * RowStride + x; };
    for (POINT c : corners) {
        DrawLens(c.y, c.x);
        long wrong = PrevLensX != c.x || PrevLensY != c.y;
        for (int y = 0; y < CurrentDib->height; y++)
            for (int x = 0; x < RowStride; x++) {
                size_t from = at(x, y);
                if (x >= c.x && x < c.x + 100 && y >= c.y && y < c.y + 100) {
                    const BYTE *e = LensTable[(c.y + 99 - y) * 100 + x - c.x];
                    from = at(c.x + e[1], c.y + 99 - e[0]);
                }
                wrong += DibBits(CurrentDib)[at(x, y)] != original[from];
            }
        EXPECT_EQ(0, wrong) << "lens at " << c.x << "," << c.y;
    }
    // The saved square's row 0 is its bottom row.
    POINT last = corners.back();
    EXPECT_TRUE(SavedPatch[0] == original[at(last.x, last.y + 99)] && SavedPatch[9900] == original[at(last.x, last.y)]);
}

TEST(Lens, OnlyTheLastSquareHoldsTheLens)
{
    BuildLensTable();
    // Corners, edges, repeats, and moves overlapping by all but one line;
    // then a new picture, into which the old square is never put back; then
    // 103 wide, one padding byte a row.
    DrawAt(Painting(1), {{1, 1}, {2, 1}, {2, 1}, {40, 30}, {385, 271}, {384, 270}, {200, 100}, {201, 100}, {201, 101}, {1, 271}, {385, 1}});
    DrawAt(Painting(2, 300, 200), {{20, 10}});
    DrawAt(Painting(3, 103, 150), {{1, 1}, {2, 49}, {1, 2}});
    FreeDib(CurrentDib);
    CurrentDib = nullptr;
}

}  // namespace
