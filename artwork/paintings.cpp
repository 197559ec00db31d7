// Ten compositions, each a function of the picture's own coordinates, so a
// larger canvas renders the same composition with more detail.
#include "artwork/paintings.h"

#include <math.h>

#include <algorithm>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

struct Frame {
    Canvas &c;
    const Palette &p;
    int steps;
    COLORREF Shade(int ramp, double t) const { return p.Coarse(ramp, t, steps); }
    double U(int x) const { return (x + 0.5) / c.width; }
    double V(int y) const { return (y + 0.5) / c.height; }
    // Pixels per unit of the picture's width: dots and lines keep their
    // size in pixels, so a larger canvas holds more of them.
    double Scale() const { return c.width / 486.0; }
};

template <typename F> void EachPixel(Frame &f, F shade)
{
    for (int y = 0; y < f.c.height; y++)
        for (int x = 0; x < f.c.width; x++)
            f.c.At(x, y) = shade(f.U(x), f.V(y), x, y);
}

double Clamp(double t) { return t < 0 ? 0 : t > 1 ? 1 : t; }

// x to a whole power, by multiplying: MinGW-w64's pow rounds the last bit
// differently in its i686 and x86_64 libraries, pow(x, 2) included.
double Power(double x, int n)
{
    double r = 1;
    while (n-- > 0)
        r *= x;
    return r;
}

// 1. Three soft fields of colour over a ground, their edges bristling.
void ColourField(Frame &f)
{
    const double tops[] = {0.08, 0.40, 0.68}, bottoms[] = {0.34, 0.62, 0.92};
    EachPixel(f, [&](double u, double v, int, int) {
        double grain = Noise(u * 180, v * 140, 3, 11) * 0.25;
        for (int k = 0; k < 3; k++) {
            double edge = 0.03 * Noise(u * 40, v * 40 + k * 7, 3, 20 + k);
            if (v > tops[k] + edge && v < bottoms[k] - edge && u > 0.08 + edge && u < 0.92 - edge) {
                double inner = Clamp(fmin(fmin(v - tops[k], bottoms[k] - v), fmin(u - 0.08, 0.92 - u)) * 12);
                return f.Shade(k, 0.25 + 0.5 * inner + grain);
            }
        }
        return f.Shade(3, 0.3 + grain + 0.2 * Noise(u * 6, v * 6, 2, 5));
    });
}

// 2. A grid of black lines and primary fields, some of them hatched finely.
void GridComposition(Frame &f)
{
    const double xs[] = {0, 0.18, 0.47, 0.63, 0.86, 1.01}, ys[] = {0, 0.22, 0.51, 0.69, 0.88, 1.01};
    const int colours[5][5] = {{1, 0, 0, 2, 0}, {0, 3, 0, 0, 1}, {2, 0, 1, 0, 0}, {0, 0, 3, 0, 2}, {1, 0, 0, 0, 3}};
    double line = 0.012;
    EachPixel(f, [&](double u, double v, int x, int y) {
        int i = 0, j = 0;
        while (u > xs[i + 1]) i++;
        while (v > ys[j + 1]) j++;
        bool onLine = u - xs[i] < line || xs[i + 1] - u < line || v - ys[j] < line || ys[j + 1] - v < line;
        if (onLine)
            return f.Shade(0, 0.02);
        int colour = colours[j][i];
        double canvas = Noise(u * 300, v * 230, 2, 31) * 0.15;
        if (colour == 0) {
            bool hatch = (i + j) % 3 == 0 && (x + y) % 4 == 0;
            return f.Shade(0, hatch ? 0.75 : 0.92 - canvas);
        }
        bool stripe = colour == 3 && (x / 2) % 3 == 0;
        return f.Shade(colour, stripe ? 0.35 : 0.55 + canvas);
    });
}

// The landscape the pointillist dots sample: sky, sun, hills, a river, trees.
COLORREF Landscape(const Frame &f, double u, double v, double jitter)
{
    double hill = 0.55 + 0.06 * sin(u * 9) + 0.04 * sin(u * 23 + 1);
    if ((u - 0.75) * (u - 0.75) * 1.7 + (v - 0.2) * (v - 0.2) < 0.004)
        return f.Shade(2, 0.95 - jitter * 0.2);
    if (v < hill)
        return f.Shade(0, 0.55 + v * 0.5 + jitter * 0.3);
    double river = fabs(u - 0.45 - 0.15 * sin(v * 8)) - (v - hill) * 0.35;
    if (river < 0.02)
        return f.Shade(0, 0.35 + jitter * 0.4);
    double tree = sin(u * 60) * sin(v * 40 + u * 3);
    if (tree > 0.6 && v < hill + 0.2)
        return f.Shade(3, 0.2 + jitter * 0.3);
    return f.Shade(1, 0.3 + (v - hill) * 0.8 + jitter * 0.35);
}

