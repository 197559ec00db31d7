#include "support/bmp_builder.h"

#include <stdio.h>

namespace {

void Put16(std::vector<uint8_t> &v, uint32_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

void Put32(std::vector<uint8_t> &v, uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

}  // namespace

std::vector<uint8_t> BmpBuilder::PatternBits() const
{
    uint32_t rows = uint32_t(height < 0 ? -height : height);
    std::vector<uint8_t> v(size_t(RowBytes()) * rows);
    // Eight-bit pixels name only colours the table has.
    uint32_t colours = 256;
    if (bitCount == 8 && Entries() > 0)
        colours = uint32_t(Entries());
    if (bitCount == 8 && colorsUsed > 0 && colorsUsed < colours)
        colours = colorsUsed;
    for (size_t i = 0; i < v.size(); i++)
        v[i] = uint8_t(((i * 7 + i / 13) & 0xFF) % colours);
    return v;
}

uint32_t BmpBuilder::BitsOffset() const
{
    uint32_t entrySize = headerSize == 12 ? 3 : 4;
    return 14 + headerSize + entrySize * uint32_t(Entries()) + gap;
}

std::vector<uint8_t> BmpBuilder::Build() const
{
    std::vector<uint8_t> pixels = bits.empty() ? PatternBits() : bits;
    uint32_t offset = BitsOffset();
    uint32_t size = offset + uint32_t(pixels.size());
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    Put32(v, fileSizeField >= 0 ? uint32_t(fileSizeField) : size);
    Put32(v, 0);
    Put32(v, bitsOffsetField >= 0 ? uint32_t(bitsOffsetField) : offset);
    Put32(v, headerSize);
    if (headerSize == 12) {
        Put16(v, uint32_t(width));
        Put16(v, uint32_t(height));
        Put16(v, planes);
        Put16(v, bitCount);
    } else {
        Put32(v, uint32_t(width));
        Put32(v, uint32_t(height));
        Put16(v, planes);
        Put16(v, bitCount);
        Put32(v, compression);
        Put32(v, imageSize);
        Put32(v, 2835);
        Put32(v, 2835);
        Put32(v, colorsUsed);
        Put32(v, 0);
        while (v.size() < 14 + headerSize)
            v.push_back(0xEE);   // the rest of a larger header
    }
    for (int i = 0; i < Entries(); i++) {
        for (int c = 0; c < 3; c++)
            v.push_back(TableByte(i, c));
        if (headerSize != 12)
            v.push_back(0);
    }
    v.insert(v.end(), gap, 0xCC);
    v.insert(v.end(), pixels.begin(), pixels.end());
    if (truncateTo && truncateTo < v.size())
        v.resize(truncateTo);
    return v;
}

bool WriteFileBytes(const std::string &name, const std::vector<uint8_t> &bytes)
{
    FILE *f = fopen(name.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

std::vector<uint8_t> ReadFileBytes(const std::string &name)
{
    std::vector<uint8_t> v;
    FILE *f = fopen(name.c_str(), "rb");
    if (!f)
        return v;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        v.insert(v.end(), buf, buf + n);
    fclose(f);
    return v;
}
