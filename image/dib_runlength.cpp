#include "image/dib_block.h"

namespace {

// Whether every pixel value of an absolute run names a colour of the table.
bool ColoursFit(const BYTE *p, DWORD pixels, bool rle4, DWORD colours)
{
    for (DWORD i = 0; i < pixels; i++) {
        BYTE v = rle4 ? (i & 1 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i];
        if (v >= colours)
            return false;
    }
    return true;
}

void Put(BYTE *out, DWORD stride, LONG x, LONG y, BYTE value)
{
    if (out)
        out[static_cast<size_t>(y) * stride + x] = value;
}

}  // namespace

bool WalkRunLength(const BYTE *p, DWORD length, LONG width, LONG height, bool rle4, DWORD colours, BYTE *out, DWORD stride)
{
    DWORD pos = 0;
    LONG x = 0, y = 0;
    while (pos + 2 <= length) {
        BYTE count = p[pos], value = p[pos + 1];
        pos += 2;
        if (count > 0) {            // a run of one value, or of two alternating nibbles
            BYTE first = rle4 ? value >> 4 : value, second = rle4 ? value & 15 : value;
            if (y >= height || x + count > width || first >= colours || (count > 1 && second >= colours))
                return false;
            for (int i = 0; i < count; i++)
                Put(out, stride, x + i, y, i & 1 ? second : first);
            x += count;
        } else if (value == 0) {    // end of line
            x = 0;
            if (++y > height)
                return false;
        } else if (value == 1) {    // end of picture
            return true;
        } else if (value == 2) {    // delta
            if (pos + 2 > length)
                return false;
            x += p[pos];
            y += p[pos + 1];
            pos += 2;
            if (x > width || y > height)
                return false;
        } else {                    // absolute run, padded to 16 bits
            DWORD bytes = rle4 ? (value + 1u) / 2 : value;
            bytes = (bytes + 1) & ~1u;
            if (y >= height || x + value > width || pos + bytes > length || !ColoursFit(p + pos, value, rle4, colours))
                return false;
            for (int i = 0; i < value; i++)
                Put(out, stride, x + i, y, rle4 ? (i & 1 ? p[pos + i / 2] & 15 : p[pos + i / 2] >> 4) : p[pos + i]);
            x += value;
            pos += bytes;
        }
    }
    return true;
}
