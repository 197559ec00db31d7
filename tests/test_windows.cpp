// The three windows on the real display: what they show, what they
// invalidate, and what clicks and moves do.
#include <gtest/gtest.h>
#include <string.h>

#include "app/globals.h"
#include "app/picture_set.h"
#include "support/desktop.h"
#include "support/picture_files.h"
#include "support/window_rig.h"
#include "ui/window_procs.h"

namespace {

class WindowsTest : public ::testing::Test {
protected:
    WindowRig rig;
    void SetUp() override { ASSERT_TRUE(rig.Open()); }

    // The part of `screen` at (x, y) equals `picture`, pixel for pixel.
    long DifferencesAt(const Rgb &screen, int x, int y, const Rgb &picture)
    {
        long n = 0;
        for (int py = 0; py < picture.height; py++)
            for (int px = 0; px < picture.width; px++)
                n += memcmp(screen.At(x + px, y + py), picture.At(px, py), 3) != 0;
        return n;
    }
    bool ColourIs(const Rgb &screen, int x, int y, COLORREF c)
    {
        const uint8_t *p = screen.At(x, y);
        return p[0] == GetRValue(c) && p[1] == GetGValue(c) && p[2] == GetBValue(c);
    }
    // The update region's box, or an empty rectangle when nothing waits.
    RECT Pending(HWND window)
    {
        RECT r = {0, 0, 0, 0};
        if (!GetUpdateRect(window, &r, FALSE))
            SetRectEmpty(&r);
        return r;
    }
    bool NothingPending(HWND window) { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }
    HWND PictureWindow() { return FindWindowA("CLensHelper", nullptr); }
};

TEST(WindowClasses, RegisteredAsStartUpNeedsThem)
{
    AppInstance = GetModuleHandleA(nullptr);
    WindowRig rig;   // registers them once for this process
    ASSERT_TRUE(rig.Open());
    rig.Close();
    const struct { const char *name; bool arrow; } classes[] = {{"CLensMain", true}, {"CLensViewer", false}, {"CLensHelper", true}};
    for (const auto &c : classes) {
        WNDCLASSA wc;
        ASSERT_TRUE(GetClassInfoA(AppInstance, c.name, &wc)) << c.name;
        EXPECT_EQ(UINT(CS_HREDRAW | CS_VREDRAW), wc.style);
        EXPECT_EQ(reinterpret_cast<HBRUSH>(16), wc.hbrBackground);
        EXPECT_EQ(0, wc.cbClsExtra);
        EXPECT_EQ(0, wc.cbWndExtra);
        EXPECT_EQ(c.arrow, wc.hCursor == LoadCursorA(nullptr, IDC_ARROW)) << c.name;
        EXPECT_EQ(c.arrow, wc.hCursor != nullptr) << c.name;
    }
    EXPECT_FALSE(RegisterWindowClasses()) << "a second registration fails";
}

TEST_F(WindowsTest, LensIsClampedInsideThePicture)
{
    const struct { int x, y; short lensX, lensY; } moves[] = {
        {0, 0, 1, 1},      {50, 50, 1, 1},     {51, 51, 1, 1},       {52, 52, 2, 2},   {435, 300, 385, 250},
        {436, 321, 385, 271}, {900, 900, 385, 271}, {-30, -300, 1, 1}, {200, 150, 150, 100},
    };
    for (const auto &m : moves) {
        rig.MoveOnViewer(m.x, m.y);
        EXPECT_EQ(m.lensX, LensX) << m.x << "," << m.y;
        EXPECT_EQ(m.lensY, LensY) << m.x << "," << m.y;
    }
}

TEST_F(WindowsTest, MovesInvalidateTheTwoSquaresOnly)
{
    rig.MoveOnViewer(200, 150);
    UpdateWindow(ViewerWindow);
    rig.MoveOnViewer(230, 140);
    RECT r = Pending(ViewerWindow);
    EXPECT_EQ(150, r.left);
    EXPECT_EQ(90, r.top);
    EXPECT_EQ(280, r.right);
    EXPECT_EQ(200, r.bottom);
    UpdateWindow(ViewerWindow);
    // Along the clamped border the square stays where it is.
    rig.MoveOnViewer(10, 10);
    UpdateWindow(ViewerWindow);
    for (int x : {0, 20, 40, 51}) {
        rig.MoveOnViewer(x, 5);
        EXPECT_TRUE(NothingPending(ViewerWindow)) << x;
    }
    rig.MoveOnViewer(460, 360);
    UpdateWindow(ViewerWindow);
    rig.MoveOnViewer(470, 365);
    EXPECT_TRUE(NothingPending(ViewerWindow));
}

TEST_F(WindowsTest, ViewerShowsThePictureWithTheLensAtItsPlace)
{
    for (const POINT &p : {POINT{200, 150}, POINT{0, 0}, POINT{486, 372}, POINT{310, 90}}) {
        rig.MoveOnViewer(p.x, p.y);
        UpdateWindow(ViewerWindow);
        EXPECT_EQ(0, CountDifferences(rig.ExpectedViewer("LIMAGE1.BMP"), rig.Viewer())) << p.x << "," << p.y;
    }
}

TEST_F(WindowsTest, MainWindowShowsItsControlsAndBackground)
{
    InvalidateRect(MainWindow, nullptr, TRUE);
    Rgb screen = rig.Screen();
    EXPECT_EQ(0, DifferencesAt(screen, 5, 5, DrawFile("lselect.bmp")));
    EXPECT_EQ(0, DifferencesAt(screen, 5, 290, DrawFile("lbutton.bmp")));
    const char *buttons[] = {"copyrite.bmp", "help.bmp", "exit.bmp", "zoom.bmp"};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(0, DifferencesAt(screen, ButtonRect[i].left, ButtonRect[i].top, DrawFile(buttons[i]))) << buttons[i];
    for (int x : {0, 140, 300, 639}) {
        EXPECT_TRUE(ColourIs(screen, x, 433, GetSysColor(COLOR_BTNFACE))) << x;
        EXPECT_TRUE(ColourIs(screen, x, 434, GetSysColor(COLOR_BTNHIGHLIGHT))) << x;
        EXPECT_TRUE(ColourIs(screen, x, 435, GetSysColor(COLOR_BTNSHADOW))) << x;
        EXPECT_TRUE(ColourIs(screen, x, 479, GetSysColor(COLOR_BTNSHADOW))) << x;
    }
    EXPECT_TRUE(ColourIs(screen, 138, 100, GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(0, DifferencesAt(screen, 145, 5, rig.ExpectedViewer("LIMAGE1.BMP")));
}

TEST_F(WindowsTest, PressedButtonIsShiftedAndInvalidatesOnlyItself)
{
    InvalidateRect(MainWindow, nullptr, TRUE);
    rig.Screen();
    rig.PressOnMain(570, 450);   // help
    EXPECT_EQ(1, ButtonPressed[1]);
    Rgb screen = rig.Screen(), help = DrawFile("help.bmp");
    long differ = 0;
    for (int j = 0; j < 30; j++)
        for (int i = 0; i < 30; i++)
            differ += memcmp(screen.At(560 + 2 + i, 441 + 2 + j), help.At(1 + i, 1 + j), 3) != 0;
    EXPECT_EQ(0, differ);
    // Its rightmost column and bottom row keep the unpressed picture.
    EXPECT_EQ(0, memcmp(screen.At(592, 450), help.At(32, 9), 3));
    EXPECT_EQ(0, memcmp(screen.At(570, 473), help.At(10, 32), 3));
    // Pressing it again changes nothing; pressing elsewhere un-presses it.
    SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(570, 450));
    EXPECT_TRUE(NothingPending(MainWindow));
    rig.PressOnMain(300, 400);
    EXPECT_EQ(0, ButtonPressed[1]);
    EXPECT_EQ(0, DifferencesAt(rig.Screen(), 560, 441, help));
}

TEST_F(WindowsTest, MovesOverTheFrameReachTheViewer)
{
    rig.MoveOnMain(20, 100);   // over the strip: negative x for the viewer
    EXPECT_EQ(1, LensX);
    EXPECT_EQ(45, LensY);
    rig.MoveOnMain(600, 470);
    EXPECT_EQ(385, LensX);
    EXPECT_EQ(271, LensY);
    rig.MoveOnMain(345, 205);   // the viewer's (200, 200)
    EXPECT_EQ(150, LensX);
    EXPECT_EQ(150, LensY);
}

TEST_F(WindowsTest, ThumbnailsSelectTheirPicture)
{
    const struct { int x, y, index; } hits[] = {
        {6, 6, 0}, {130, 280, 9}, {68, 30, 0}, {69, 30, 1}, {40, 60, 0}, {40, 61, 2}, {100, 200, 7}, {6, 226, 8},
    };
    for (const auto &h : hits) {
        SelectImage(0, h.index == 5 ? 6 : 5);
        EXPECT_EQ(1, rig.ReleaseOnMain(h.x, h.y));
        EXPECT_EQ(h.index, CurrentImage) << h.x << "," << h.y;
    }
    // The thumbnail already shown: no reload.
    DibBlock *shown = CurrentDib;
    EXPECT_EQ(1, rig.ReleaseOnMain(6, 226));
    EXPECT_EQ(shown, CurrentDib);
    // The strip's outermost lines name no thumbnail.
    for (const POINT &p : {POINT{5, 5}, POINT{5, 100}, POINT{5, 240}, POINT{60, 5}, POINT{100, 281}, POINT{6, 281}}) {
        SelectImage(0, 4);
        EXPECT_EQ(-1, ThumbnailIndex(p.x, p.y)) << p.x << "," << p.y;
        EXPECT_EQ(1, rig.ReleaseOnMain(p.x, p.y));
        EXPECT_EQ(4, CurrentImage) << p.x << "," << p.y;
    }
}

TEST_F(WindowsTest, ButtonPressAndReleaseRules)
{
    // A press, then a release between the controls: unpressed, nothing else.
    rig.PressOnMain(530, 450);
    EXPECT_EQ(1, ButtonPressed[0]);
    EXPECT_EQ(0, rig.ReleaseOnMain(300, 420));
    EXPECT_EQ(0, ButtonPressed[0]);
    EXPECT_EQ(nullptr, PictureWindow());
    // Pressed on help, released on credits: credits opens, help stays pressed.
    rig.PressOnMain(570, 450);
    EXPECT_EQ(1, rig.ReleaseOnMain(530, 450));
    EXPECT_EQ(1, ButtonPressed[1]);
    ASSERT_NE(nullptr, PictureWindow());
    ASSERT_NE(nullptr, InfoDib);
    EXPECT_EQ(640, InfoDib->width);
    SendMessageA(PictureWindow(), WM_LBUTTONUP, 0, 0);
    Pump();
    // Pressed on a button, released on the strip: the picture changes and
    // the button stays pressed.
    rig.PressOnMain(600, 450);
    EXPECT_EQ(1, rig.ReleaseOnMain(100, 30));
    EXPECT_EQ(1, CurrentImage);
    EXPECT_EQ(1, ButtonPressed[2]);
    EXPECT_TRUE(IsWindow(MainWindow));
}

TEST_F(WindowsTest, ExitAndReturnCloseTheWindow)
{
    rig.ClickOnMain(610, 455);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(0, ReturnRequested);
    rig.Close();
    ASSERT_TRUE(rig.Open());
    rig.ClickOnMain(60, 330);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(1, ReturnRequested);
}

TEST_F(WindowsTest, DestroyingTheWindowsPostsTheQuitMessage)
{
    DestroyWindow(MainWindow);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

class ZoomTest : public WindowsTest {
protected:
    void Zoom(int width, int height, int x, int y)
    {
        WriteFileBytes("FIMAGE1.BMP", SeededPicture(width, height, 101).Build());
        rig.MoveOnViewer(480, 370);
        rig.ClickOnMain(500, 455);   // the zoom button
        ASSERT_EQ(1, ZoomMode);
        RECT r;
        GetWindowRect(ViewerWindow, &r);
        MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT *>(&r), 2);
        int w = width < 640 ? width : 640, h = height < 480 ? height : 480;
        EXPECT_EQ(x, r.left);
        EXPECT_EQ(y, r.top);
        EXPECT_EQ(w, r.right - r.left);
        EXPECT_EQ(h, r.bottom - r.top);
        EXPECT_EQ(width, CurrentDib->width);
        EXPECT_EQ(height, CurrentDib->height);
    }
};

TEST_F(ZoomTest, ViewerTakesTheFullSizePictureAndComesBack)
{
    Zoom(640, 480, 0, 0);
    Rgb viewer = rig.Viewer();
    EXPECT_EQ(0, CountDifferences(rig.ExpectedViewer("FIMAGE1.BMP"), viewer));
    // The lens kept its corner, reduced to fit: it was at (385, 271).
    EXPECT_EQ(385, LensX);
    EXPECT_EQ(271, LensY);
    // A click on the viewer leaves zoom mode; its release does nothing.
    SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_EQ(0, ZoomMode);
    EXPECT_EQ(1, SwallowButtonUp);
    EXPECT_EQ(1, rig.ReleaseOnMain(100, 30));   // lands on the strip that came back
    EXPECT_EQ(0, CurrentImage);
    EXPECT_EQ(0, SwallowButtonUp);
    EXPECT_EQ(486, CurrentDib->width);
    RECT r;
    GetWindowRect(ViewerWindow, &r);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ(145, r.left);
    EXPECT_EQ(5, r.top);
    EXPECT_EQ(486, r.right - r.left);
    rig.ReleaseOnMain(100, 30);   // the next click does select
    EXPECT_EQ(1, CurrentImage);
}

TEST_F(ZoomTest, LargerPictureIsCutAndSmallerOneCentred)
{
    Zoom(800, 600, 0, 0);
    SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    rig.ReleaseOnMain(50, 50);
    Zoom(500, 301, 70, 89);
    EXPECT_EQ(385, LensX);
    EXPECT_EQ(200, LensY);
    // The frame shows button face only, no bottom bar, no controls.
    Rgb screen = rig.Screen();
    for (const POINT &p : {POINT{10, 10}, POINT{10, 440}, POINT{600, 460}, POINT{300, 434}})
        EXPECT_TRUE(ColourIs(screen, p.x, p.y, GetSysColor(COLOR_BTNFACE))) << p.x << "," << p.y;
    // A release reaching the frame in zoom mode is ignored.
    EXPECT_EQ(0, rig.ReleaseOnMain(100, 30));
    EXPECT_EQ(0, CurrentImage);
    EXPECT_EQ(1, ZoomMode);
}

TEST_F(ZoomTest, MissingFullSizePictureKeepsNormalMode)
{
    DeleteFileA("FIMAGE1.BMP");
    BoxWatcher watcher("TalvixLens error");
    rig.ClickOnMain(500, 455);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ("Loading image FIMAGE1.BMP failed!", watcher.Texts()[0]);
    EXPECT_EQ(0, ZoomMode);
    EXPECT_EQ(486, CurrentDib->width);
}

TEST_F(WindowsTest, SmallerPictureFromTheStripKeepsTheLensInside)
{
    WriteFileBytes("LIMAGE2.BMP", SeededPicture(150, 120, 2).Build());
    rig.MoveOnViewer(480, 370);
    UpdateWindow(ViewerWindow);
    rig.ReleaseOnMain(100, 30);
    ASSERT_EQ(1, CurrentImage);
    UpdateWindow(ViewerWindow);
    EXPECT_EQ(49, LensX);
    EXPECT_EQ(19, LensY);
    Rgb viewer = rig.Viewer(), expected = rig.ExpectedViewer("LIMAGE2.BMP");
    EXPECT_EQ(0, DifferencesAt(viewer, 0, 0, expected));
}

TEST_F(WindowsTest, PictureWindowShowsThePageUntilAClick)
{
    rig.ClickOnMain(530, 450);   // credits
    HWND page = PictureWindow();
    ASSERT_NE(nullptr, page);
    RECT r;
    GetWindowRect(page, &r);
    EXPECT_EQ(MainRect.left, r.left);
    EXPECT_EQ(MainRect.top, r.top);
    EXPECT_EQ(640, r.right - r.left);
    Pump();
    HDC dc = GetDC(page);
    Rgb shown = ReadBack(dc, 0, 0, 640, 480);
    ReleaseDC(page, dc);
    EXPECT_EQ(0, CountDifferences(DrawFile("LCREDITB.BMP"), shown));
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(page, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    SendMessageA(page, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    Pump();
    EXPECT_TRUE(IsWindow(page)) << "a press alone or a right click leaves it open";
    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Pump();
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, InfoDib);
    // Help next: its own file, read anew.
    rig.ClickOnMain(570, 450);
    ASSERT_NE(nullptr, PictureWindow());
    ASSERT_NE(nullptr, InfoDib);
    EXPECT_TRUE(HoldsSeededPicture(InfoDib, 640, 480, 207));
    // Closing the main window with the page open frees the page once.
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(nullptr, PictureWindow());
    EXPECT_EQ(nullptr, InfoDib);
}

TEST_F(WindowsTest, SmallPageShowsButtonFaceAroundIt)
{
    WriteFileBytes("LHELPB.BMP", SeededPicture(300, 200, 9).Build());
    rig.ClickOnMain(570, 450);
    HWND page = PictureWindow();
    ASSERT_NE(nullptr, page);
    Pump();
    HDC dc = GetDC(page);
    Rgb shown = ReadBack(dc, 0, 0, 640, 480);
    ReleaseDC(page, dc);
    EXPECT_EQ(0, DifferencesAt(shown, 0, 0, DrawFile("LHELPB.BMP")));
    EXPECT_TRUE(ColourIs(shown, 400, 100, GetSysColor(COLOR_BTNFACE)));
    EXPECT_TRUE(ColourIs(shown, 100, 300, GetSysColor(COLOR_BTNFACE)));
    // No second page while one is open: the first keeps its picture.
    DibBlock *open = InfoDib;
    SendMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(530, 450));
    EXPECT_EQ(open, InfoDib);
}

TEST_F(WindowsTest, MissingPageShowsTheBoxAndNoWindow)
{
    DeleteFileA("LCREDITB.BMP");
    BoxWatcher watcher("TalvixLens error");
    rig.ClickOnMain(530, 450);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ("Loading image LCREDITB.BMP failed!", watcher.Texts()[0]);
    Pump();
    EXPECT_EQ(nullptr, PictureWindow());
    EXPECT_EQ(nullptr, InfoDib);
}

// Real pointer input through the platform: the pointer over the viewer is
// hidden and the lens follows it.
TEST_F(WindowsTest, RealPointerMovesTheLensAndHidesThePointer)
{
    SetForegroundWindow(MainWindow);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    int sx = GetSystemMetrics(SM_CXSCREEN), sy = GetSystemMetrics(SM_CYSCREEN);
    const POINT targets[] = {{145 + 250, 5 + 180}, {145 + 300, 5 + 100}, {40, 40}};
    for (const POINT &t : targets) {
        in.mi.dx = (MainRect.left + t.x) * 65535 / (sx - 1);
        in.mi.dy = (MainRect.top + t.y) * 65535 / (sy - 1);
        SendInput(1, &in, sizeof in);
        Pump(150);
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(ViewerWindow, &p);
        short x = short(p.x - 50 <= 0 ? 1 : p.x - 50 + 100 >= 486 ? 385 : p.x - 50);
        EXPECT_EQ(x, LensX) << t.x << "," << t.y;
        if (t.x > 145) {
            EXPECT_EQ(nullptr, GetCursor()) << "hidden over the viewer";
        }
    }
}

}  // namespace
