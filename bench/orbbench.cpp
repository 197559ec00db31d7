// orbbench: how close each step of the viewer comes to what the machine
// allows, measured inside the process (what a user feels of a pointer
// motion or a click is measured from outside, by orbprobe). Every figure is
// a ratio to a baseline measured in the same run on the same data. Run in a
// folder holding a picture set:
//   orbbench [REPETITIONS] [MINIMAL_PROGRAM] [PICTURE]
// PICTURE is the viewer's command line, the picture number to start on; it
// is given to the viewer started here as well.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/picture_set.h"
#include "app/startup.h"
#include "lens/lens.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

struct Figure {
    double median, spread;   // seconds per operation; spread: interquartile range / median
};

// `runs` timed batches of `calls` calls after one untimed warm-up batch.
Figure Measure(int runs, int calls, const std::function<void(int)> &operation)
{
    for (int i = 0; i < calls; i++)
        operation(i);
    std::vector<double> times;
    for (int r = 0; r < runs; r++) {
        double start = Now();
        for (int i = 0; i < calls; i++)
            operation(r * calls + i);
        times.push_back((Now() - start) / calls);
    }
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2];
    double iqr = times[times.size() * 3 / 4] - times[times.size() / 4];
    return {median, median > 0 ? iqr / median : 0};
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Row(const char *name, const Figure &f, const Figure &base, const char *goal)
{
    printf("| %-34s | %9.2f us | %5.1f%% | %9.2f us | %6.2f | %-6s |\n", name, f.median * 1e6, f.spread * 100,
           base.median * 1e6, base.median > 0 ? f.median / base.median : 0, goal);
}

// Lens positions one pixel apart along a path across the picture.
POINT PathPoint(int i, int width, int height)
{
    int span = LensCornerMax(width) - 1, rise = LensCornerMax(height) - 1;
    int t = i % (2 * span);
    int x = t < span ? t : 2 * span - t;
    return {1 + x, 1 + (x * rise) / span};
}

struct Child {
    PROCESS_INFORMATION pi = {};
    bool Start(const std::string &command)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::vector<char> line(command.begin(), command.end());
        line.push_back(0);
        return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    }
    long PrivateKilobytes()
    {
        PROCESS_MEMORY_COUNTERS c = {};
        c.cb = sizeof c;
        return GetProcessMemoryInfo(pi.hProcess, &c, sizeof c) ? long(c.PagefileUsage / 1024) : -1;
    }
    void Close(const char *windowClass)
    {
        for (int i = 0; i < 200; i++) {
            HWND w = FindWindowA(windowClass, nullptr);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (w && pid == pi.dwProcessId) {
                PostMessageA(w, WM_CLOSE, 0, 0);
                break;
            }
            Sleep(10);
        }
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

// Where SelectImage reads picture `index` from.
std::string PicturePath(int index)
{
    char name[256];
    PictureName(name, 0, index);
    return std::string(RootDir) + name;
}

std::string Self()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string dir = exe;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

void Describe()
{
    char cpu[128] = "unknown processor";
    DWORD size = sizeof cpu;
    RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "ProcessorNameString",
                 RRF_RT_REG_SZ, nullptr, cpu, &size);
    typedef const char *(CDECL * Version)();
    Version wine = reinterpret_cast<Version>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    printf("machine: %s, %lu processors; Wine %s\n\n", cpu, static_cast<unsigned long>(si.dwNumberOfProcessors),
           wine ? wine() : "(not Wine)");
}

}  // namespace

