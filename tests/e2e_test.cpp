// The real orbvue.exe under Wine on the virtual display, driven with real X
// input (xdotool) and read back from screenshots (ImageMagick's import),
// message boxes and the settings file: a session as a user lives it.
#include <gtest/gtest.h>
#include <stdio.h>

#include "lens/lens.h"
#include "support.h"

namespace {

struct Viewer {
    PROCESS_INFORMATION pi = {};
    HWND window = nullptr;
    // Starts the program and, unless told not to, waits for its main window
    // on the screen.
    bool Start(const std::string &arguments, bool wait = true)
    {
        // In a job that ends the viewers with this process, even when a
        // timeout kills it: a viewer left behind would stand in the next
        // test's way.
        static HANDLE job = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        std::string line = "\"" + Env("ORB_ORBVUE") + "\" " + arguments;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) ||
            !AssignProcessToJobObject(job, pi.hProcess))
            return false;
        for (DWORD start = GetTickCount(); wait && !window && GetTickCount() - start < 60000; Sleep(25)) {
            HWND w = FindWindowA("CLensMain", "Talvix Spheres");
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            window = pid == pi.dwProcessId && IsWindowVisible(w) ? w : nullptr;
        }
        return !wait || window != nullptr;
    }
    DWORD ExitCode()
    {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(pi.hProcess, 60000);
        return GetExitCodeProcess(pi.hProcess, &code) ? code : STILL_ACTIVE;
    }
    ~Viewer()
    {
        TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

class Session : public ::testing::Test {
protected:
    // The screen dev/with-wine.sh makes, and the window centred on it.
    const int screenWidth = 1024, screenHeight = 768;
    const POINT origin = {192, 144};
    // With no window manager on the display, Wine would wait 2 s for one
    // each time a box or picture window closes, and the program would fall
    // ever further behind the random input: its windows are left unmanaged.
    const char *x11Driver = "Software\\Wine\\AppDefaults\\orbvue.exe\\X11 Driver";
    void SetUp() override
    {
        if (Env("ORB_ORBVUE").empty())
            GTEST_SKIP() << "ORB_ORBVUE not set";
        ASSERT_TRUE(GetSystemMetrics(SM_CXSCREEN) == screenWidth && GetSystemMetrics(SM_CYSCREEN) == screenHeight) << "not 1024 x 768";
        RegSetKeyValueA(HKEY_CURRENT_USER, x11Driver, "Managed", REG_SZ, "N", 2);
        BuildLensTable();
        WritePictureSet("PICS\\");
        Painting(9, 300, 200).Write("LHELPB.BMP");   // smaller than the window
        DeleteFileA("copyrite.bmp");                  // a button without its picture
    }
    void TearDown() override
    {
        RemoveSettings();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, x11Driver, "Managed");
    }
    // Real pointer input at a point of the main window.
    void Point(int x, int y, const char *then = "")
    {
        RunUnix("xdotool mousemove " + std::to_string(origin.x + x) + " " + std::to_string(origin.y + y) + " " + then);
    }
    void Click(int x, int y) { Point(x, y, "click 1"); }
    // Waits until the screen shows `expected` at main-window point (x, y),
    // 30 s at the most (5 s once the session has failed); the pixels that
    // differ at the last look.
    long Shows(const Rgb &expected, int x, int y)
    {
        long differences = -1;
        DWORD limit = HasFailure() ? 5000 : 30000;
        for (DWORD start = GetTickCount(); differences != 0 && GetTickCount() - start < limit; Sleep(differences ? 100 : 0)) {
            DeleteFileA("shot.rgb");
            RunUnix("import -window root -depth 8 rgb:" + UnixName("shot.rgb"));
            Rgb shot = ReadRgb("shot.rgb", screenWidth, screenHeight);
            differences = Differences(expected, Crop(shot, origin.x + x, origin.y + y, expected.width, expected.height));
        }
        return differences;
    }
    // The viewer shows painting `file` with the lens square's corner at
    // picture point (x, y); full-size paintings fill the window.
    long ShowsLens(const std::string &file, int x, int y)
    {
        bool full = file[0] == 'F';
        return Shows(WithLens(DrawFile("PICS\\" + file), x, y), full ? 0 : 145, full ? 0 : 5);
    }
    Rgb Colour(int index, int w, int h) { return Filled(w, h, GetSysColor(index)); }
};