// 3. A landscape made of dots of colour on a pale ground.
void Pointillist(Frame &f)
{
    EachPixel(f, [&](double, double, int, int) { return f.Shade(2, 0.82); });
    Random r(7);
    int dots = int(f.c.width * f.c.height / 3.2);
    for (int n = 0; n < dots; n++) {
        double u = r.Unit(), v = r.Unit(), jitter = r.Unit();
        COLORREF c = Landscape(f, u, v, jitter);
        int cx = int(u * f.c.width), cy = int(v * f.c.height), radius = 1 + int(r.Unit() * 2.2);
        for (int dy = -radius; dy <= radius; dy++)
            for (int dx = -radius; dx <= radius; dx++)
                if (dx * dx + dy * dy <= radius * radius)
                    f.c.Set(cx + dx, cy + dy, c);
    }
}

// 4. A night sky of swirling strokes, haloed stars, a moon and a cypress.
void StarrySky(Frame &f)
{
    struct Star { double u, v, r; } stars[] = {
        {0.12, 0.15, 0.035}, {0.3, 0.08, 0.025}, {0.52, 0.22, 0.03}, {0.7, 0.12, 0.028}, {0.42, 0.4, 0.022}, {0.2, 0.36, 0.02},
    };
    EachPixel(f, [&](double u, double v, int, int) {
        double cyp = fabs(u - 0.15) * 9 - (v - 0.25) * 0.9 + 0.08 * sin(v * 60);
        if (cyp < 0 && v > 0.25)
            return f.Shade(3, 0.15 + 0.25 * Noise(u * 80, v * 80, 2, 3));
        if (v > 0.78 + 0.03 * sin(u * 14))
            return f.Shade(3, 0.35 + 0.3 * Noise(u * 50, v * 50, 2, 4));
        double mu = u - 0.86, mv = v - 0.16;
        if (mu * mu + mv * mv < 0.006 && (mu + 0.02) * (mu + 0.02) + mv * mv > 0.004)
            return f.Shade(2, 0.95);
        for (const Star &s : stars) {
            double d = sqrt((u - s.u) * (u - s.u) * 1.7 + (v - s.v) * (v - s.v));
            if (d < s.r * 0.4)
                return f.Shade(2, 1.0);
            if (d < s.r * 1.6 && fmod(d / s.r * 4, 1.0) < 0.5)
                return f.Shade(2, 0.6 + 0.3 * (1 - d / (s.r * 1.6)));
        }
        double angle = Noise(u * 3, v * 3, 3, 9) * 4 * kPi;
        double stroke = sin((u * cos(angle) + v * sin(angle)) * 160 + Noise(u * 20, v * 20, 2, 8) * 6);
        return f.Shade(stroke > 0.3 ? 1 : 0, 0.3 + 0.4 * (stroke * 0.5 + 0.5) * (1 - v * 0.5));
    });
}

// 5. A great wave curling over small boats, a mountain far behind.
void Wave(Frame &f)
{
    EachPixel(f, [&](double u, double v, int x, int y) {
        double crest = 0.42 + 0.22 * sin(u * 5.5 + 0.6) - 0.12 * exp(-Power((u - 0.32) * 6, 2));
        double swell = 0.75 + 0.05 * sin(u * 17);
        if (v < crest && v < swell) {
            if (v > 0.4 + fabs(u - 0.14) * 1.1)
                return f.Shade(3, v > 0.46 ? 0.35 + 0.1 * Noise(u * 40, v * 40, 2, 2) : 0.95);   // the mountain, snow on top
            return f.Shade(2, 0.75 + 0.2 * v + 0.05 * Noise(u * 30, v * 30, 2, 1));
        }
        double depth = v - fmin(crest, swell);
        double foam = Noise(u * 90, v * 90, 2, 6);
        if (depth < 0.025 + 0.02 * foam)
            return f.Shade(1, 0.9 + 0.1 * foam);
        bool boat = fabs(v - 0.82 - 0.02 * sin(u * 30)) < 0.008 && fmod(u, 0.25) < 0.12;
        if (boat)
            return f.Shade(3, 0.6);
        double lines = sin((u * 0.6 + depth) * 260 + sin(u * 40) * 2);
        bool stripe = lines > 0.7 && (x + y) % 2 == 0;
        return f.Shade(0, stripe ? 0.85 : 0.25 + 0.5 * Clamp(depth * 3));
    });
}

