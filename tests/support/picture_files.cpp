#include "support/picture_files.h"

#include <windows.h>
#include <string.h>

BmpBuilder SeededPicture(int width, int height, int seed)
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    b.bits = SeededBits(width, height, seed);
    return b;
}

std::vector<uint8_t> SeededBits(int width, int height, int seed)
{
    size_t stride = (size_t(width) + 3) & ~size_t(3);
    std::vector<uint8_t> bits(stride * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            bits[y * stride + x] = uint8_t((x * 3 + y * 5 + seed * 29 + (x ^ y)) & 0xFF);
    return bits;
}

void WritePictureSet(const std::string &folder, int fullWidth, int fullHeight)
{
    if (!folder.empty())
        CreateDirectoryA(folder.c_str(), nullptr);
    for (int n = 1; n <= 10; n++) {
        WriteFileBytes(folder + "LIMAGE" + std::to_string(n) + ".BMP", SeededPicture(486, 372, n).Build());
        WriteFileBytes(folder + "FIMAGE" + std::to_string(n) + ".BMP", SeededPicture(fullWidth, fullHeight, 100 + n).Build());
    }
}

void WriteInterfacePictures()
{
    const struct { const char *name; int width, height; } files[] = {
        {"lselect.bmp", 126, 277}, {"lbutton.bmp", 126, 86}, {"copyrite.bmp", 33, 33}, {"help.bmp", 33, 33},
        {"exit.bmp", 33, 33},      {"zoom.bmp", 33, 33},     {"LCREDITB.BMP", 640, 480}, {"LHELPB.BMP", 640, 480},
    };
    int seed = 200;
    for (const auto &f : files)
        WriteFileBytes(f.name, SeededPicture(f.width, f.height, seed++).Build());
}

bool HoldsSeededPicture(DibBlock *dib, int width, int height, int seed)
{
    if (!dib || dib->width != width || dib->height != height || dib->bitCount != 8)
        return false;
    std::vector<uint8_t> bits = SeededBits(width, height, seed);
    return memcmp(DibBits(dib), bits.data(), bits.size()) == 0;
}