// A start whose picture cannot be loaded: the box names the [Selection]
// name without Rootdir, then the fatal message; no window behind them; once
// both are answered the process ends with 1, nothing written.
TEST_F(Session, MissingStartPictureEndsTheProgram)
{
    const std::string settings = "[Lens]\r\nRootdir=PICS\\\r\n7=MENU 1\r\n[Selection]\r\nImage7=P7.BMP\r\n";
    WriteSettings(settings);
    Viewer viewer;
    ASSERT_TRUE(viewer.Start("7", false));
    BoxWatcher boxes("", viewer.pi.dwProcessId);
    EXPECT_TRUE(boxes.WaitFor(1).size() == 1 && !FindWindowA("CLensMain", nullptr)) << "a window behind the first box";
    EXPECT_EQ((std::vector<std::string>{"Loading image P7.BMP failed!", "Cannot load default image"}), boxes.WaitFor(2));
    EXPECT_TRUE(viewer.ExitCode() == 1 && ReadSettings() == settings);
}

// The file in the hand-off document's example, its lines ending in CR LF.
std::string HandoffExample(const char *which)
{
    Bytes doc = ReadBytes(Env("ORB_DOCS") + "\\handoff.md");
    std::string text(doc.begin(), doc.end()), marker = std::string("<!-- handoff example: ") + which + " -->\n```ini\n", file;
    size_t start = text.find(marker), end = text.find("\n```", start + marker.size());
    for (size_t i = start + marker.size(); start != std::string::npos && end != std::string::npos && i <= end; i++)
        file += text[i] == '\n' ? "\r\n" : std::string(1, text[i]);
    return file;
}

