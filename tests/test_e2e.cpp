// End to end: the real orbvue.exe under Wine on the virtual display, driven
// with real X input (xdotool), read back from screenshots (ImageMagick's
// import) and from the settings file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>

#include "app/startup.h"
#include "lens/lens.h"
#include "support/desktop.h"
#include "support/picture_files.h"
#include "support/pixels.h"

namespace {

std::string Env(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

void Xdotool(const std::string &arguments) { RunUnix("xdotool " + arguments); }

Rgb Screenshot()
{
    DeleteFileA("shot.ppm");
    RunUnix("import -window root -depth 8 ppm:" + UnixName("shot.ppm"));
    Rgb shot;
    ReadPpm("shot.ppm", &shot);
    return shot;
}

class Viewer {
public:
    PROCESS_INFORMATION pi = {};
    HWND window = nullptr;

    bool Start(const std::string &arguments)
    {
        std::string command = "\"" + Env("ORB_ORBVUE") + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::vector<char> line(command.begin(), command.end());
        line.push_back(0);
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        WaitForInputIdle(pi.hProcess, 10000);
        return true;
    }
    // The main window, once it is on the screen.
    bool WaitForWindow()
    {
        for (int i = 0; i < 400 && !window; i++) {
            HWND w = FindWindowA("CLensMain", "Talvix Spheres");
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (w && pid == pi.dwProcessId && IsWindowVisible(w))
                window = w;
            else
                Sleep(25);
        }
        Sleep(300);
        return window != nullptr;
    }
    // Its exit code once it has ended, or STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeout = 15000)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(pi.hProcess, timeout) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    ~Viewer()
    {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
                TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
};

class EndToEnd : public ::testing::Test {
protected:
    Viewer viewer;
    int left = 0, top = 0;   // the main window on the screen

    static void SetUpTestSuite() { BuildLensTable(); }
    void SetUp() override
    {
        if (Env("ORB_ORBVUE").empty())
            GTEST_SKIP() << "ORB_ORBVUE not set";
        RemoveSettings();
        WritePictureSet("");
        WriteInterfacePictures();
        POINT at = MainWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        left = at.x;
        top = at.y;
    }
    void TearDown() override { RemoveSettings(); }

    // Starts the viewer with the pointer at main-window point (x, y).
    void Start(const std::string &arguments, int x = 345, int y = 255)
    {
        Pointer(x, y);
        ASSERT_TRUE(viewer.Start(arguments));
        ASSERT_TRUE(viewer.WaitForWindow());
    }
    void Pointer(int x, int y) { Xdotool("mousemove " + std::to_string(left + x) + " " + std::to_string(top + y)); }
    void Click(int x, int y)
    {
        Xdotool("mousemove " + std::to_string(left + x) + " " + std::to_string(top + y) + " click 1");
    }
    // Waits until the screen's viewer area (at main-window point (x, y))
    // shows `expected`; the differences of the last look.
    long WaitForViewer(const Rgb &expected, int x = 145, int y = 5)
    {
        long differences = -1;
        for (int i = 0; i < 40; i++) {
            differences = CountDifferences(expected, Crop(Screenshot(), left + x, top + y, expected.width, expected.height));
            if (differences == 0)
                break;
            Sleep(100);
        }
        return differences;
    }
    Rgb Picture(const char *file) { return DrawFile(file); }
    static Rgb DrawFile(const char *file)
    {
        DibError error;
        DibBlock *dib = LoadDib(&error, file);
        Rgb out = dib ? DrawDib(dib, 0) : Rgb();
        FreeDib(dib);
        return out;
    }
    // Lens corner for a pointer at viewer point p along an axis of `extent`.
    static int Corner(int p, int extent) { return p - 50 <= 0 ? 1 : p - 50 + 100 >= extent ? extent - 101 : p - 50; }
    std::string Get(const char *section, const char *key)
    {
        char text[512];
        GetPrivateProfileStringA(section, key, "<absent>", text, sizeof text, "talvix.ini");
        return text;
    }
};

TEST_F(EndToEnd, CentredWithTheLensUnderThePointer)
{
    Start("", 345, 255);   // the viewer's (200, 250)
    RECT r;
    GetWindowRect(viewer.window, &r);
    EXPECT_EQ(left, r.left);
    EXPECT_EQ(top, r.top);
    EXPECT_EQ(640, r.right - r.left);
    EXPECT_EQ(480, r.bottom - r.top);
    EXPECT_EQ(0, WaitForViewer(WithLens(Picture("LIMAGE1.BMP"), 150, 200)));
    // The frame's bands, as the screen shows them.
    Rgb shot = Screenshot();
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), shot.width);
    COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(0, memcmp(shot.At(left + 138, top + 420), std::vector<uint8_t>{GetRValue(face), GetGValue(face), GetBValue(face)}.data(), 3));
    EXPECT_EQ(0, memcmp(shot.At(left + 100, top + 460), std::vector<uint8_t>{GetRValue(shadow), GetGValue(shadow), GetBValue(shadow)}.data(), 3));
    Click(610, 455);
    EXPECT_EQ(0u, viewer.WaitForExit());
}

TEST_F(EndToEnd, PointerOverViewerAndFrameMovesTheLens)
{
    Start("");
    Rgb picture = Picture("LIMAGE1.BMP");
    const POINT path[] = {{145 + 300, 5 + 100}, {145 + 480, 5 + 360}, {20, 100}, {600, 470}, {145 + 51, 5 + 52}, {300, 3}};
    for (const POINT &p : path) {
        Pointer(p.x, p.y);
        int lx = Corner(p.x - 145, 486), ly = Corner(p.y - 5, 372);
        EXPECT_EQ(0, WaitForViewer(WithLens(picture, lx, ly))) << p.x << "," << p.y;
    }
    Click(610, 455);
    EXPECT_EQ(0u, viewer.WaitForExit());
}

TEST_F(EndToEnd, ThumbnailsZoomAndPages)
{
    Start("", 2, 2);   // the lens in the top left corner, away from every click
    const int columns[] = {37, 100}, rows[] = {33, 88, 143, 198, 253};
    for (int n = 9; n >= 0; n--) {
        Click(columns[n % 2], rows[n / 2]);
        Rgb picture = Picture(("LIMAGE" + std::to_string(n + 1) + ".BMP").c_str());
        int lx = Corner(columns[n % 2] - 145, 486), ly = Corner(rows[n / 2] - 5, 372);
        EXPECT_EQ(0, WaitForViewer(WithLens(picture, lx, ly))) << "thumbnail " << n;
    }
    // Zoom by its button: the full-size picture fills the window. Each
    // step ends with a move, since a window that moves or closes under the
    // pointer may or may not bring a move of its own.
    Rgb normal = Picture("LIMAGE1.BMP"), full = Picture("FIMAGE1.BMP");
    Click(500, 455);
    Pointer(300, 200);
    EXPECT_EQ(0, WaitForViewer(WithLens(full, 250, 150), 0, 0));
    // A click on the picture leaves zoom mode, and the next one enters it.
    Click(400, 300);
    Pointer(145 + 200, 5 + 150);
    EXPECT_EQ(0, WaitForViewer(WithLens(normal, 150, 100)));
    Click(145 + 200, 5 + 150);
    Pointer(500, 400);
    EXPECT_EQ(0, WaitForViewer(WithLens(full, 450, 350), 0, 0));
    Click(500, 400);
    Pointer(145 + 100, 5 + 100);
    EXPECT_EQ(0, WaitForViewer(WithLens(normal, 50, 50)));
    // Credits and help cover the window until a click.
    Click(530, 455);
    EXPECT_EQ(0, WaitForViewer(Picture("LCREDITB.BMP"), 0, 0));
    Click(300, 300);
    Pointer(145 + 300, 5 + 300);
    EXPECT_EQ(0, WaitForViewer(WithLens(normal, 250, 250)));
    Click(570, 455);
    EXPECT_EQ(0, WaitForViewer(Picture("LHELPB.BMP"), 0, 0));
    Click(300, 300);
    Pointer(145 + 60, 5 + 60);
    EXPECT_EQ(0, WaitForViewer(WithLens(normal, 10, 10)));
    Click(610, 455);
    EXPECT_EQ(0u, viewer.WaitForExit());
}

TEST_F(EndToEnd, MissingPictureShowsTheBoxAndGoesOn)
{
    DeleteFileA("LIMAGE3.BMP");
    Start("", 2, 2);
    BoxWatcher box("TalvixLens error", viewer.pi.dwProcessId);
    Click(37, 88);
    ASSERT_TRUE(box.WaitFor(1));
    EXPECT_EQ("Loading image LIMAGE3.BMP failed!", box.Texts()[0]);
    Click(100, 88);   // the program goes on: picture 4 comes
    EXPECT_EQ(0, WaitForViewer(WithLens(Picture("LIMAGE4.BMP"), 1, 33)));
    Click(610, 455);
    EXPECT_EQ(0u, viewer.WaitForExit());
}

TEST_F(EndToEnd, MissingStartPictureEndsWithTwoMessagesAndWritesNothing)
{
    DeleteFileA("LIMAGE7.BMP");
    const std::string settings = "[Lens]\r\n7=MENU 1\r\n";
    WriteSettings(settings);
    Pointer(300, 300);
    ASSERT_TRUE(viewer.Start("7"));
    BoxWatcher box("TalvixLens error", viewer.pi.dwProcessId), fatal("Error", viewer.pi.dwProcessId);
    ASSERT_TRUE(box.WaitFor(1));
    ASSERT_TRUE(fatal.WaitFor(1));
    EXPECT_EQ("Loading image LIMAGE7.BMP failed!", box.Texts()[0]);
    EXPECT_EQ("Cannot load default image", fatal.Texts()[0]);
    EXPECT_NE(DWORD(STILL_ACTIVE), viewer.WaitForExit());
    EXPECT_EQ(nullptr, FindWindowA("CLensMain", nullptr));
    EXPECT_EQ(settings, ReadSettings());
}

TEST_F(EndToEnd, ExitLeavesTheSettingsAsTheyWere)
{
    const std::string settings = "[Menu]\r\nrun=Quolmarex\r\n[Lens]\r\n4=MENU 2\r\n";
    WriteSettings(settings);
    Start("4");
    Click(610, 455);
    EXPECT_EQ(0u, viewer.WaitForExit());
    EXPECT_EQ(settings, ReadSettings());
}

TEST_F(EndToEnd, ReturnHandsOffToTheMenuProgram)
{
    Start("4", 2, 2);
    EXPECT_EQ(0, WaitForViewer(WithLens(Picture("LIMAGE4.BMP"), 1, 1)));
    Click(60, 330);
    EXPECT_EQ(0u, viewer.WaitForExit());
    EXPECT_EQ("Quolmarex", Get("Menu", "Run"));
    EXPECT_EQ("ORBVUE 4", Get("Menu", "Return"));
}

TEST_F(EndToEnd, ReturnPassesTheLensEntryAndTheNextStartReadsIt)
{
    WriteSettings("[Lens]\r\n4=MENU 2\r\n10=MENU 9\r\n");
    {
        Viewer first;
        Pointer(2, 2);
        ASSERT_TRUE(first.Start("10"));
        ASSERT_TRUE(first.WaitForWindow());
        EXPECT_EQ(0, WaitForViewer(WithLens(Picture("LIMAGE10.BMP"), 1, 1)));
        Click(60, 330);
        EXPECT_EQ(0u, first.WaitForExit());
    }
    EXPECT_EQ("MENU 9", Get("Menu", "Run"));
    EXPECT_EQ("ORBVUE 10", Get("Menu", "Return"));
    // The next start sees a "run" entry of the menu program's: not armed.
    Start("4");
    Click(60, 330);
    EXPECT_EQ(0u, viewer.WaitForExit());
    EXPECT_EQ("MENU 9", Get("Menu", "Run"));
    EXPECT_EQ("ORBVUE 10", Get("Menu", "Return"));
}

TEST_F(EndToEnd, CommandLinesAndAnotherPictureFolder)
{
    CreateDirectoryA("PICS", nullptr);
    WriteFileBytes("PICS\\LIMAGE3.BMP", SeededPicture(486, 372, 33).Build());
    WriteFileBytes("PICS\\LIMAGE1.BMP", SeededPicture(486, 372, 31).Build());
    WriteSettings("[Lens]\r\nRootdir=PICS\\\r\n");
    Start("3", 2, 2);
    EXPECT_EQ(0, WaitForViewer(WithLens(Picture("PICS\\LIMAGE3.BMP"), 1, 1)));
    // The interface pictures still come from the current folder.
    EXPECT_EQ(0, WaitForViewer(Picture("lselect.bmp"), 5, 5));
    Click(610, 455);
    EXPECT_EQ(0u, viewer.WaitForExit());
    const std::string lines[] = {"ABC", "0", "11", "-1", std::string(3000, '9'), "99999999999999999999", "\"3 4\"",
                                 "   ", "4294967297", "1O"};
    for (const std::string &line : lines) {
        Viewer other;
        Pointer(2, 2);
        ASSERT_TRUE(other.Start(line));
        ASSERT_TRUE(other.WaitForWindow());
        EXPECT_EQ(0, WaitForViewer(WithLens(Picture("PICS\\LIMAGE1.BMP"), 1, 1))) << line.substr(0, 20);
        Click(610, 455);
        EXPECT_EQ(0u, other.WaitForExit()) << line.substr(0, 20);
    }
}

}  // namespace
