// Start-up and shutdown routines: the command line, the placement on every
// screen size, the main window's creation, and what shutdown frees and writes.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/handoff.h"
#include "app/startup.h"
#include "support/desktop.h"
#include "support/window_rig.h"

namespace {

TEST(Startup, PictureNumberFromTheCommandLine)
{
    const struct { const char *line; int index; } cases[] = {
        {"3", 2},     {"10", 9},   {"7X", 6},   {"0", -1},   {"11", -1},  {"-1", -1}, {"ABC", -1},
        {"", -1},     {nullptr, -1}, {"  4", 3}, {"\t+5", 4}, {"1 2", 0},  {"\"3\"", -1}, {"00000000000000000010", 9},
        {"99999999999999999999999", -1}, {"-99999999999999999999999", -1}, {"4294967299", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.index, ParsePictureNumber(c.line)) << (c.line ? c.line : "(null)");
    std::string longLine(5000, '7');
    EXPECT_EQ(-1, ParsePictureNumber(longLine.c_str()));
}

TEST(Startup, PlacementOnEveryScreen)
{
    const struct { int w, h, x, y; } screens[] = {
        {800, 600, 80, 60}, {1024, 768, 192, 144}, {640, 480, 0, 0}, {641, 481, 0, 0},
        {639, 479, 0, 0},   {600, 400, -20, -40},  {640, 600, 0, 60}, {320, 200, -160, -140},
    };
    for (const auto &s : screens) {
        POINT p = MainWindowOrigin(s.w, s.h);
        EXPECT_EQ(s.x, p.x) << s.w << "x" << s.h;
        EXPECT_EQ(s.y, p.y) << s.w << "x" << s.h;
    }
}

TEST(Startup, MainWindowAsCreated)
{
    WindowRig rig;   // registers the classes and loads a picture set
    ASSERT_TRUE(rig.Open());
    rig.Close();
    HWND window = CreateMainWindow();
    ASSERT_NE(nullptr, window);
    POINT at = MainWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(at.x, MainRect.left);
    EXPECT_EQ(at.y, MainRect.top);
    EXPECT_EQ(640, MainRect.right);
    EXPECT_EQ(480, MainRect.bottom);
    char text[64];
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("Talvix Spheres", text);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(WS_POPUP | WS_CLIPCHILDREN, style & (WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_BORDER | WS_THICKFRAME));
    EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_LEFT);
    RECT r;
    GetClientRect(window, &r);
    EXPECT_EQ(640, r.right);
    EXPECT_EQ(480, r.bottom);
    ASSERT_NE(nullptr, ViewerWindow);
    EXPECT_EQ(window, GetParent(ViewerWindow));
    DestroyWindow(window);
    Pump();
}

TEST(Startup, ShutDownFreesEveryPictureThenHandsOff)
{
    WindowRig rig;
    ASSERT_TRUE(rig.Open());
    DestroyWindow(MainWindow);
    Pump();
    ASSERT_NE(nullptr, CurrentDib);
    ASSERT_NE(nullptr, SelectionDib);
    CurrentImage = 6;
    ReturnRequested = 1;
    ShutDown();
    EXPECT_EQ(nullptr, CurrentDib);
    EXPECT_EQ(nullptr, SelectionDib);
    EXPECT_EQ(nullptr, ButtonDib[3]);
    char run[64], back[64];
    GetPrivateProfileStringA("Menu", "Run", "", run, sizeof run, "talvix.ini");
    GetPrivateProfileStringA("Menu", "Return", "", back, sizeof back, "talvix.ini");
    EXPECT_STREQ("Quolmarex", run);
    EXPECT_STREQ("ORBVUE 7", back);
    ReturnRequested = 0;
    RemoveSettings();
}

}  // namespace
