// The picture window: the credits or help page over the whole main window
// until a click. It owns InfoDib and frees it however it ends.
#include "ui/window_procs.h"

#include "app/globals.h"

namespace {

void PaintPage(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (InfoDib)
        SetDIBitsToDevice(dc, 0, 0, InfoDib->width, InfoDib->height, 0, 0, 0, InfoDib->height, DibBits(InfoDib),
                          DibInfo(InfoDib), DIB_RGB_COLORS);
    EndPaint(window, &ps);
}

}  // namespace

LRESULT CALLBACK HelperWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintPage(window);
        return 1;
    case WM_LBUTTONUP:
        DestroyWindow(window);
        return 1;
    case WM_DESTROY:
        FreeDib(InfoDib);
        InfoDib = nullptr;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
