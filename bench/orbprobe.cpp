// orbprobe: what a user feels, measured from outside the programs. Real
// pointer motion and clicks go in through XTest; the time ends when the
// X server's framebuffer holds the pixels the program draws for them.
// Each program runs alone on its own screen of one X server, all at once,
// and every figure comes from rounds that visit them in turn.
//   orbprobe [--smoke] [--rounds N] ROLE:LABEL:SCREEN ...
// ROLE is viewer (orbvue.exe), design (paint_design.exe, the viewer's paint
// without the lens), minimal (minimal_window.exe) or native (x11_square);
// programs with the same LABEL are compared with each other, and the
// viewers with the native program too. Each window is 640 x 480, centred.
//
// What the expected pixels are: before timing, the pointer is put on every
// position of a path and the screen left to settle; the settled pixels of a
// row through the path are that position's picture. A timed motion ends
// when that row shows exactly the pixels of the new position. The server's
// damage events wake the probe; the row is read (XGetImage) after each.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<unsigned char>;

Display *Dpy;
int DamageBase;

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void Pause(double seconds)
{
    timespec t = {time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    nanosleep(&t, nullptr);
}

// The geometry shared by every program, in window coordinates.
enum { PathRow = 5 + 186, PathStart = 145 + 150, PathStep = 2 };
const int ClickRows[] = {100, 300, 460};
struct Point { int x, y; };
const Point ThumbA = {37, 33}, ThumbB = {100, 33}, OnPicture = {145 + 243, 5 + 186};

struct Program {
    std::string role, label;
    int screen = 0, left = 0, top = 0;
    Window root = 0;
    Damage damage = 0;
    std::vector<Pixels> path;                 // settled row for each path position
    Pixels afterA, afterB, zoomedIn, zoomedOut;   // settled click rows
    std::vector<double> motion, thumbnail, zoom;   // seconds
    int timeouts = 0, indistinct = 0;
    std::vector<double> rateLags[3];              // motion to its frame, per rate; one a frame drawn
};

int Positions = 60;   // along the path, PathStep pixels apart

int PathX(int i) { return PathStart + PathStep * i; }
// Back and forth along the path: step c of an endless walk.
int Walk(long c)
{
    long period = 2L * (Positions - 1), k = c % period;
    return int(k < Positions ? k : period - k);
}

Pixels Grab(const Program &p, int x, int y, int width)
{
    Pixels out;
    XImage *image = XGetImage(Dpy, p.root, p.left + x, p.top + y, unsigned(width), 1, AllPlanes, ZPixmap);
    if (!image)
        return out;
    out.assign(image->data, image->data + size_t(image->bytes_per_line));
    XDestroyImage(image);
    return out;
}

// The row through the path, reaching 60 pixels past both ends.
Pixels PathPixels(const Program &p) { return Grab(p, PathStart - 60, PathRow, PathStep * (Positions - 1) + 121); }

Pixels ClickPixels(const Program &p)
{
    Pixels all;
    for (int y : ClickRows) {
        Pixels row = Grab(p, 0, y, 640);
        all.insert(all.end(), row.begin(), row.end());
    }
    return all;
}

// Waits until the program's screen is drawn on, or until `until`; true on
// a drawing. Re-arms the damage report before returning.
bool WaitDamage(Program &p, double until)
{
    bool damaged = false;
    for (;;) {
        while (XPending(Dpy)) {
            XEvent e;
            XNextEvent(Dpy, &e);
            if (e.type == DamageBase + XDamageNotify) {
                XDamageNotifyEvent *d = reinterpret_cast<XDamageNotifyEvent *>(&e);
                XDamageSubtract(Dpy, d->damage, None, None);
                damaged = damaged || d->damage == p.damage;
            }
        }
        double left = until - Now();
        if (damaged || left <= 0)
            return damaged;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(Dpy), &fds);
        timeval tv = {long(left), long((left - double(long(left))) * 1e6)};
        select(ConnectionNumber(Dpy) + 1, &fds, nullptr, nullptr, &tv);
    }
}

// Until nothing has been drawn for 50 ms (at most `longest` seconds).
void Settle(Program &p, double longest = 3)
{
    double end = Now() + longest;
    while (Now() < end && WaitDamage(p, std::min(end, Now() + 0.05))) {
    }
}