// 6. A tiling of hexagons, each with a six-pointed star of its own.
void Tessellation(Frame &f)
{
    const double size = 0.055;
    EachPixel(f, [&](double u, double v, int, int) {
        double x = u * 1.3 / size, y = v / size;
        // Axial hexagon coordinates, rounded through cube coordinates.
        double q = (sqrt(3.0) / 3 * x - y / 3), r = 2.0 / 3 * y, s3 = -q - r;
        double rq = floor(q + 0.5), rr = floor(r + 0.5), rs = floor(s3 + 0.5);
        double dq = fabs(rq - q), dr = fabs(rr - r), ds = fabs(rs - s3);
        if (dq > dr && dq > ds)
            rq = -rr - rs;
        else if (dr > ds)
            rr = -rq - rs;
        double cx = sqrt(3.0) * (rq + rr / 2), cy = 1.5 * rr;
        double dx = x - cx, dy = y - cy, d = sqrt(dx * dx + dy * dy);
        double edge = fmax(fabs(dy), fabs(dx) * 0.866 + fabs(dy) * 0.5);
        if (edge > 0.9)
            return f.Shade(3, 0.08);   // the grout between tiles
        int tile = int(rq) * 7 + int(rr) * 13;
        int ramp = ((tile % 3) + 3) % 3;
        double angle = atan2(dy, dx), star = 0.45 + 0.25 * cos(angle * 6);
        if (d < star)
            return f.Shade((ramp + 1) % 3, 0.85 - d * 0.6);
        double rings = fmod(d * 10, 1.0) < 0.5 ? 0.08 : 0;
        return f.Shade(ramp, 0.35 + 0.3 * (1 - d) + rings);
    });
}

// 7. A spiral valley of the Mandelbrot set.
void Fractal(Frame &f)
{
    const double cx = -0.7436447860, cy = 0.1318252536, span = 0.0032;
    EachPixel(f, [&](double u, double v, int, int) {
        double x0 = cx + (u - 0.5) * span * 1.3, y0 = cy + (v - 0.5) * span;
        double x = 0, y = 0;
        int n = 0;
        const int limit = 600;
        while (n < limit && x * x + y * y < 256) {
            double t = x * x - y * y + x0;
            y = 2 * x * y + y0;
            x = t;
            n++;
        }
        if (n == limit)
            return f.Shade(3, 0.02);
        double smooth = n + 1 - log(log(sqrt(x * x + y * y))) / log(2.0);
        double t = fmod(smooth / 24.0, 3.0);
        int ramp = int(t);
        return f.Shade(ramp, t - ramp);
    });
}

// 8. A stained-glass window: cells of coloured glass in lead, in an arch.
void StainedGlass(Frame &f)
{
    Random r(19);
    struct Cell { double u, v; int ramp; double light; };
    std::vector<Cell> cells;
    for (int j = 0; j < 9; j++)
        for (int i = 0; i < 12; i++)
            cells.push_back({(i + 0.2 + 0.6 * r.Unit()) / 12, (j + 0.2 + 0.6 * r.Unit()) / 9, int(r.Next() % 3), r.Unit()});
    EachPixel(f, [&](double u, double v, int, int) {
        double au = (u - 0.5) / 0.42, av = (v - 0.38) / 0.34;
        bool inside = (v > 0.38 ? fabs(u - 0.5) < 0.42 : au * au + av * av < 1) && v < 0.95;
        if (!inside)
            return f.Shade(3, 0.15 + 0.2 * Noise(u * 60, v * 60, 3, 2));   // stone
        double best = 9, second = 9;
        const Cell *nearest = &cells[0];
        for (const Cell &c : cells) {
            double d = (u - c.u) * (u - c.u) * 1.7 + (v - c.v) * (v - c.v);
            if (d < best) {
                second = best;
                best = d;
                nearest = &c;
            } else if (d < second) {
                second = d;
            }
        }
        if (sqrt(second) - sqrt(best) < 0.006)
            return f.Shade(3, 0.03);   // lead
        double glow = 0.35 + 0.4 * nearest->light + 0.2 * Noise(u * 120, v * 120, 2, 14) - 0.3 * sqrt(best) * 4;
        return f.Shade(nearest->ramp, glow);
    });
}

