#include "lens/lens.h"

#include <string.h>

#include "app/globals.h"

BYTE SavedPatch[LENS_PIXELS];
BYTE LensOutput[LENS_PIXELS];

bool LensFits(const DibBlock *dib)
{
    return dib->bitCount == 8 && dib->info.biCompression == BI_RGB && dib->width >= LENS_MIN_SIDE &&
           dib->height >= LENS_MIN_SIDE && dib->width <= LENS_MAX_SIDE && dib->height <= LENS_MAX_SIDE;
}

void CopyPatchOut(BYTE *patch, const BYTE *bits, int x, int y, int width, int height, int stride, int pictureHeight)
{
    const BYTE *row = bits + x + static_cast<ptrdiff_t>(stride) * (pictureHeight - y - height);
    for (int n = 0; n < height; n++, row += stride, patch += width)
        memcpy(patch, row, width);
}

void CopyPatchIn(const BYTE *patch, BYTE *bits, int x, int y, int width, int height, int stride, int pictureHeight)
{
    BYTE *row = bits + x + static_cast<ptrdiff_t>(stride) * (pictureHeight - y - height);
    for (int n = 0; n < height; n++, row += stride, patch += width)
        memcpy(row, patch, width);
}

void DrawLens(int y, int x)
{
    BYTE *bits = DibBits(CurrentDib);
    int height = CurrentDib->height;
    // Restore before saving, so the saved square never holds lens pixels,
    // also where the old and new squares overlap.
    if (PrevLensX >= 0)
        CopyPatchIn(SavedPatch, bits, PrevLensX, PrevLensY, LENS_SIZE, LENS_SIZE, RowStride, height);
    CopyPatchOut(SavedPatch, bits, x, y, LENS_SIZE, LENS_SIZE, RowStride, height);
    PrevLensX = static_cast<short>(x);
    PrevLensY = static_cast<short>(y);
    for (int n = 0; n < LENS_PIXELS; n++)
        LensOutput[n] = SavedPatch[LensSource[n]];
    CopyPatchIn(LensOutput, bits, x, y, LENS_SIZE, LENS_SIZE, RowStride, height);
}
