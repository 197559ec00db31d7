#include "app/startup.h"

#include <stdlib.h>

#include "app/globals.h"
#include "app/handoff.h"
#include "app/picture_set.h"
#include "ui/window_procs.h"

HWND StartUp(HINSTANCE instance, HINSTANCE previous, const char *commandLine, int show)
{
    AppInstance = instance;
    if (!previous && !RegisterWindowClasses())
        return nullptr;
    ReadRootDir();
    int picture = ParsePictureNumber(commandLine);
    if (picture >= 0)
        CurrentImage = picture;
    LoadImageSet();
    HWND window = CreateMainWindow();
    if (!window)
        return nullptr;
    MainWindow = window;
    ShowWindow(window, show);
    UpdateWindow(window);
    return window;
}

int ParsePictureNumber(const char *commandLine)
{
    if (!commandLine || !*commandLine)
        return -1;
    // strtol, unlike atoi, is defined for numbers too large for a long.
    long n = strtol(commandLine, nullptr, 10);
    return n >= 1 && n <= 10 ? static_cast<int>(n - 1) : -1;
}

POINT MainWindowOrigin(int screenWidth, int screenHeight)
{
    POINT p = {0, 0};
    if (screenWidth == 640 && screenHeight == 480)
        return p;
    p.x = (screenWidth - 640) / 2;
    p.y = (screenHeight - 480) / 2;
    return p;
}

HWND CreateMainWindow()
{
    POINT at = MainWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetRect(&MainRect, at.x, at.y, 640, 480);   // x, y, width, height
    return CreateWindowExA(0, "CLensMain", "Talvix Spheres", WS_POPUP | WS_CLIPCHILDREN, at.x, at.y, 640, 480,
                           GetActiveWindow(), nullptr, AppInstance, nullptr);
}

int RunMessageLoop(HWND window)
{
    MSG msg;
    BOOL got;
    // GetMessage reports an error as -1, which must not keep the loop going;
    // msg then holds no quit message, so its parameter means nothing.
    while ((got = GetMessageA(&msg, window, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

void FreePictures()
{
    FreeDib(CurrentDib);
    FreeDib(SelectionDib);
    FreeDib(ReturnDib);
    for (DibBlock *dib : ButtonDib)
        FreeDib(dib);
    CurrentDib = SelectionDib = ReturnDib = nullptr;
    for (DibBlock *&dib : ButtonDib)
        dib = nullptr;
}

void ShutDown()
{
    FreePictures();
    WriteHandoff();
}
