// The three windows as start-up creates them, on the real display with the
// real message queue: what only the program itself can tell (repaints, the
// pointer, pages that cannot open, GDI objects and memory); what a user
// sees of it is the end-to-end test's.
#include <gtest/gtest.h>
#include <stdio.h>

#include <windows.h>
#include <psapi.h>

#include "app/globals.h"
#include "app/picture_set.h"
#include "app/startup.h"
#include "lens/lens.h"
#include "support.h"
#include "ui/window_procs.h"

namespace {

// With no window manager on the display, Wine would wait 2 s for one each
// time a picture window closes: set before the first window, this
// program's windows are left unmanaged.
const LSTATUS unmanaged = RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\window_tests.exe\\X11 Driver", "Managed", REG_SZ, "N", 2);

// Dispatches until nothing is queued, paints included: the windows'
// handlers post only to this thread, so an empty queue means they are done
// (5 s at the most, should something keep posting; a quit message, which
// would end the program's loop, is dropped).
void Pump()
{
    MSG msg;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageA(&msg);
}

LRESULT Send(HWND w, UINT message, int x, int y)
{
    LRESULT r = SendMessageA(w, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
    Pump();
    return r;
}
void Click(int x, int y)
{
    Send(MainWindow, WM_LBUTTONDOWN, x, y);
    Send(MainWindow, WM_LBUTTONUP, x, y);
}

HWND PictureWindow() { return FindWindowA("CLensHelper", nullptr); }

// The picture set in the current folder, loaded and shown by start-up.
class Windows : public WithBoxes {
protected:
    void SetUp() override
    {
        WithBoxes::SetUp();
        // The real pointer away from the window, so it moves nothing; the
        // window is made only once the pointer is there.
        POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}, at = {};
        SetCursorPos(corner.x, corner.y);
        for (DWORD start = GetTickCount(); GetCursorPos(&at) && (at.x != corner.x || at.y != corner.y) && GetTickCount() - start < 10000;)
            Sleep(10);
        ASSERT_TRUE(at.x == corner.x && at.y == corner.y) << "the pointer is at " << at.x << "," << at.y;
        // After the first test the classes are there, as if registered by a
        // previous instance.
        static HINSTANCE registered = nullptr;
        HWND main = StartUp(GetModuleHandleA(nullptr), registered, "", SW_SHOWNORMAL);
        registered = AppInstance;
        ASSERT_NE(nullptr, main);
        Pump();
    }
    void TearDown() override
    {
        DestroyWindow(MainWindow);
        Pump();
        WithBoxes::TearDown();
    }
};

TEST_F(Windows, TheLensRepaintsOnlyWhereItMoves)
{
    // A move invalidates the union of the two squares, without erasing.
    Send(ViewerWindow, WM_MOUSEMOVE, 200, 200);
    SendMessageA(ViewerWindow, WM_MOUSEMOVE, 0, MAKELPARAM(230, 140));
    RECT r = {};
    GetUpdateRect(ViewerWindow, &r, FALSE);
    EXPECT_TRUE(r.left == 150 && r.top == 90 && r.right == 280 && r.bottom == 250) << r.left << "," << r.top;
    // The pointer is hidden over the picture only.
    EXPECT_EQ(1, SendMessageA(ViewerWindow, WM_SETCURSOR, WPARAM(ViewerWindow), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(nullptr, GetCursor());
    SendMessageA(MainWindow, WM_SETCURSOR, WPARAM(MainWindow), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), GetCursor());
}

// A picture smaller than the last, or a full-size one smaller than the
// window: the lens stays inside it, the viewer centred on it.
TEST_F(Windows, SmallerPicturesKeepTheLensInside)
{
    Painting(2, 150, 120).Write("LIMAGE2.BMP");
    Painting(101, 500, 301).Write("FIMAGE1.BMP");
    Send(ViewerWindow, WM_MOUSEMOVE, 480, 370);
    Send(MainWindow, WM_LBUTTONUP, 100, 30);
    BuildLensTable();
    HDC dc = GetDC(ViewerWindow);
    EXPECT_TRUE(CurrentImage == 1 && LensX == 49 && LensY == 19 &&
                Differences(WithLens(DrawFile("LIMAGE2.BMP"), 49, 19), ReadBack(dc, 0, 0, 150, 120)) == 0);
    ReleaseDC(ViewerWindow, dc);
    SelectImage(0, 0);
    Send(ViewerWindow, WM_MOUSEMOVE, 480, 370);
    Click(500, 455);   // the zoom button
    RECT r;
    GetWindowRect(ViewerWindow, &r);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_TRUE(ZoomMode == 1 && r.left == 70 && r.top == 89 && r.right == 570 && r.bottom == 390 && LensX == 385 && LensY == 200);
    EXPECT_EQ(0, Send(MainWindow, WM_LBUTTONUP, 100, 30)) << "a release reaching the frame in zoom mode does nothing";
    EXPECT_EQ(0, CurrentImage);
}

TEST_F(Windows, PictureWindowsThatCannotOpen)
{
    DeleteFileA("LCREDITB.BMP");
    Click(530, 450);
    EXPECT_EQ(std::vector<std::string>{"Loading image LCREDITB.BMP failed!"}, boxes.WaitFor(expectedBoxes = 1));
    Pump();
    EXPECT_TRUE(!PictureWindow() && InfoDib == nullptr);
    // A window that cannot be made frees its page, and the next one opens
    // (its class registered anew by a first start); no second picture
    // window opens over it.
    ASSERT_TRUE(UnregisterClassA("CLensHelper", AppInstance));
    Click(570, 450);
    EXPECT_EQ(nullptr, InfoDib);
    DestroyWindow(MainWindow);
    FreePictures();
    ASSERT_TRUE(UnregisterClassA("CLensMain", AppInstance) && UnregisterClassA("CLensViewer", AppInstance));
    ASSERT_NE(nullptr, StartUp(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL));
    Pump();
    Click(570, 450);
    DibBlock *open = InfoDib;
    Send(MainWindow, WM_LBUTTONUP, 530, 450);
    EXPECT_TRUE(PictureWindow() && open && InfoDib == open);
    // The release that closes the picture window frees its page.
    Send(PictureWindow(), WM_LBUTTONUP, 10, 10);
    EXPECT_TRUE(!PictureWindow() && !InfoDib);
}

// Wine reports neither GetGuiResources nor PrivateUsage: GDI objects are
// counted by probing the process's handle table (Wine takes a handle with a
// zero high word for the entry of its low word), memory is the commit
// charge, which Wine does report.
int GdiObjects()
{
    int live = 0;
    for (ULONG_PTR i = 1; i < 0x10000; i++)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
    return live;
}

long CommitKilobytes()
{
    PROCESS_MEMORY_COUNTERS c = {};
    return GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c) ? long(c.PagefileUsage / 1024) : -1;
}

TEST_F(Windows, PictureChangesAndZoomLeakNothing)
{
    // The measures see what they are meant to see.
    int gdi = GdiObjects();
    long memory = CommitKilobytes();
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 300; i++)
        brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    std::vector<char> block(16 << 20, 1);
    EXPECT_TRUE(GdiObjects() == gdi + 300 && CommitKilobytes() >= memory + 15000) << block[12345];
    for (HBRUSH b : brushes)
        DeleteObject(b);
    auto run = [](int selections, int toggles) {
        for (int i = 0; i < selections; i++)
            SelectImage(0, i % 10);
        // Into zoom mode and out, and a picture window opened and closed: it
        // frees its page, and on a palette screen the page's palette.
        for (int i = 0; i < toggles; i++) {
            Send(ViewerWindow, WM_LBUTTONDOWN, 0, 0);
            Send(ViewerWindow, WM_LBUTTONDOWN, 0, 0);
            Click(530 + 40 * (i % 2), 450);
            Send(PictureWindow(), WM_LBUTTONUP, 10, 10);
        }
    };
    run(100, 10);
    gdi = GdiObjects();
    memory = CommitKilobytes();
    bool full = Env("ORB_SOAK") == "full";
    run(full ? 10000 : 1000, full ? 500 : 100);
    printf("GDI objects %d -> %d, commit %ld -> %ld KiB\n", gdi, GdiObjects(), memory, CommitKilobytes());
    EXPECT_TRUE(GdiObjects() <= gdi + 2 && CommitKilobytes() <= memory + 2048);
}

}  // namespace