// XTest motion stays on the pointer's screen here: a warp, never timed,
// takes the pointer to another program's screen first.
void Move(const Program &p, Point at)
{
    static int current = -1;
    if (current != p.screen) {
        XWarpPointer(Dpy, None, p.root, 0, 0, 0, 0, p.left + at.x, p.top + at.y);
        current = p.screen;
    }
    XTestFakeMotionEvent(Dpy, -1, p.left + at.x, p.top + at.y, CurrentTime);
    XFlush(Dpy);
}

void Click()
{
    XTestFakeButtonEvent(Dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(Dpy, 1, False, CurrentTime);
    XFlush(Dpy);
}

// Seconds from `start` until `grab` gives `want`; -1 after `timeout`.
double WaitFor(Program &p, Pixels (*grab)(const Program &), const Pixels &want, double start, double timeout)
{
    double end = start + timeout;
    while (Now() < end) {
        WaitDamage(p, std::min(end, Now() + 0.1));   // a look every 100 ms even if no report came
        if (grab(p) == want)
            return Now() - start;
    }
    return -1;
}

// Waits for the program's 640 x 480 window on its screen.
bool Appeared(Program &p, double timeout)
{
    double end = Now() + timeout;
    while (Now() < end) {
        Window parent, *children = nullptr, rootReturn;
        unsigned count = 0;
        if (XQueryTree(Dpy, p.root, &rootReturn, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; i++) {
                XWindowAttributes a;
                if (XGetWindowAttributes(Dpy, children[i], &a) && a.map_state == IsViewable && a.width == 640 &&
                    a.height == 480 && a.x == p.left && a.y == p.top) {
                    XFree(children);
                    return true;
                }
            }
            XFree(children);
        }
        Pause(0.2);
    }
    return false;
}

bool Clicks(const Program &p) { return p.role != "design"; }

void Calibrate(Program &p)
{
    for (int i = 0; i < Positions; i++) {
        Move(p, {PathX(i), PathRow});
        Settle(p);
        p.path.push_back(PathPixels(p));
        if (i > 0 && p.path[i] == p.path[i - 1])
            p.indistinct++;
    }
    if (!Clicks(p))
        return;
    Pixels *states[] = {&p.afterB, &p.afterA, &p.zoomedIn, &p.zoomedOut};
    Point where[] = {ThumbB, ThumbA, OnPicture, OnPicture};
    for (int k = 0; k < 4; k++) {
        Move(p, where[k]);
        Settle(p);
        Click();
        Settle(p);
        *states[k] = ClickPixels(p);
    }
}

void Record(Program &p, std::vector<double> &into, double seconds)
{
    if (seconds < 0)
        p.timeouts++;
    else
        into.push_back(seconds);
}

// `count` single motions, each from a settled screen, a few ms apart.
void MotionRound(Program &p, int count, long &step)
{
    Move(p, {PathX(Walk(step)), PathRow});
    Settle(p);
    for (int n = 0; n < count; n++) {
        int i = Walk(++step);
        WaitDamage(p, 0);   // consume stale reports
        double t0 = Now();
        Move(p, {PathX(i), PathRow});
        Record(p, p.motion, WaitFor(p, PathPixels, p.path[size_t(i)], t0, 1.0));
        Pause(0.002 + 0.006 * (rand() / double(RAND_MAX)));
    }
}

// Motions sent at `rate` a second for `seconds`: for each whose frame
// reached the screen, the time from the motion to it. A motion that later
// ones overtook before it was drawn has no frame.
void RateRound(Program &p, double rate, double seconds, long &step, std::vector<double> &lags)
{
    Move(p, {PathX(Walk(step)), PathRow});
    Settle(p);
    int count = int(rate * seconds);
    std::vector<double> sent(size_t(count), 0);
    int next = 0, last = -1;
    long first = step + 1;
    double start = Now();
    for (;;) {
        double now = Now();
        if (next < count && now >= start + next / rate) {
            Move(p, {PathX(Walk(first + next)), PathRow});
            sent[size_t(next++)] = Now();
            continue;
        }
        if (next == count && (last == count - 1 || now > sent.back() + 1.0))
            break;
        if (!WaitDamage(p, next < count ? start + next / rate : sent.back() + 1.0))
            continue;
        Pixels row = PathPixels(p);
        for (int j = next - 1; j > last; j--) {
            if (row == p.path[size_t(Walk(first + j))]) {
                lags.push_back(Now() - sent[size_t(j)]);
                last = j;
                break;
            }
        }
    }
    step = first + count - 1;
}

void ClickRound(Program &p)
{
    struct { Point at; const Pixels *want; std::vector<double> *into; } clicks[] = {
        {ThumbB, &p.afterB, &p.thumbnail}, {ThumbA, &p.afterA, &p.thumbnail},
        {OnPicture, &p.zoomedIn, &p.zoom}, {OnPicture, &p.zoomedOut, &p.zoom},
    };
    for (auto &c : clicks) {
        Move(p, c.at);
        Settle(p);
        double t0 = Now();
        Click();
        Record(p, *c.into, WaitFor(p, ClickPixels, *c.want, t0, 3.0));
        Settle(p);
    }
}

double Quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

std::string Ms(double seconds)
{
    char s[32];
    if (seconds < 0)
        return "-";
    snprintf(s, sizeof s, "%.2f ms", seconds * 1e3);
    return s;
}

std::string Ratio(double a, double b)
{
    char s[32];
    if (a <= 0 || b <= 0)
        return "-";
    snprintf(s, sizeof s, "%.2f", a / b);
    return s;
}

// Markdown table rows: the first column 36 wide, the others 12 or their text's width.
std::vector<size_t> Widths;
void Line(const std::vector<std::string> &cells)
{
    for (size_t i = 0; i < cells.size(); i++)
        printf(i ? " %*s |" : "| %-*s |", int(Widths[i]), cells[i].c_str());
    printf("\n");
}
void Header(const std::vector<std::string> &titles)
{
    Widths.clear();
    for (size_t i = 0; i < titles.size(); i++)
        Widths.push_back(std::max(titles[i].size(), size_t(i ? 12 : 36)));
    Line(titles);
    for (size_t i = 0; i < titles.size(); i++)
        printf(i ? "%s:|" : "|%s|", std::string(Widths[i] + (i ? 1 : 2), '-').c_str());
    printf("\n");
}

std::string Name(const Program &p)
{
    if (p.role == "viewer")
        return "orbvue.exe, " + p.label;
    if (p.role == "design")
        return "viewer's paint, no lens, " + p.label;
    if (p.role == "minimal")
        return "minimal Win32 square, " + p.label;
    return "native X11 square";
}

const Program *Find(const std::vector<Program> &all, const char *role, const std::string &label)
{
    for (const Program &p : all)
        if (p.role == role && (label.empty() || p.label == label))
            return &p;
    return nullptr;
}

}  // namespace

