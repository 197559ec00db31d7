// The picture window: the credits or help page over the whole main window
// until a click. It owns InfoDib and frees it however it ends.
#include "ui/window_procs.h"

#include "app/globals.h"

namespace {

// On a palette screen the page brings its own colours, as the painting
// does; drawn against the painting's palette it would take the painting's
// nearest colours. The palette belongs to the block and goes with it.
void PaintPage(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (InfoDib) {
        if (!InfoDib->hPalette && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE))
            CreateDibPalette(InfoDib);
        HPALETTE palette = DibPalette(InfoDib), previous = nullptr;
        if (palette) {
            previous = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
        SetDIBitsToDevice(dc, 0, 0, InfoDib->width, InfoDib->height, 0, 0, 0, InfoDib->height, DibBits(InfoDib),
                          DibInfo(InfoDib), DIB_RGB_COLORS);
        if (previous)
            SelectPalette(dc, previous, TRUE);
    }
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
