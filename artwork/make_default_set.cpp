// Makes the default picture set from code: ten paintings and their
// full-size variants, the thumbnail strip, the buttons and the credits and
// help pages, as 8-bit BMP files. The same run gives the same bytes. The
// second form draws the credits page of a user's own picture set.
//   make_default_set OUTPUT_FOLDER
//   make_default_set credits TEXT_FILE OUTPUT_BMP
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "artwork/canvas.h"
#include "artwork/paintings.h"

namespace {

const COLORREF kFace = RGB(212, 208, 200), kLight = RGB(255, 255, 255), kDark = RGB(64, 64, 64),
               kShadow = RGB(128, 128, 128), kInk = RGB(16, 16, 40), kFrame = RGB(48, 48, 56),
               kAccent = RGB(40, 70, 150);

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

// The page heading, drawn the same on both pages.
GdiCanvas PageCanvas(const char *title)
{
    GdiCanvas g(640, 480, RGB(250, 246, 236));
    Shape(g, kAccent, 1, kAccent, [](HDC dc) { Rectangle(dc, 0, 0, 640, 64); });
    Shape(g, RGB(120, 160, 230), 3, RGB(230, 240, 255), [](HDC dc) { Ellipse(dc, 560, 8, 612, 60); });
    g.Text(24, 16, title, 26, kLight, true);
    return g;
}

Canvas HelpPage()
{
    GdiCanvas g = PageCanvas("How to use the lens viewer");
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
        g.Text(32, y, line, heading ? 17 : 15, heading ? kAccent : kInk, heading);
        y += heading ? 26 : 21;
    }
    return g.Take();
}

// The credits page: what the ten pictures are, how they were made, and who
// made them (no signature line for a user's own set). Long names are cut.
Canvas CreditsPage(const char *intro, const std::vector<std::string> &pictures, const std::vector<std::string> &notes,
                   const char *signature)
{
    GdiCanvas g = PageCanvas("orbvue  -  the lens viewer");
    g.Text(32, 84, "A picture viewer with a spherical glass lens that follows the mouse.", 16, kInk);
    g.Text(32, 112, intro, 16, kInk, true);
    for (size_t n = 0; n < pictures.size() && n < 10; n++) {
        std::string line = std::to_string(n + 1) + ".  " + pictures[n];
        g.Text(48, 140 + 22 * int(n), line.c_str(), 14, kInk, false, TA_LEFT, 568);
    }
    for (size_t n = 0; n < notes.size() && n < 3; n++)
        g.Text(32, 376 + 18 * int(n), notes[n].c_str(), 15, kInk, false, TA_LEFT, 584);
    if (signature)
        g.Text(32, 420, signature, 15, kAccent, true);
    g.Text(32, 448, "Click anywhere on this page to close it.", 14, kShadow);
    return g.Take();
}

Canvas DefaultCreditsPage()
{
    std::vector<std::string> pictures;
    for (int n = 0; n < 10; n++)
        pictures.push_back(std::string(Paintings[n].title) + "  -  " + Paintings[n].description);
    return CreditsPage("All ten paintings were generated by the program's own code:", pictures,
                       {"Every picture and button was drawn by the program itself; the text is set in",
                        "the system's own font."},
                       "Made by the orbvue developers.");
}

// A picture set's own credits page, from a UTF-8 text file: the ten
// pictures' names, one a line, then up to three lines on how they were made.
int MakeSetCredits(const char *textFile, const char *out)
{
    HANDLE f = CreateFileA(textFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "make_default_set: cannot read %s\n", textFile);
        return 1;
    }
    std::string text(16384, '\0');
    DWORD got = 0;
    BOOL read = ReadFile(f, &text[0], DWORD(text.size()), &got, nullptr);
    CloseHandle(f);
    if (!read || got == text.size()) {
        fprintf(stderr, "make_default_set: %s is unreadable or longer than %u bytes\n", textFile, unsigned(text.size() - 1));
        return 1;
    }
    text.resize(got);
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    if (lines.size() < 10) {
        fprintf(stderr, "make_default_set: %s names %u pictures, not ten\n", textFile, unsigned(lines.size()));
        return 1;
    }
    std::vector<std::string> pictures(lines.begin(), lines.begin() + 10), notes(lines.begin() + 10, lines.end());
    Canvas page = CreditsPage("The ten pictures of this set:", pictures, notes, nullptr);
    if (SaveIndexed(page, out))
        return 0;
    fprintf(stderr, "make_default_set: cannot write %s\n", out);
    return 1;
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
    if (argc == 4 && strcmp(argv[1], "credits") == 0)
        return MakeSetCredits(argv[2], argv[3]);
    if (argc != 2) {
        fprintf(stderr, "usage: make_default_set OUTPUT_FOLDER\n"
                        "       make_default_set credits TEXT_FILE OUTPUT_BMP\n");
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
    ok = Save(DefaultCreditsPage(), out, "LCREDITB.BMP") && ok;
    ok = Save(HelpPage(), out, "LHELPB.BMP") && ok;
    return ok ? 0 : 1;
}
