#include "support/pixels.h"

#include <ctype.h>
#include <string.h>

#include "lens/lens.h"
#include "support/bmp_builder.h"

namespace {

// A 24-bit top-down DIB section selected into a new memory DC.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint8_t *bits = nullptr;
    size_t stride = 0;
    Surface(int width, int height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        dc = CreateCompatibleDC(nullptr);
        void *p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint8_t *>(p);
        stride = (size_t(width) * 3 + 3) & ~size_t(3);
        if (bitmap)
            old = SelectObject(dc, bitmap);
    }
    ~Surface()
    {
        if (bitmap) {
            SelectObject(dc, old);
            DeleteObject(bitmap);
        }
        DeleteDC(dc);
    }
    Rgb Read(int width, int height) const
    {
        Rgb out;
        if (!bits)
            return out;
        GdiFlush();
        out.width = width;
        out.height = height;
        out.pixels.resize(size_t(width) * height * 3);
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                const uint8_t *s = bits + y * stride + x * 3;
                uint8_t *d = &out.pixels[(size_t(y) * width + x) * 3];
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
            }
        }
        return out;
    }
};

}  // namespace

Rgb DrawDib(DibBlock *dib, COLORREF fill)
{
    Surface s(dib->width, dib->height);
    if (!s.bits)
        return Rgb();
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, dib->width, dib->height};
    FillRect(s.dc, &all, brush);
    DeleteObject(brush);
    SetDIBitsToDevice(s.dc, 0, 0, dib->width, dib->height, 0, 0, 0, dib->height, DibBits(dib), DibInfo(dib), DIB_RGB_COLORS);
    return s.Read(dib->width, dib->height);
}

Rgb ReadBack(HDC dc, int x, int y, int width, int height)
{
    Surface s(width, height);
    if (!s.bits)
        return Rgb();
    BitBlt(s.dc, 0, 0, width, height, dc, x, y, SRCCOPY);
    return s.Read(width, height);
}

bool ReadPpm(const std::string &name, Rgb *out)
{
    std::vector<uint8_t> f = ReadFileBytes(name);
    size_t pos = 2;
    auto field = [&]() {
        while (pos < f.size() && (isspace(f[pos]) || f[pos] == '#')) {
            if (f[pos] == '#')
                while (pos < f.size() && f[pos] != '\n')
                    pos++;
            else
                pos++;
        }
        long v = 0;
        while (pos < f.size() && isdigit(f[pos]))
            v = v * 10 + (f[pos++] - '0');
        return v;
    };
    if (f.size() < 2 || f[0] != 'P' || f[1] != '6')
        return false;
    out->width = field();
    out->height = field();
    long max = field();
    pos++;
    size_t need = size_t(out->width) * out->height * 3;
    if (max != 255 || f.size() < pos + need)
        return false;
    out->pixels.assign(f.begin() + pos, f.begin() + pos + need);
    return true;
}

long CountDifferences(const Rgb &a, const Rgb &b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size())
        return -1;
    long n = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 3)
        n += memcmp(&a.pixels[i], &b.pixels[i], 3) != 0;
    return n;
}

Rgb WithLens(const Rgb &picture, int lensX, int lensY)
{
    Rgb out = picture;
    for (int i = 0; i < 100; i++) {
        for (int j = 0; j < 100; j++) {
            // Lens row 0 is the square's bottom row.
            const BYTE *e = LensTable[i * 100 + j];
            const uint8_t *src = picture.At(lensX + e[1], lensY + 99 - e[0]);
            uint8_t *dst = &out.pixels[(size_t(lensY + 99 - i) * out.width + lensX + j) * 3];
            memcpy(dst, src, 3);
        }
    }
    return out;
}

Rgb Crop(const Rgb &big, int x, int y, int width, int height)
{
    Rgb out;
    if (x < 0 || y < 0 || x + width > big.width || y + height > big.height)
        return out;
    out.width = width;
    out.height = height;
    out.pixels.resize(size_t(width) * height * 3);
    for (int row = 0; row < height; row++)
        memcpy(&out.pixels[size_t(row) * width * 3], big.At(x, y + row), size_t(width) * 3);
    return out;
}
