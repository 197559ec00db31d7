// The reader under coverage-guided fuzzing: every input is written to a
// file and loaded; what loads goes where the program takes it: a palette,
// the lens at the corners and centre, the 8-bit expansion, a save and a
// second load, and the release of everything.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "app/globals.h"
#include "image/dib.h"
#include "lens/lens.h"

extern long LiveGdiObjects, LiveBlocks;

namespace {

char input[64], saved[64];

void DrawLensAround(DibBlock *dib)
{
    if (!LensFits(dib))
        return;
    CurrentDib = dib;
    RowStride = DibRowBytes(dib->width, 8);
    PrevLensX = -1;
    int right = LensCornerMax(dib->width), bottom = LensCornerMax(dib->height);
    int corners[][2] = {{1, 1}, {right, 1}, {1, bottom}, {right, bottom},
                        {(dib->width - LENS_SIZE) / 2, (dib->height - LENS_SIZE) / 2}};
    for (auto &c : corners)
        DrawLens(c[1], c[0]);
    CurrentDib = nullptr;
}

void Exercise(DibBlock *dib)
{
    CreateDibPalette(dib);
    DibError error;
    DibBlock *eight = ExpandToEightBits(&error, dib);
    DrawLensAround(eight ? eight : dib);
    if (SaveDib(&error, dib, saved) == 0) {
        DibBlock *again = LoadDib(&error, saved);
        if (!again || memcmp(&again->info, &dib->info, 40) != 0) {
            // Only compressed blocks may come back different: their stream
            // is re-read with what the writer put around it.
            if (dib->info.biCompression == BI_RGB)
                abort();
        }
        FreeDib(again);
    }
    FreeDib(eight);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    snprintf(input, sizeof input, "/tmp/orbfuzz-%d.bmp", int(getpid()));
    snprintf(saved, sizeof saved, "/tmp/orbfuzz-%d-saved.bmp", int(getpid()));
    BuildLensTable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *f = fopen(input, "wb");
    if (!f)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    DibError error = -1;
    DibBlock *dib = LoadDib(&error, input);
    if ((dib == nullptr) != (error != 0))
        abort();
    if (dib) {
        Exercise(dib);
        FreeDib(dib);
    }
    if (LiveBlocks != 0 || LiveGdiObjects != 0)
        abort();   // everything made for one input is released
    return 0;
}
