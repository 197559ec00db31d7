// Builds BMP files byte by byte, sound or broken on purpose, for the tests.
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

struct BmpBuilder {
    uint32_t headerSize = 40;       // 12 writes a core header
    int32_t width = 8;
    int32_t height = 8;
    uint16_t planes = 1;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    int tableEntries = -1;          // -1: the full table for the bit count
    uint32_t gap = 0;               // bytes between colour table and bits
    int64_t fileSizeField = -1;     // -1: the true size
    int64_t bitsOffsetField = -1;   // -1: the true offset
    std::vector<uint8_t> bits;      // empty: a pattern of RowBytes() * |height|
    uint32_t truncateTo = 0;        // non-zero: cut the file to this length

    uint32_t RowBytes() const { return ((uint32_t(bitCount) * uint32_t(width) + 31) & ~31u) / 8; }
    int Entries() const { return tableEntries >= 0 ? tableEntries : (bitCount == 24 ? 0 : 1 << bitCount); }
    // Colour entry i as blue, green, red (and 0): distinct and recognisable.
    static uint8_t TableByte(int i, int c) { return uint8_t(i * 3 + c * 85 + 7); }
    std::vector<uint8_t> PatternBits() const;
    std::vector<uint8_t> Build() const;
    uint32_t BitsOffset() const;
};

bool WriteFileBytes(const std::string &name, const std::vector<uint8_t> &bytes);
std::vector<uint8_t> ReadFileBytes(const std::string &name);