// 9. Shaded spheres on a chequered table.
void Spheres(Frame &f)
{
    struct Ball { double u, v, r; int ramp; } balls[] = {
        {0.22, 0.55, 0.13, 0}, {0.48, 0.48, 0.17, 1}, {0.75, 0.58, 0.12, 2}, {0.36, 0.76, 0.08, 2}, {0.63, 0.8, 0.07, 0},
    };
    EachPixel(f, [&](double u, double v, int, int) {
        for (const Ball &b : balls) {
            double dx = (u - b.u) * 1.3 / b.r, dy = (v - b.v) / b.r;
            double d2 = dx * dx + dy * dy;
            if (d2 < 1) {
                double nz = sqrt(1 - d2);
                double light = Clamp(-0.5 * dx - 0.6 * dy + 0.62 * nz);
                double spec = Power(Clamp(-0.35 * dx - 0.45 * dy + 0.82 * nz), 40);
                return f.Shade(b.ramp, 0.1 + 0.75 * light + spec);
            }
        }
        if (v < 0.5)
            return f.Shade(3, 0.55 + 0.25 * Noise(u * 8, v * 8, 3, 4));   // the wall
        for (const Ball &b : balls) {
            double sx = (u - b.u - 0.04) * 1.3 / b.r, sy = (v - b.v - b.r * 0.8) / (b.r * 0.3);
            if (sx * sx + sy * sy < 1)
                return f.Shade(3, 0.12);
        }
        double depth = (v - 0.5) * 2, px = (u - 0.5) / (0.3 + depth) * 6, py = 1 / (depth + 0.05);
        bool dark = (int(floor(px)) + int(floor(py))) % 2 != 0;
        return f.Shade(3, dark ? 0.25 + depth * 0.1 : 0.7 + depth * 0.2);
    });
}

// 10. A city at night over its own reflection.
void CityAtNight(Frame &f)
{
    Random r(23);
    double heights[40];
    for (double &h : heights)
        h = 0.18 + 0.32 * r.Unit();
    auto scene = [&](double u, double v, int x, int y) {
        // The water's ripple can reach u = 1: that is the last building.
        int b = std::min(int(u * 40), 39);
        double top = 0.7 - heights[b];
        if (v > top && v < 0.7) {
            double wx = fmod(u * 40, 1.0), wy = (v - top) * 80;
            bool window = wx > 0.15 && wx < 0.85 && fmod(wx * 5, 1.0) < 0.6 && fmod(wy, 1.0) < 0.55;
            uint32_t h = uint32_t(b * 131 + int(wy) * 31 + int(wx * 5) * 7);
            if (window && (h * 2654435761u >> 28) % 3 != 0)
                return f.Shade(2, 0.6 + 0.35 * ((h >> 3) % 5) / 4.0);
            return f.Shade(1, 0.12 + 0.08 * (b % 3));
        }
        if (v <= top) {
            double mu = u - 0.82, mv = v - 0.14;
            if (mu * mu + mv * mv < 0.0025)
                return f.Shade(2, 0.98);
            uint32_t s = uint32_t(x * 7919 + y * 104729);
            if (v < 0.45 && (s * 2654435761u >> 22) % 180 == 0)
                return f.Shade(2, 0.9);
            return f.Shade(0, 0.1 + 0.4 * v);
        }
        return f.Shade(0, 0.05);
    };
    EachPixel(f, [&](double u, double v, int x, int y) {
        if (v < 0.7)
            return scene(u, v, x, y);
        // The water: the scene mirrored, rippled, darker.
        double ripple = 0.004 * sin(v * 300) + 0.002 * sin(u * 200 + v * 50);
        double mv = 1.4 - v;
        COLORREF c = scene(Clamp(u + ripple), mv, x, int(mv * f.c.height));
        return (int(v * f.c.height) % 3 == 0) ? f.Shade(0, 0.08) : c;
    });
}

