// The lens table against its reference values and symmetries; the lens
// drawn is what the window and end-to-end tests read back.
#include <gtest/gtest.h>

#include <sstream>

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
    int fixed = 0;
    for (int i = 0; i < 100; i++)
        for (int j = 0; j < 100; j++) {
            bool disc = (i - 50) * (i - 50) + (j - 50) * (j - 50) < 2500, same = Row(i, j) == i && Col(i, j) == j;
            fixed += same;
            // Outside the disc every entry is itself, inside it lies within
            // 27-73; the table is its own transpose and mirror image.
            EXPECT_TRUE((disc ? Row(i, j) >= 27 && Row(i, j) <= 73 && Col(i, j) >= 27 && Col(i, j) <= 73 : same) &&
                        Row(i, j) == Col(j, i) && (i == 0 || (Row(i, j) + Row(100 - i, j) == 100 && Col(i, j) == Col(100 - i, j)))) << i << "," << j;
        }
    // What the table leaves in place: the 2175 pixels outside the disc and
    // its centre.
    EXPECT_EQ(2176, fixed);
}

}  // namespace
