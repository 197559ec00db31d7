// Reading back what the platform draws, as 8-bit RGB values.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "image/dib.h"

struct Rgb {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;   // r, g, b, top row first
    const uint8_t *At(int x, int y) const { return &pixels[(size_t(y) * width + x) * 3]; }
};

// The block drawn as the program draws pictures, with SetDIBitsToDevice,
// into a 24-bit surface filled beforehand with `fill`.
Rgb DrawDib(DibBlock *dib, COLORREF fill);

// A rectangle of a device context, copied with BitBlt.
Rgb ReadBack(HDC dc, int x, int y, int width, int height);

// A binary PPM as ImageMagick writes it.
bool ReadPpm(const std::string &name, Rgb *out);

// A picture as the viewer must show it with the lens square's corner at
// (lensX, lensY): every lens pixel taken from the untouched picture through
// the lens table (which must have been built).
Rgb WithLens(const Rgb &picture, int lensX, int lensY);

// The part of `big` at (x, y) of `small`'s size.
Rgb Crop(const Rgb &big, int x, int y, int width, int height);

// Pixels that differ, or -1 when the sizes differ.
long CountDifferences(const Rgb &a, const Rgb &b);