int main(int argc, char **argv)
{
    bool smoke = false;
    int rounds = 21;
    std::vector<Program> programs;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--smoke") {
            smoke = true;
        } else if (a == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, atoi(argv[++i]));
        } else {
            size_t c1 = a.find(':'), c2 = a.rfind(':');
            if (c1 == std::string::npos || c1 == c2) {
                fprintf(stderr, "usage: orbprobe [--smoke] [--rounds N] ROLE:LABEL:SCREEN ...\n");
                return 2;
            }
            Program p;
            p.role = a.substr(0, c1);
            p.label = a.substr(c1 + 1, c2 - c1 - 1);
            p.screen = atoi(a.c_str() + c2 + 1);
            programs.push_back(p);
        }
    }
    int perRound = 20, clickRounds = std::max(1, rounds / 2);
    double streamSeconds = 1.0;
    if (smoke) {
        Positions = 8, rounds = 1, perRound = 3, clickRounds = 1, streamSeconds = 0.1;
    }
    Dpy = XOpenDisplay(nullptr);
    int error, major, minor;
    if (!Dpy || !XTestQueryExtension(Dpy, &error, &error, &major, &minor) || !XDamageQueryExtension(Dpy, &DamageBase, &error)) {
        fprintf(stderr, "orbprobe: needs an X display with the XTEST and DAMAGE extensions\n");
        return 1;
    }
    for (Program &p : programs) {
        if (p.screen < 0 || p.screen >= ScreenCount(Dpy)) {
            fprintf(stderr, "orbprobe: the display has no screen %d\n", p.screen);
            return 1;
        }
        p.root = RootWindow(Dpy, p.screen);
        p.left = (DisplayWidth(Dpy, p.screen) - 640) / 2;
        p.top = (DisplayHeight(Dpy, p.screen) - 480) / 2;
        if (!Appeared(p, 120)) {
            fprintf(stderr, "orbprobe: no window of %s on screen %d\n", Name(p).c_str(), p.screen);
            return 1;
        }
        p.damage = XDamageCreate(Dpy, p.root, XDamageReportNonEmpty);
    }
    for (Program &p : programs)
        Calibrate(p);

    std::vector<long> steps(programs.size(), 0);
    for (int r = 0; r < rounds; r++)
        for (size_t k = 0; k < programs.size(); k++)
            MotionRound(programs[k], perRound, steps[k]);
    const double rates[] = {250, 500, 1000};
    int rateRounds = smoke ? 1 : std::max(2, rounds / 7);
    for (int r = 0; r < rateRounds; r++)
        for (int k = 0; k < 3; k++)
            for (size_t n = 0; n < programs.size(); n++)
                RateRound(programs[n], rates[k], streamSeconds, steps[n], programs[n].rateLags[k]);
    for (int r = 0; r < clickRounds; r++)
        for (Program &p : programs)
            if (Clicks(p))
                ClickRound(p);

    printf("\nEnd to end: XTest pointer motion and clicks to the new pixels in the X server's framebuffer;\n"
           "%d single motions and %d clicks of each kind a program, and %d streams of %.1f s at each rate,\n"
           "in rounds that take the programs in turn. Medians, 90th and 99th percentiles.\n\n",
           rounds * perRound, 2 * clickRounds, rateRounds, streamSeconds);
    Header({"motion to pixels", "median", "p90", "p99", "orbvue / it", "250/s: frames/s, lag", "500/s: frames/s, lag",
            "1000/s: frames/s, lag"});
    for (const Program &p : programs) {
        // The viewer against the other programs of its build; the native
        // program against every viewer.
        std::string ratio;
        for (const Program &v : programs)
            if (v.role == "viewer" && &v != &p && (p.role == "native" || v.label == p.label))
                ratio += (ratio.empty() ? "" : ", ") + Ratio(Quantile(v.motion, 0.5), Quantile(p.motion, 0.5));
        std::vector<std::string> cells = {Name(p), Ms(Quantile(p.motion, 0.5)), Ms(Quantile(p.motion, 0.9)),
                                          Ms(Quantile(p.motion, 0.99)), ratio.empty() ? "-" : ratio};
        for (int k = 0; k < 3; k++) {
            char rate[40];
            snprintf(rate, sizeof rate, "%.0f, %s", double(p.rateLags[k].size()) / (rateRounds * streamSeconds),
                     Ms(Quantile(p.rateLags[k], 0.5)).c_str());
            cells.push_back(rate);
        }
        Line(cells);
    }
    printf("\n");
    Header({"click to pixels", "median", "p90", "bare repaint, Win32", "ratio", "bare repaint, X11", "ratio"});
    const Program *native = Find(programs, "native", "");
    for (const Program &v : programs) {
        if (v.role != "viewer")
            continue;
        const Program *minimal = Find(programs, "minimal", v.label);
        struct { const char *what; std::vector<double> Program::*times; } commands[] = {
            {"thumbnail switch (486 x 372), ", &Program::thumbnail}, {"zoom toggle (640 x 480), ", &Program::zoom}};
        for (auto &c : commands) {
            double mine = Quantile(v.*c.times, 0.5);
            double win32 = minimal ? Quantile(minimal->*c.times, 0.5) : -1, x11 = native ? Quantile(native->*c.times, 0.5) : -1;
            Line({c.what + v.label, Ms(mine), Ms(Quantile(v.*c.times, 0.9)), Ms(win32), Ratio(mine, win32), Ms(x11),
                  Ratio(mine, x11)});
        }
    }
    printf("\n");
    for (const Program &p : programs)
        if (p.timeouts || p.indistinct)
            printf("note: %s: %d waits timed out, %d path steps look alike\n", Name(p).c_str(), p.timeouts, p.indistinct);
    XCloseDisplay(Dpy);
    return 0;
}