int main(int argc, char **argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 21;
    if (runs < 3)
        runs = 3;
    std::string minimal = argc > 2 ? argv[2] : Self() + "minimal_window.exe";
    std::string picture = argc > 3 ? argv[3] : "";
    std::string viewer = "\"" + Self() + "orbvue.exe\" " + picture;   // a command line
    Describe();

    // The program's own state, as start-up makes it.
    HWND main = StartUp(GetModuleHandleA(nullptr), nullptr, picture.c_str(), SW_SHOWNORMAL);
    if (!main)
        return 1;
    Pump();

    printf("| %-34s | %12s | %6s | %12s | %6s | %-6s |\n", "figure", "median", "spread", "baseline", "ratio", "goal");
    printf("|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(14, '-').c_str(), std::string(8, '-').c_str(),
           std::string(14, '-').c_str(), std::string(8, '-').c_str(), std::string(8, '-').c_str());

    // 1. DrawLens against its irreducible data movement.
    int width = CurrentDib->width, height = CurrentDib->height;
    BYTE *bits = DibBits(CurrentDib);
    static BYTE a[LENS_PIXELS], b[LENS_PIXELS];
    Figure lens = Measure(runs, 2000, [&](int i) {
        POINT p = PathPoint(i, width, height);
        DrawLens(p.y, p.x);
    });
    Figure copies = Measure(runs, 2000, [&](int i) {
        POINT p = PathPoint(i, width, height);
        CopyPatchIn(a, bits, p.x, p.y, LENS_SIZE, LENS_SIZE, RowStride, height);
        CopyPatchOut(a, bits, p.x, p.y, LENS_SIZE, LENS_SIZE, RowStride, height);
        CopyPatchIn(b, bits, p.x, p.y, LENS_SIZE, LENS_SIZE, RowStride, height);
    });
    Row("DrawLens, one pixel a call", lens, copies, "2.0");

    // 2. A picture switch against reading the file.
    Figure select = Measure(runs, 20, [&](int i) { SelectImage(0, i % 10); });
    static std::vector<char> buffer(1 << 20);
    Figure read = Measure(runs, 20, [&](int i) {
        HANDLE f = CreateFileA(PicturePath(i % 10).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD n = 0;
        ReadFile(f, buffer.data(), DWORD(buffer.size()), &n, nullptr);
        CloseHandle(f);
    });
    Row("picture switch (SelectImage)", select, read, "1.5");
    Figure decision = Measure(runs, 20, [&](int) {
        HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
        GetDeviceCaps(ic, RASTERCAPS);
        DeleteDC(ic);
    });
    Row("  of it: the palette decision", decision, read, "-");
    Figure loading = Measure(runs, 20, [&](int i) {
        DibError error;
        FreeDib(LoadDib(&error, PicturePath(i % 10).c_str()));
    });
    Row("  of it: LoadDib", loading, read, "-");

    // 3. Start-up to the first painted frame, against a minimal program.
    int starts = std::max(3, runs / 4);
    auto startUp = [&](const std::string &command, const char *windowClass) {
        std::vector<double> times;
        for (int i = 0; i < starts; i++) {
            Child c;
            double t0 = Now();
            if (!c.Start(command))
                return Figure{0, 0};
            WaitForInputIdle(c.pi.hProcess, 20000);   // the first paint is done by then
            times.push_back(Now() - t0);
            c.Close(windowClass);
        }
        std::sort(times.begin(), times.end());
        double median = times[times.size() / 2];
        return Figure{median, (times.back() - times.front()) / median};
    };
    Figure viewerStart = startUp(viewer, "CLensMain");
    Figure minimalStart = startUp("\"" + minimal + "\"", "OrbMinimal");
    Row("start-up to the first frame", viewerStart, minimalStart, "1.2");

    // 4. Memory with the default set loaded.
    Child v, m;
    long viewerMemory = -1, minimalMemory = -1;
    if (v.Start(viewer) && m.Start("\"" + minimal + "\"")) {
        WaitForInputIdle(v.pi.hProcess, 20000);
        WaitForInputIdle(m.pi.hProcess, 20000);
        Sleep(300);
        viewerMemory = v.PrivateKilobytes();
        minimalMemory = m.PrivateKilobytes();
        v.Close("CLensMain");
        m.Close("OrbMinimal");
    }
    long blocks = long(CurrentDib->totalSize);
    for (DibBlock *d : {SelectionDib, ReturnDib, ButtonDib[0], ButtonDib[1], ButtonDib[2], ButtonDib[3]})
        blocks += d ? long(d->totalSize) : 0;
    double expected = blocks / 1024.0 + minimalMemory;
    printf("| %-34s | %8ld KiB | %6s | %8.0f KiB | %6.2f | %-6s |\n", "private memory, default set", viewerMemory, "-",
           expected, expected > 0 ? viewerMemory / expected : 0, "report");

    DestroyWindow(main);
    return 0;
}
