#include "artwork/canvas.h"

#include <math.h>

#include <map>

#include "image/dib_block.h"

void Canvas::Paste(const Canvas &c, int x, int y)
{
    for (int row = 0; row < c.height; row++)
        for (int col = 0; col < c.width; col++)
            Set(x + col, y + row, c.pixels[size_t(row) * c.width + col]);
}

namespace {

COLORREF Mix(COLORREF a, COLORREF b, double t)
{
    auto m = [t](int p, int q) { return int(p + (q - p) * t + 0.5); };
    return RGB(m(GetRValue(a), GetRValue(b)), m(GetGValue(a), GetGValue(b)), m(GetBValue(a), GetBValue(b)));
}

double Clamp(double t) { return t < 0 ? 0 : t > 1 ? 1 : t; }

}  // namespace

COLORREF Palette::Shade(int ramp, double t) const { return Coarse(ramp, t, 64); }

COLORREF Palette::Coarse(int ramp, double t, int steps) const
{
    int step = int(Clamp(t) * (steps - 1) + 0.5);
    double u = double(step) / (steps - 1);
    const COLORREF *r = ramps[ramp & 3];
    return u < 0.5 ? Mix(r[0], r[1], u * 2) : Mix(r[1], r[2], (u - 0.5) * 2);
}

GdiCanvas::GdiCanvas(int width, int height, COLORREF fill) : width_(width), height_(height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc = CreateCompatibleDC(nullptr);
    void *p = nullptr;
    bitmap_ = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits_ = static_cast<uint8_t *>(p);
    old_ = SelectObject(dc, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
}

GdiCanvas::~GdiCanvas()
{
    SelectObject(dc, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc);
}

Canvas GdiCanvas::Take() const
{
    GdiFlush();
    Canvas c(width_, height_);
    for (int y = 0; y < height_; y++)
        for (int x = 0; x < width_; x++) {
            const uint8_t *p = bits_ + (size_t(y) * width_ + x) * 4;
            c.At(x, y) = RGB(p[2], p[1], p[0]);
        }
    return c;
}

void GdiCanvas::Text(int x, int y, const char *text, int size, COLORREF colour, bool bold, UINT align, int width)
{
    // UTF-8, so a picture set's credits can name files as the user's system
    // spells them; plain ASCII comes out as it always did.
    int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    HFONT font = CreateFontA(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    if (width > 0) {
        // Too long for its room: cut with an ellipsis rather than run off.
        RECT room = {x, y, x + width, y + size * 2};
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        DrawTextW(dc, wide.data(), length - 1, &room, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    } else {
        SetTextAlign(dc, align | TA_TOP);
        TextOutW(dc, x, y, wide.data(), length - 1);
    }
    SelectObject(dc, old);
    DeleteObject(font);
}

bool SaveIndexed(const Canvas &canvas, const std::string &path)
{
    // The colour table: every colour drawn, in the order first met.
    std::map<COLORREF, int> index;
    std::vector<COLORREF> table;
    for (COLORREF c : canvas.pixels) {
        if (index.count(c))
            continue;
        if (table.size() == 256)
            return false;
        index[c] = int(table.size());
        table.push_back(c);
    }
    DWORD stride = DibRowBytes(canvas.width, 8);
    DibBlock *dib = AllocDibBlock(stride * canvas.height);
    if (!dib)
        return false;
    dib->width = canvas.width;
    dib->height = canvas.height;
    dib->bitCount = 8;
    BITMAPINFOHEADER &bi = dib->info;
    bi.biSize = sizeof bi;
    bi.biWidth = canvas.width;
    bi.biHeight = canvas.height;
    bi.biPlanes = 1;
    bi.biBitCount = 8;
    bi.biCompression = BI_RGB;
    bi.biSizeImage = stride * canvas.height;
    bi.biClrUsed = 256;
    for (size_t i = 0; i < 256; i++) {
        COLORREF c = i < table.size() ? table[i] : 0;
        dib->colors[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    BYTE *bits = DibBits(dib);
    ZeroMemory(bits, bi.biSizeImage);
    for (int y = 0; y < canvas.height; y++)
        for (int x = 0; x < canvas.width; x++)
            bits[size_t(canvas.height - 1 - y) * stride + x] = BYTE(index[canvas.pixels[size_t(y) * canvas.width + x]]);
    DibError error;
    int result = SaveDib(&error, dib, path.c_str());
    FreeDib(dib);
    return result == 0;
}

namespace {

double Lattice(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

}  // namespace

double Noise(double x, double y, int octaves, uint32_t seed)
{
    double sum = 0, weight = 0, amplitude = 1;
    for (int o = 0; o < octaves; o++) {
        int ix = int(floor(x)), iy = int(floor(y));
        double fx = Smooth(x - ix), fy = Smooth(y - iy);
        double a = Lattice(ix, iy, seed + o), b = Lattice(ix + 1, iy, seed + o);
        double c = Lattice(ix, iy + 1, seed + o), d = Lattice(ix + 1, iy + 1, seed + o);
        sum += amplitude * ((a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy);
        weight += amplitude;
        amplitude *= 0.5;
        x *= 2;
        y *= 2;
    }
    return sum / weight;
}
