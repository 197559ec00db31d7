// The native baseline of the benchmarks: what minimal_window.exe does, in
// plain Xlib, without Wine. A 640 x 480 window centred on its screen that
// draws a black 100 x 100 square under the pointer and repaints a plain
// area on a click (the picture's 486 x 372 for a click left of it, the
// whole window for any other).
//   x11_square      (on the screen DISPLAY names)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

namespace {

Display *Dpy;
Window Win;
GC Gc;
bool AreaShade = false, WindowShade = false;
int SquareX = -200, SquareY = -200;
unsigned long Black, Window0, Window1, Area0, Area1;

unsigned long Rgb(int r, int g, int b)
{
    XColor c = {};
    c.red = static_cast<unsigned short>(r * 257);
    c.green = static_cast<unsigned short>(g * 257);
    c.blue = static_cast<unsigned short>(b * 257);
    XAllocColor(Dpy, DefaultColormap(Dpy, DefaultScreen(Dpy)), &c);
    return c.pixel;
}

void Fill(unsigned long colour, int x, int y, int w, int h)
{
    XSetForeground(Dpy, Gc, colour);
    XFillRectangle(Dpy, Win, Gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

// Repaints the rectangle (x, y, w, h) of the window, the square last.
void Paint(int x, int y, int w, int h)
{
    Fill(WindowShade ? Window1 : Window0, x, y, w, h);
    int l = x > 145 ? x : 145, t = y > 5 ? y : 5, r = x + w < 631 ? x + w : 631, b = y + h < 377 ? y + h : 377;
    if (l < r && t < b)
        Fill(AreaShade ? Area1 : Area0, l, t, r - l, b - t);
    XRectangle clip = {static_cast<short>(x), static_cast<short>(y), static_cast<unsigned short>(w),
                       static_cast<unsigned short>(h)};
    XSetClipRectangles(Dpy, Gc, 0, 0, &clip, 1, Unsorted);
    Fill(Black, SquareX, SquareY, 100, 100);
    XSetClipMask(Dpy, Gc, None);
}

}  // namespace

int main()
{
    Dpy = XOpenDisplay(nullptr);
    if (!Dpy) {
        fprintf(stderr, "x11_square: no display\n");
        return 1;
    }
    int screen = DefaultScreen(Dpy);
    Black = Rgb(0, 0, 0);
    Window0 = Rgb(212, 208, 200);
    Window1 = Rgb(160, 160, 170);
    Area0 = Rgb(240, 240, 240);
    Area1 = Rgb(120, 140, 160);
    int left = (DisplayWidth(Dpy, screen) - 640) / 2, top = (DisplayHeight(Dpy, screen) - 480) / 2;
    XSetWindowAttributes a = {};
    a.override_redirect = True;
    a.event_mask = ExposureMask | PointerMotionMask | ButtonReleaseMask;
    Win = XCreateWindow(Dpy, RootWindow(Dpy, screen), left, top, 640, 480, 0, CopyFromParent, InputOutput, CopyFromParent,
                        CWOverrideRedirect | CWEventMask, &a);
    // An empty cursor, as the viewer hides the pointer over its picture.
    char none[8] = {};
    Pixmap blank = XCreateBitmapFromData(Dpy, Win, none, 8, 8);
    XColor black = {};
    XDefineCursor(Dpy, Win, XCreatePixmapCursor(Dpy, blank, blank, &black, &black, 0, 0));
    Gc = XCreateGC(Dpy, Win, 0, nullptr);
    XMapWindow(Dpy, Win);
    for (;;) {
        XEvent e;
        XNextEvent(Dpy, &e);
        if (e.type == Expose) {
            Paint(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height);
        } else if (e.type == MotionNotify) {
            int oldX = SquareX, oldY = SquareY;
            SquareX = e.xmotion.x - 50;
            SquareY = e.xmotion.y - 50;
            if (SquareX == oldX && SquareY == oldY)
                continue;
            Paint(oldX, oldY, 100, 100);
            Fill(Black, SquareX, SquareY, 100, 100);
        } else if (e.type == ButtonRelease) {
            if (e.xbutton.x < 145) {
                AreaShade = !AreaShade;
                Paint(145, 5, 486, 372);
            } else {
                WindowShade = !WindowShade;
                AreaShade = !AreaShade;
                Paint(0, 0, 640, 480);
            }
        }
        XFlush(Dpy);
    }
}