// Started on picture 4 with the hand-off document's example as the
// settings file, and left by the return button on picture 4: the file
// becomes the document's, byte for byte.
TEST_F(Session, StartLookChooseZoomReadAndReturn)
{
    std::string before = HandoffExample("before"), after = HandoffExample("after");
    ASSERT_TRUE(!before.empty() && !after.empty()) << "no example in " << Env("ORB_DOCS");
    WriteSettings(before);
    DeleteFileA("PICS\\LIMAGE3.BMP");
    DeleteFileA("PICS\\FIMAGE5.BMP");
    // The pointer above the window, where no move reaches it: the lens
    // stands where the window's creation put it, as near the pointer as
    // it may come (its square's middle column under the pointer's).
    Point(145 + 200, -100);
    Viewer viewer;
    ASSERT_TRUE(viewer.Start("4"));
    BoxWatcher boxes("TalvixLens error", viewer.pi.dwProcessId);
    // Centred, the lens placed, the frame round it; the strip from the
    // current folder, the paintings from Rootdir.
    RECT r;
    GetWindowRect(viewer.window, &r);
    EXPECT_TRUE(r.left == origin.x && r.top == origin.y && r.right - r.left == 640 && r.bottom - r.top == 480);
    EXPECT_EQ(0, ShowsLens("LIMAGE4.BMP", 150, 1)) << "the lens at first sight";
    EXPECT_EQ(0, Shows(DrawFile("lselect.bmp"), 5, 5));
    EXPECT_EQ(0, Shows(Colour(COLOR_BTNFACE, 8, 400), 136, 5));
    EXPECT_EQ(0, Shows(Colour(COLOR_BTNHIGHLIGHT, 640, 1), 0, 434));
    EXPECT_EQ(0, Shows(Colour(COLOR_BTNSHADOW, 100, 6), 380, 436));
    EXPECT_EQ(0, Shows(Colour(COLOR_BTNSHADOW, 33, 33), 523, 441)) << "the credits button without its picture";
    // The lens follows the pointer over the picture and over the frame, up
    // to the edge lines it never covers: viewer point, lens corner.
    const struct { int x, y, lensX, lensY; } moves[] = {
        {300, 100, 250, 50}, {436, 322, 385, 271}, {-125, 95, 1, 45}, {455, 465, 385, 271}, {50, 52, 1, 2}};
    for (const auto &m : moves) {
        Point(145 + m.x, 5 + m.y);
        EXPECT_EQ(0, ShowsLens("LIMAGE4.BMP", m.lensX, m.lensY)) << m.x << "," << m.y;
    }
    // Every thumbnail, the lens at the strip's side of the picture; picture
    // 3 is missing: the box, and picture 4 stays. Picture 10 again once its
    // file is gone: the current picture is not read again (no box).
    const int columns[] = {37, 100}, rows[] = {33, 88, 143, 198, 253}, lensRows[] = {1, 33, 88, 143, 198};
    for (int n = 9; n >= 0; n--) {
        Click(columns[n % 2], rows[n / 2]);
        if (n == 2) {
            EXPECT_EQ(std::vector<std::string>{"Loading image LIMAGE3.BMP failed!"}, boxes.WaitFor(1));
            Point(145 + 300, 5 + 200);
            EXPECT_EQ(0, ShowsLens("LIMAGE4.BMP", 250, 150)) << "picture 4 stays";
            continue;
        }
        EXPECT_EQ(0, ShowsLens("LIMAGE" + std::to_string(n + 1) + ".BMP", 1, lensRows[n / 2])) << n + 1;
        if (n == 9) {
            ASSERT_TRUE(DeleteFileA("PICS\\LIMAGE10.BMP"));
            Click(columns[1], rows[4]);
        }
    }
    // Zoom by its button; a click on the picture leaves it, and its release
    // over the strip that comes back selects nothing. Then by a click.
    Click(100, 88);
    Click(500, 455);
    Point(300, 200);
    EXPECT_EQ(0, ShowsLens("FIMAGE4.BMP", 250, 150));
    Click(100, 30);   // thumbnail 2, were the release not swallowed
    Point(145 + 150, 5 + 150);
    EXPECT_EQ(0, ShowsLens("LIMAGE4.BMP", 100, 100));
    Click(145 + 300, 5 + 200);
    Point(500, 400);
    EXPECT_EQ(0, ShowsLens("FIMAGE4.BMP", 450, 350));
    Click(500, 400);
    // A small full-size picture, centred on the plain frame (no strip,
    // buttons or bar), and a press on the frame round it leaves zoom mode;
    // that the normal picture is gone by then does not keep it: the box,
    // and the controls are back.
    Painting(106, 500, 301).Write("PICS\\FIMAGE6.BMP");
    Click(100, 143);
    Click(500, 455);
    Point(70 + 250, 89 + 150);
    EXPECT_EQ(0, Shows(WithLens(DrawFile("PICS\\FIMAGE6.BMP"), 200, 100), 70, 89));
    EXPECT_TRUE(Shows(Colour(COLOR_BTNFACE, 70, 480), 0, 0) == 0 && Shows(Colour(COLOR_BTNFACE, 640, 90), 0, 390) == 0) << "the plain frame";
    DeleteFileA("PICS\\LIMAGE6.BMP");
    Click(20, 20);
    EXPECT_EQ("Loading image LIMAGE6.BMP failed!", boxes.WaitFor(2).back());
    EXPECT_EQ(0, Shows(DrawFile("lselect.bmp"), 5, 5));
    // Picture 5 has no full-size variant: the box, and no zoom.
    Click(37, 143);
    Click(500, 455);
    EXPECT_EQ("Loading image FIMAGE5.BMP failed!", boxes.WaitFor(3).back());
    Point(145 + 100, 5 + 100);
    EXPECT_EQ(0, ShowsLens("LIMAGE5.BMP", 50, 50));
    // A pressed button shows its picture one pixel right and down, its
    // last column and row as they were; released elsewhere, nothing happens.
    Rgb help = DrawFile("help.bmp");
    Point(570, 450, "mousedown 1");
    EXPECT_EQ(0, Shows(Crop(help, 1, 1, 30, 30), 562, 443));
    EXPECT_EQ(0, Shows(Crop(help, 32, 0, 1, 33), 592, 441));
    Point(300, 420, "mouseup 1");
    EXPECT_EQ(0, Shows(help, 560, 441));
    // Credits and help cover the window until a left release; a press
    // alone or a right click leaves them; a small page has button face
    // round it.
    for (int x : {530, 570}) {
        Click(x, 455);
        Point(300, 300, "mousedown 1 click 3");
        EXPECT_EQ(0, Shows(DrawFile(x == 530 ? "LCREDITB.BMP" : "LHELPB.BMP"), 0, 0));
        EXPECT_TRUE(x == 530 || Shows(Colour(COLOR_BTNFACE, 340, 480), 300, 0) == 0);
        Point(300, 300, "mouseup 1");
        Point(145 + 60, 5 + 60);
        EXPECT_EQ(0, ShowsLens("LIMAGE5.BMP", 10, 10));
    }
    // Random real input in and around the window, on every control but the
    // two that end the program, at full speed (ORB_SOAK=full: 10,000
    // events); the program goes on answering. A page left open is closed;
    // in zoom mode a first click only leaves it. The pictures are whole
    // again: a box would take input meant for the program.
    WritePictureSet("PICS\\");
    uint32_t seed = 2027;
    auto random = [&seed](long n) { return long((seed = seed * 1664525u + 1013904223u) >> 8) % n; };
    const RECT targets[] = {{5, 5, 131, 282}, {523, 441, 593, 474}, {486, 441, 519, 474}, {145, 5, 631, 377}, {-40, -40, 680, 520}};
    const RECT exitButton = {597, 441, 630, 474}, returnButton = {5, 290, 131, 376};
    FILE *script = fopen("events.xdo", "w");
    bool down = false;
    for (int n = Env("ORB_SOAK") == "full" ? 10000 : 400; n > 0; n--) {
        const RECT &t = targets[random(5)];
        POINT p = {t.left + random(t.right - t.left), t.top + random(t.bottom - t.top)};
        fprintf(script, "mousemove %ld %ld\n", origin.x + p.x, origin.y + p.y);
        if (!PtInRect(&exitButton, p) && !PtInRect(&returnButton, p) && random(2) == 0)
            fprintf(script, (down = !down) ? "mousedown 1\n" : "mouseup 1\n");
    }
    // Then back to picture 4 from any state: a first click closes a page or
    // leaves zoom mode, or chooses it; a second chooses it, or does nothing.
    fprintf(script, "mousemove %ld %ld\nmouseup 1\n", origin.x + 300, origin.y + 420);
    fprintf(script, "mousemove %ld %ld\nclick 1\nclick 1\n", origin.x + 100, origin.y + 88);
    fclose(script);
    ASSERT_EQ(0, RunUnix("xdotool " + UnixName("events.xdo"), 600000));
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(viewer.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer)) << "still answering";
    EXPECT_EQ(0, ShowsLens("LIMAGE4.BMP", 1, 33)) << "input may still be on its way: one wait";
    // The menu program rewrites the file meanwhile, disarming the hand-off
    // and naming another picture 4: both were read at start, nothing changes.
    const std::string names = "[Selection]\r\nImage4=NONE.BMP\r\n";
    WriteSettings(std::string(before).replace(before.find("run=Quolmarex"), 13, "run=GAMES") + names);
    // Picture 4 has no full-size variant now: once the box is gone, the
    // first click on the return button goes back to the menu, and picture 4's
    // Lens entry is the next program.
    ASSERT_TRUE(DeleteFileA("PICS\\FIMAGE4.BMP"));
    Click(500, 455);
    EXPECT_EQ("Loading image FIMAGE4.BMP failed!", boxes.WaitFor(4).back());
    EXPECT_EQ(0, ShowsLens("LIMAGE4.BMP", 305, 271)) << "the box gone";
    Click(60, 330);
    EXPECT_EQ(0u, viewer.ExitCode());
    EXPECT_EQ(after + names, ReadSettings());
    // A command line that is no number starts on picture 1. Armed when it
    // ends, the program ends normally and writes nothing: closed with a
    // page open (as by the system: the page is freed once); by Alt+F4,
    // which goes to the picture window while it is open, then to the main
    // window; by the exit button; by the return button on a file it cannot
    // write (held open by another program; Wine lets root write read-only
    // files), or on a file armed only after the start.
    for (int way = 0; way < 5; way++) {
        WriteSettings(way == 4 ? "[Menu]\r\nrun=GAMES\r\n[Lens]\r\nRootdir=PICS\\\r\n" : before);
        Viewer next;
        Point(2, 2);
        ASSERT_TRUE(next.Start("ABC"));
        EXPECT_EQ(0, ShowsLens("LIMAGE1.BMP", 1, 1));
        WriteSettings(before);
        HANDLE held = way == 3 ? CreateFileA(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
        Click(way < 2 ? 530 : way == 2 ? 613 : 60, way < 3 ? 455 : 330);
        EXPECT_TRUE(way > 1 || Shows(DrawFile("LCREDITB.BMP"), 0, 0) == 0);
        if (way == 0)
            PostMessageA(next.window, WM_CLOSE, 0, 0);
        for (int key = way == 1 ? 2 : 0; key > 0; key--) {
            Point(530, 455, "key alt+F4");
            EXPECT_TRUE(key == 1 || ShowsLens("LIMAGE1.BMP", 335, 271) == 0) << "the first Alt+F4 closes the page only";
        }
        EXPECT_TRUE(next.ExitCode() == 0 && ReadSettings() == before) << way;
        CloseHandle(held);
    }
}

}  // namespace