COLORREF Hex(uint32_t rgb) { return RGB((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

Palette Ramps(uint32_t a0, uint32_t a1, uint32_t a2, uint32_t b0, uint32_t b1, uint32_t b2, uint32_t c0, uint32_t c1,
              uint32_t c2, uint32_t d0, uint32_t d1, uint32_t d2)
{
    Palette p = {{{Hex(a0), Hex(a1), Hex(a2)}, {Hex(b0), Hex(b1), Hex(b2)}, {Hex(c0), Hex(c1), Hex(c2)}, {Hex(d0), Hex(d1), Hex(d2)}}};
    return p;
}

struct Art {
    Palette palette;
    void (*paint)(Frame &);
};

const Art kArt[10] = {
    {Ramps(0x3a0c0c, 0xb8322a, 0xf07a5a, 0x4a2a08, 0xd98a1e, 0xffd27a, 0x22102a, 0x6a2c6e, 0xc47ab8, 0x0e0a10, 0x3a2420, 0x6a4a3a), ColourField},
    {Ramps(0x101010, 0x8a8a82, 0xf4f1e6, 0x5a0a0a, 0xc8201c, 0xff6a5a, 0x0a1450, 0x1c3ca8, 0x6a8ae8, 0x6a5200, 0xe8c01c, 0xfff07a), GridComposition},
    {Ramps(0x1a4a8a, 0x6aa8e0, 0xd8ecff, 0x1a4010, 0x5a9a28, 0xd0e870, 0x8a5a10, 0xf0c040, 0xfff8d8, 0x0a200a, 0x285a20, 0x6a9a50), Pointillist},
    {Ramps(0x06103a, 0x1a3a8a, 0x5a8ad8, 0x0a2a4a, 0x2a6a9a, 0x9ad0f0, 0x6a5a10, 0xe8c83a, 0xfff8c0, 0x020802, 0x10301a, 0x3a6a3a), StarrySky},
    {Ramps(0x041a3a, 0x1a4a8a, 0x9ac0e0, 0x8aa0b0, 0xdce8f0, 0xffffff, 0xa08a6a, 0xe8d8b8, 0xfff6e8, 0x2a2a3a, 0x6a6a80, 0xf8f8ff), Wave},
    {Ramps(0x06302e, 0x1a8a80, 0x9ae8e0, 0x4a3006, 0xc8901a, 0xffe09a, 0x4a0a2a, 0xc03a6a, 0xffb0c8, 0x080808, 0x282830, 0x606070), Tessellation},
    {Ramps(0x000820, 0x2060c0, 0xe0f0ff, 0x200800, 0xc05010, 0xffe0a0, 0x100020, 0x8030a0, 0xffc0ff, 0x000000, 0x080810, 0x101020), Fractal},
    {Ramps(0x3a0008, 0xc0102a, 0xff8a8a, 0x000a3a, 0x1a40c0, 0x8ab0ff, 0x003a10, 0x10a040, 0xa0ffb0, 0x050505, 0x4a4440, 0x9a928a), StainedGlass},
    {Ramps(0x3a0404, 0xc02020, 0xffe0e0, 0x02203a, 0x2080c0, 0xe0f4ff, 0x3a3000, 0xd0b020, 0xfffce0, 0x1a1410, 0x7a6a5a, 0xe8e0d0), Spheres},
    {Ramps(0x02020e, 0x141a4a, 0x3a4a8a, 0x050508, 0x1a1a24, 0x3a3a4a, 0x5a3a00, 0xf0b030, 0xfff4c0, 0x000000, 0x101010, 0x202020), CityAtNight},
};

}  // namespace

const PaintingTitle Paintings[10] = {
    {"Colour field", "three soft fields of red, orange and plum over a dark ground"},
    {"Grid", "black lines and primary fields, some finely hatched"},
    {"Pointillist landscape", "a river valley under a summer sun, in dots"},
    {"Starry sky", "swirling strokes, haloed stars, a crescent moon and a cypress"},
    {"Wave", "a great wave with foam claws, boats and a far mountain"},
    {"Tessellation", "a tiling of hexagons in teal, ochre and rose"},
    {"Fractal", "a spiral valley at the edge of the Mandelbrot set"},
    {"Stained glass", "a window of ruby, sapphire and emerald glass in lead"},
    {"Spheres", "five shaded spheres on a chequered table"},
    {"City at night", "lit windows of a skyline and its rippled reflection"},
};

void PaintPainting(int index, Canvas &canvas, int steps)
{
    Frame f = {canvas, kArt[index].palette, steps};
    kArt[index].paint(f);
}
