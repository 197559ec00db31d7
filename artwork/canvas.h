// Drawing surfaces for the default picture set: RGB pixels in memory, drawn
// procedurally or with GDI (for text and shapes), written as 8-bit BMP
// files whose colour table holds the colours drawn, in the order first met,
// padded with black to 256 entries.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <string>
#include <vector>

struct Canvas {
    int width, height;
    std::vector<COLORREF> pixels;   // top row first
    Canvas(int w, int h, COLORREF fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    COLORREF &At(int x, int y) { return pixels[size_t(y) * width + x]; }
    void Set(int x, int y, COLORREF c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            At(x, y) = c;
    }
    void Paste(const Canvas &c, int x, int y);
};

// Four colour ramps of 64 shades each: a painting's 256 colours.
struct Palette {
    COLORREF ramps[4][3];   // each ramp runs dark, middle, light
    COLORREF Shade(int ramp, double t) const;   // t from 0 to 1
    // The same ramps in `steps` shades only, for thumbnails that share one
    // colour table.
    COLORREF Coarse(int ramp, double t, int steps) const;
};

// A GDI surface of the canvas's size: draw on `dc`, then Take() the result.
class GdiCanvas {
public:
    GdiCanvas(int width, int height, COLORREF fill);
    ~GdiCanvas();
    HDC dc = nullptr;
    Canvas Take() const;
    // UTF-8 text without smoothing, so only the colours asked for appear;
    // with a width, left-aligned and cut with an ellipsis to fit it.
    void Text(int x, int y, const char *text, int size, COLORREF colour, bool bold = false, UINT align = TA_LEFT,
              int width = 0);

private:
    int width_, height_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint8_t *bits_ = nullptr;
};

// Writes the canvas as an 8-bit bottom-up uncompressed BMP with a full
// table of 256 colours (black after the colours drawn); false when it holds
// more than 256 colours or the file cannot be written.
bool SaveIndexed(const Canvas &canvas, const std::string &path);

// A small deterministic generator, the same on every machine.
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    double Unit() { return (Next() >> 8) / 16777216.0; }   // [0, 1)
};

// Smooth value noise in [0, 1], with `octaves` layers.
double Noise(double x, double y, int octaves, uint32_t seed);
