// Makes the default picture set from code: ten paintings and their
// full-size variants, the thumbnail strip, the buttons and the credits and
// help pages, as 8-bit BMP files. The same run gives the same bytes.
//   make_default_set OUTPUT_FOLDER
#include <stdio.h>

#include <string>

#include "tools/default_set/canvas.h"
#include "tools/default_set/paintings.h"

namespace {

const COLORREF kFace = RGB(212, 208, 200), kLight = RGB(255, 255, 255), kDark = RGB(64, 64, 64),
               kShadow = RGB(128, 128, 128), kInk = RGB(16, 16, 40), kFrame = RGB(48, 48, 56);

// A raised button face: light top-left edges, dark bottom-right ones. The
// pressed look shifts the face and leaves these edges, so it reads as a press.
void Bevel(GdiCanvas &g, int width, int height)
{
    auto line = [&](int x0, int y0, int x1, int y1, COLORREF c) {
        HPEN pen = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ old = SelectObject(g.dc, pen);
        MoveToEx(g.dc, x0, y0, nullptr);
        LineTo(g.dc, x1, y1);
        SelectObject(g.dc, old);
        DeleteObject(pen);
    };
    line(0, 0, width - 1, 0, kLight);
    line(0, 0, 0, height - 1, kLight);
    line(width - 1, 0, width - 1, height, kDark);
    line(0, height - 1, width, height - 1, kDark);
    line(width - 2, 1, width - 2, height - 1, kShadow);
    line(1, height - 2, width - 1, height - 2, kShadow);
}

void Shape(GdiCanvas &g, COLORREF pen, int penWidth, COLORREF brush, void (*draw)(HDC))
{
    HPEN p = CreatePen(PS_SOLID, penWidth, pen);
    HBRUSH b = brush == CLR_INVALID ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(brush);
    HGDIOBJ oldPen = SelectObject(g.dc, p), oldBrush = SelectObject(g.dc, b);
    draw(g.dc);
    SelectObject(g.dc, oldPen);
    SelectObject(g.dc, oldBrush);
    DeleteObject(p);
    if (brush != CLR_INVALID)
        DeleteObject(b);
}

Canvas Button(int symbol)
{
    GdiCanvas g(33, 33, kFace);
    Bevel(g, 33, 33);
    switch (symbol) {
    case 0:   // credits: a circled "i"
        Shape(g, RGB(20, 60, 160), 2, RGB(60, 110, 220), [](HDC dc) { Ellipse(dc, 6, 6, 27, 27); });
        g.Text(16, 7, "i", 17, kLight, true, TA_CENTER);
        break;
    case 1:   // help: a question mark
        Shape(g, RGB(20, 110, 40), 2, RGB(70, 170, 80), [](HDC dc) { Ellipse(dc, 6, 6, 27, 27); });
        g.Text(16, 7, "?", 17, kLight, true, TA_CENTER);
        break;
    case 2:   // exit: a red cross
        Shape(g, RGB(190, 30, 30), 4, CLR_INVALID, [](HDC dc) {
            MoveToEx(dc, 9, 9, nullptr);
            LineTo(dc, 23, 23);
            MoveToEx(dc, 23, 9, nullptr);
            LineTo(dc, 9, 23);
        });
        break;
    case 3:   // zoom: a magnifying glass
        Shape(g, RGB(90, 60, 20), 4, CLR_INVALID, [](HDC dc) {
            MoveToEx(dc, 19, 19, nullptr);
            LineTo(dc, 26, 26);
        });
        Shape(g, kInk, 2, RGB(200, 230, 255), [](HDC dc) { Ellipse(dc, 6, 6, 21, 21); });
        Shape(g, kLight, 1, CLR_INVALID, [](HDC dc) { Arc(dc, 9, 9, 18, 18, 14, 9, 9, 14); });
        break;
    }
    return g.Take();
}

Canvas ReturnButton()
{
    GdiCanvas g(126, 86, kFace);
    Bevel(g, 126, 86);
    Shape(g, RGB(20, 60, 160), 1, RGB(60, 110, 220), [](HDC dc) {
        POINT arrow[] = {{18, 30}, {40, 12}, {40, 22}, {70, 22}, {70, 38}, {40, 38}, {40, 48}};
        Polygon(dc, arrow, 7);
    });
    g.Text(80, 18, "Back", 14, kInk, true);
    g.Text(63, 56, "to the menu", 13, kInk, false, TA_CENTER);
    return g.Take();
}

// The strip: two columns and five rows of thumbnails on a dark frame,
// laid out on the cells that a click selects.
Canvas ThumbnailStrip()
{
    Canvas strip(126, 277, kFrame);
    const int columnLeft[] = {1, 64}, columnWidth[] = {63, 62};
    for (int n = 0; n < 10; n++) {
        int column = n % 2, row = n / 2;
        int x = columnLeft[column] + 2, y = 1 + row * 55 + 2, w = columnWidth[column] - 4, h = 55 - 4;
        Canvas thumb(w, h);
        PaintPainting(n, thumb, 6);   // 24 colours each, so ten share one table
        strip.Paste(thumb, x, y);
    }
    return strip;
}

Canvas Page(bool help)
{
    GdiCanvas g(640, 480, RGB(250, 246, 236));
    COLORREF accent = RGB(40, 70, 150);
    Shape(g, accent, 1, accent, [](HDC dc) { Rectangle(dc, 0, 0, 640, 64); });
    Shape(g, RGB(120, 160, 230), 3, RGB(230, 240, 255), [](HDC dc) { Ellipse(dc, 560, 8, 612, 60); });
    if (help) {
        g.Text(24, 16, "How to use the lens viewer", 26, kLight, true);
        const char *lines[] = {
            "The lens",
            "   Move the mouse over the picture: the glass sphere follows it and magnifies",
            "   what lies under its centre about three times. Moving over the frame moves it too.",
            "Choosing a picture",
            "   Click a thumbnail in the strip on the left to show that painting.",
            "Zoom",
            "   Click the picture, or the magnifying-glass button, to see the painting at full",
            "   size over the whole window. Click anywhere to come back.",
            "The buttons at the bottom right",
            "   i   credits: who made this program and its pictures",
            "   ?   this help page",
            "   X   exit the viewer",
            "   and the magnifying glass: zoom, as a click on the picture does",
            "Back to the menu",
            "   The button under the thumbnails ends the viewer and returns to the menu program,",
            "   which can start the viewer again on the picture you left.",
            "Click anywhere on this page to close it.",
        };
        int y = 80;
        for (const char *line : lines) {
            bool heading = line[0] != ' ';
            g.Text(32, y, line, heading ? 17 : 15, heading ? accent : kInk, heading);
            y += heading ? 26 : 21;
        }
    } else {
        g.Text(24, 16, "orbvue  -  the lens viewer", 26, kLight, true);
        g.Text(32, 84, "A picture viewer with a spherical glass lens that follows the mouse.", 16, kInk);
        g.Text(32, 112, "All ten paintings were generated by the program's own code:", 16, kInk, true);
        int y = 140;
        for (int n = 0; n < 10; n++) {
            std::string line = std::to_string(n + 1) + ".  " + Paintings[n].title + "  -  " + Paintings[n].description;
            g.Text(48, y, line.c_str(), 14, kInk);
            y += 22;
        }
        g.Text(32, 376, "Every picture and button was drawn by the program itself; the text is set in", 15, kInk);
        g.Text(32, 394, "the system's own font.", 15, kInk);
        g.Text(32, 420, "Made by the orbvue developers.", 15, accent, true);
        g.Text(32, 448, "Click anywhere on this page to close it.", 14, kShadow);
    }
    return g.Take();
}

bool Save(const Canvas &c, const std::string &folder, const std::string &name)
{
    if (SaveIndexed(c, folder + "\\" + name))
        return true;
    fprintf(stderr, "make_default_set: cannot write %s\n", name.c_str());
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_default_set OUTPUT_FOLDER\n");
        return 2;
    }
    std::string out = argv[1];
    CreateDirectoryA(out.c_str(), nullptr);
    bool ok = true;
    for (int n = 0; n < 10; n++) {
        Canvas normal(486, 372), full(640, 480);
        PaintPainting(n, normal, 64);
        PaintPainting(n, full, 64);
        ok = Save(normal, out, "LIMAGE" + std::to_string(n + 1) + ".BMP") && ok;
        ok = Save(full, out, "FIMAGE" + std::to_string(n + 1) + ".BMP") && ok;
    }
    ok = Save(ThumbnailStrip(), out, "lselect.bmp") && ok;
    ok = Save(ReturnButton(), out, "lbutton.bmp") && ok;
    const char *buttons[] = {"copyrite.bmp", "help.bmp", "exit.bmp", "zoom.bmp"};
    for (int i = 0; i < 4; i++)
        ok = Save(Button(i), out, buttons[i]) && ok;
    ok = Save(Page(false), out, "LCREDITB.BMP") && ok;
    ok = Save(Page(true), out, "LHELPB.BMP") && ok;
    return ok ? 0 : 1;
}
