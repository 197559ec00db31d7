#include "support/window_rig.h"

#include "app/globals.h"
#include "app/picture_set.h"
#include "app/startup.h"
#include "lens/lens.h"
#include "support/desktop.h"
#include "support/picture_files.h"
#include "ui/window_procs.h"

void Pump(DWORD quietMilliseconds)
{
    DWORD quietSince = GetTickCount();
    while (GetTickCount() - quietSince < quietMilliseconds) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (msg.message == WM_QUIT)
                continue;   // the program's loop would end here; the rig goes on
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (any)
            quietSince = GetTickCount();
        else
            Sleep(5);
    }
}

bool WindowRig::Open()
{
    static bool registered = false;
    AppInstance = GetModuleHandleA(nullptr);
    if (!registered && !RegisterWindowClasses())
        return false;
    registered = true;
    RemoveSettings();
    WritePictureSet("");
    WriteInterfacePictures();
    ZoomMode = SwallowButtonUp = 0;
    ReturnRequested = 0;
    for (BYTE &b : ButtonPressed)
        b = 0;
    CurrentImage = 0;
    RootDir[0] = 0;
    LoadImageSet();
    int x = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    SetRect(&MainRect, x, y, 640, 480);
    // The pointer away from the window, so no real move disturbs the tests.
    SetCursorPos(x + 700, y + 470);
    HWND window = CreateWindowExA(0, "CLensMain", "Talvix Spheres", WS_POPUP | WS_CLIPCHILDREN, x, y, 640, 480,
                                  GetActiveWindow(), nullptr, AppInstance, nullptr);
    if (!window)
        return false;
    MainWindow = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump(100);
    return true;
}

void WindowRig::Close()
{
    if (MainWindow && IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    Pump();
    MainWindow = ViewerWindow = nullptr;
    FreePictures();
    ZoomMode = SwallowButtonUp = 0;
}

Rgb WindowRig::Screen()
{
    Pump();
    HDC dc = GetDC(MainWindow);
    Rgb out = ReadBack(dc, 0, 0, 640, 480);
    ReleaseDC(MainWindow, dc);
    return out;
}

Rgb WindowRig::Viewer()
{
    Pump();
    RECT r;
    GetClientRect(ViewerWindow, &r);
    HDC dc = GetDC(ViewerWindow);
    Rgb out = ReadBack(dc, 0, 0, r.right, r.bottom);
    ReleaseDC(ViewerWindow, dc);
    return out;
}

Rgb DrawFile(const std::string &file)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, file.c_str());
    if (!dib)
        return Rgb();
    Rgb out = DrawDib(dib, 0);
    FreeDib(dib);
    return out;
}

Rgb WindowRig::ExpectedViewer(const std::string &file)
{
    return WithLens(DrawFile(file), LensX, LensY);
}

void WindowRig::MoveOnMain(int x, int y)
{
    SendMessageA(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    Pump();
}

void WindowRig::MoveOnViewer(int x, int y)
{
    SendMessageA(ViewerWindow, WM_MOUSEMOVE, 0, MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
}

LRESULT WindowRig::PressOnMain(int x, int y)
{
    LRESULT r = SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Pump();
    return r;
}

LRESULT WindowRig::ReleaseOnMain(int x, int y)
{
    LRESULT r = SendMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
    return r;
}

void WindowRig::ClickOnMain(int x, int y)
{
    PressOnMain(x, y);
    ReleaseOnMain(x, y);
}
