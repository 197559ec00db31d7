// Long runs: thousands of picture changes and zoom toggles must leave the
// GDI objects and memory where they were, and random real input must not
// bring the viewer down. ORB_SOAK=full gives the long counts; the default
// is a shortened run for every change.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>

#include "app/globals.h"
#include "app/picture_set.h"
#include "support/desktop.h"
#include "support/picture_files.h"
#include "support/pixels.h"
#include "support/window_rig.h"
#include "ui/window_procs.h"

namespace {

bool Full()
{
    const char *v = getenv("ORB_SOAK");
    return v && strcmp(v, "full") == 0;
}

// Wine reports neither GetGuiResources nor PrivateUsage, so:
// - GDI objects are counted in the process's own handle table: Wine takes a
//   handle whose high word is 0 for the entry of its low word, whatever its
//   generation, so GetObjectType over every index finds each live object;
// - private memory is the commit charge, PagefileUsage, which Wine does
//   report (on Windows it equals PrivateUsage).
int GdiObjects()
{
    int live = 0;
    for (ULONG_PTR i = 1; i < 0x10000; i++)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
    return live;
}

long PrivateKilobytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return long(counters.PagefileUsage / 1024);
}

// Both measures see what they are meant to see.
TEST(Soak, TheMeasuresRespond)
{
    int gdi = GdiObjects();
    std::vector<HBRUSH> kept;
    for (int i = 0; i < 300; i++)
        kept.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(gdi + 300, GdiObjects());
    for (HBRUSH b : kept)
        DeleteObject(b);
    EXPECT_EQ(gdi, GdiObjects());
    long memory = PrivateKilobytes();
    std::vector<char> block(16 << 20, 1);
    EXPECT_GE(PrivateKilobytes(), memory + 15000) << block[12345];
}

TEST(Soak, SelectionsAndZoomTogglesLeakNothing)
{
    WindowRig rig;
    ASSERT_TRUE(rig.Open());
    int selections = Full() ? 10000 : 1000, toggles = Full() ? 1000 : 200;
    auto select = [](int n) {
        for (int i = 0; i < n; i++) {
            SelectImage(0, i % 10);
            if (i % 50 == 0)
                Pump(0);
        }
    };
    auto toggle = [](int n) {
        for (int i = 0; i < n; i++) {
            SendMessageA(ViewerWindow, WM_LBUTTONDOWN, 0, 0);
            SendMessageA(ViewerWindow, WM_LBUTTONUP, 0, 0);
            UpdateWindow(ViewerWindow);
        }
    };
    select(100);
    toggle(20);
    Pump();
    int gdiBefore = GdiObjects();
    long memoryBefore = PrivateKilobytes();
    ASSERT_GT(memoryBefore, 0);
    select(selections);
    toggle(toggles);
    Pump();
    int gdiAfter = GdiObjects();
    long memoryAfter = PrivateKilobytes();
    printf("after %d selections and %d toggles: GDI objects %d -> %d, private %ld KiB -> %ld KiB\n", selections,
           toggles, gdiBefore, gdiAfter, memoryBefore, memoryAfter);
    EXPECT_LE(gdiAfter, gdiBefore + 2);
    EXPECT_LE(memoryAfter, memoryBefore + 2048);
    EXPECT_EQ(0, ZoomMode);
}

struct Process {
    PROCESS_INFORMATION pi = {};
    ~Process()
    {
        if (pi.hProcess) {
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
};

// Random real input anywhere in and around the window, on every control but
// the two that end the program, at full speed.
TEST(Soak, MonkeyInputLeavesTheViewerRunning)
{
    const char *orbvue = getenv("ORB_ORBVUE"), *set = getenv("ORB_DEFAULT_SET");
    if (!orbvue || !set)
        GTEST_SKIP() << "ORB_ORBVUE or ORB_DEFAULT_SET not set";
    RemoveSettings();
    CreateDirectoryA("monkey", nullptr);
    for (const char *f : {"lselect.bmp", "lbutton.bmp", "copyrite.bmp", "help.bmp", "exit.bmp", "zoom.bmp", "LCREDITB.BMP", "LHELPB.BMP"})
        CopyFileA((std::string(set) + "\\" + f).c_str(), (std::string("monkey\\") + f).c_str(), FALSE);
    for (int n = 1; n <= 10; n++)
        for (const char *p : {"LIMAGE", "FIMAGE"}) {
            std::string name = p + std::to_string(n) + ".BMP";
            CopyFileA((std::string(set) + "\\" + name).c_str(), ("monkey\\" + name).c_str(), FALSE);
        }
    int left = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    Process viewer;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string command = std::string("\"") + orbvue + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, "monkey", &si, &viewer.pi));
    WaitForInputIdle(viewer.pi.hProcess, 10000);
    HWND window = nullptr;
    for (int i = 0; i < 400 && !window; i++, Sleep(25))
        window = FindWindowA("CLensMain", "Talvix Spheres");
    ASSERT_NE(nullptr, window);

    // Places a press or release may land: anywhere but the exit and return
    // buttons (in zoom mode the viewer covers them, but the frame still
    // takes releases there when the picture is small).
    const RECT exitButton = ButtonRect[2];
    auto allowed = [&](int x, int y) {
        POINT p = {x, y};
        return !PtInRect(&exitButton, p) && !PtInRect(&ReturnRect, p);
    };
    int events = Full() ? 10000 : 1500;
    uint32_t seed = 2027;
    auto next = [&seed]() { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
    FILE *script = fopen("monkey\\events.xdo", "w");
    ASSERT_NE(nullptr, script);
    const RECT targets[] = {SelectionRect, ButtonRect[0], ButtonRect[1], ButtonRect[3], {145, 5, 631, 377}, {-40, -40, 680, 520}};
    bool down = false;
    for (int n = 0; n < events; n++) {
        const RECT &t = targets[next() % 6];
        int x = t.left + int(next() % uint32_t(t.right - t.left));
        int y = t.top + int(next() % uint32_t(t.bottom - t.top));
        uint32_t kind = next() % 4;
        fprintf(script, "mousemove %d %d\n", left + x, top + y);
        if (kind == 0 && !down && allowed(x, y)) {
            fprintf(script, "mousedown 1\n");
            down = true;
        } else if (kind == 1 && down && allowed(x, y)) {
            fprintf(script, "mouseup 1\n");
            down = false;
        }
    }
    if (down)
        fprintf(script, "mousemove %d %d\nmouseup 1\n", left + 300, top + 420);
    fclose(script);
    DWORD start = GetTickCount();
    ASSERT_EQ(0, RunUnix("xdotool " + UnixName("monkey\\events.xdo"), 600000));
    DWORD took = GetTickCount() - start;
    printf("%d random events in %lu ms\n", events, took);

    // Still alive, still answering.
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(viewer.pi.hProcess, 500));
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer));
    EXPECT_TRUE(IsWindow(window));
    // Close any page that is open, then leave by the exit button: the
    // viewer still does what it is told.
    for (int i = 0; i < 3; i++) {
        if (HWND page = FindWindowA("CLensHelper", nullptr))
            SendMessageTimeoutA(page, WM_LBUTTONUP, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        Sleep(200);
    }
    // A close request ends it normally, freeing everything: a lens drawn
    // outside its picture would have corrupted the heap long before.
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(viewer.pi.hProcess, 15000));
    DWORD code = 1;
    GetExitCodeProcess(viewer.pi.hProcess, &code);
    EXPECT_EQ(0u, code);
    RemoveSettings();
}

}  // namespace
