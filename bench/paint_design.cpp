// The viewer's paint design without the lens, a benchmark baseline: the
// same 640 x 480 popup with a 486 x 372 child at (145, 5) showing
// LIMAGE1.BMP of the current folder; a move invalidates the union of the
// old and new 100 x 100 squares without erasing, and the paint puts back
// the pixels saved under the old square, saves those under the new one,
// writes the new square into the picture's bits and copies the whole
// picture with SetDIBitsToDevice, clipped to the update region. Where the
// viewer maps the saved square through the lens table, this fills it with
// one colour: the least that still shows where the pointer is.
#include <windows.h>
#include <string.h>

#include "image/dib.h"
#include "lens/lens.h"

namespace {

DibBlock *Picture = nullptr;
int Stride = 0;
RECT Square = {-1, -1, -1, -1};   // where the square is drawn in the bits; left -1: nowhere
RECT Wanted = {-1, -1, -1, -1};   // where the pointer puts it
BYTE Saved[LENS_PIXELS], Flat[LENS_PIXELS];

int Corner(int pointer, int extent)
{
    int corner = pointer - LENS_RADIUS;
    return corner < 1 ? 1 : corner + LENS_SIZE >= extent ? LensCornerMax(extent) : corner;
}

void PaintPicture(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    BYTE *bits = DibBits(Picture);
    int height = Picture->height;
    if (Wanted.left >= 0 && !EqualRect(&Wanted, &Square)) {
        if (Square.left >= 0)
            CopyPatchIn(Saved, bits, Square.left, Square.top, LENS_SIZE, LENS_SIZE, Stride, height);
        CopyPatchOut(Saved, bits, Wanted.left, Wanted.top, LENS_SIZE, LENS_SIZE, Stride, height);
        CopyPatchIn(Flat, bits, Wanted.left, Wanted.top, LENS_SIZE, LENS_SIZE, Stride, height);
        Square = Wanted;
    }
    SetDIBitsToDevice(dc, 0, 0, Picture->width, height, 0, 0, 0, height, bits, DibInfo(Picture), DIB_RGB_COLORS);
    EndPaint(window, &ps);
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintPicture(window);
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEMOVE: {
        int x = Corner(static_cast<short>(LOWORD(lParam)), Picture->width);
        int y = Corner(static_cast<short>(HIWORD(lParam)), Picture->height);
        RECT next = {x, y, x + LENS_SIZE, y + LENS_SIZE}, both;
        if (EqualRect(&next, &Wanted))
            return 0;
        if (Wanted.left >= 0)
            UnionRect(&both, &Wanted, &next);
        else
            both = next;
        Wanted = next;
        InvalidateRect(window, &both, FALSE);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    DibError error;
    Picture = LoadDib(&error, "LIMAGE1.BMP");
    if (!Picture || !LensFits(Picture) || Picture->width != 486 || Picture->height != 372)
        return 1;
    Stride = DibRowBytes(Picture->width, 8);
    memset(Flat, 0, sizeof Flat);   // colour 0 of the picture's table
    WNDCLASSA frame = {}, picture = {};
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    frame.lpszClassName = "OrbDesignFrame";
    picture.lpfnWndProc = PictureProc;
    picture.hInstance = instance;
    picture.lpszClassName = "OrbDesignPicture";
    if (!RegisterClassA(&frame) || !RegisterClassA(&picture))
        return 1;
    int x = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    HWND main = CreateWindowExA(0, "OrbDesignFrame", "design", WS_POPUP | WS_CLIPCHILDREN, x, y, 640, 480, nullptr, nullptr,
                                instance, nullptr);
    if (!main || !CreateWindowExA(0, "OrbDesignPicture", nullptr, WS_CHILD | WS_VISIBLE, 145, 5, 486, 372, main, nullptr,
                                  instance, nullptr))
        return 1;
    ShowWindow(main, show);
    UpdateWindow(main);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    FreeDib(Picture);
    return 0;
}
