// The viewer: the current picture with the lens drawn into it, following
// the pointer, which it hides; a press toggles zoom mode.
#include "ui/window_procs.h"

#include "app/globals.h"
#include "app/picture_set.h"
#include "lens/lens.h"

namespace {

// A corner along one axis, moved back where the square would reach the
// picture's last pixel line.
short KeepOffFarEdge(int corner, int extent)
{
    return static_cast<short>(corner + LENS_SIZE >= extent ? LensCornerMax(extent) : corner);
}

// The square's corner for a pointer position along one axis: under the
// pointer, kept off the picture's first and last pixel line.
short LensCorner(int pointer, int extent)
{
    int corner = pointer - LENS_RADIUS;
    if (corner <= 0)
        return 1;
    return KeepOffFarEdge(corner, extent);
}

void MoveLens(HWND window, LPARAM lParam)
{
    if (!CurrentDib)
        return;
    short x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    short left = LensCorner(x, CurrentDib->width), top = LensCorner(y, CurrentDib->height);
    if (left == LensX && top == LensY)
        return;
    RECT before, after, both;
    SetRect(&before, LensX, LensY, LensX + LENS_SIZE, LensY + LENS_SIZE);
    SetRect(&after, left, top, left + LENS_SIZE, top + LENS_SIZE);
    UnionRect(&both, &before, &after);
    LensX = left;
    LensY = top;
    InvalidateRect(window, &both, FALSE);
}

void CreateViewer(HWND window)
{
    BuildLensTable();
    PrevLensX = -1;
    LensX = -1;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x & 0xFFFF, p.y & 0xFFFF));
}

void PaintPicture(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (CurrentDib) {
        HPALETTE palette = DibPalette(CurrentDib);
        if (palette) {
            SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
        ClampLensToPicture();
        DrawLens(LensY, LensX);
        SetDIBitsToDevice(dc, 0, 0, CurrentDib->width, CurrentDib->height, 0, 0, 0, CurrentDib->height,
                          DibBits(CurrentDib), DibInfo(CurrentDib), DIB_RGB_COLORS);
    }
    EndPaint(window, &ps);
}

// Reduces the lens corner where the square would pass the picture's far
// edges, as after a zoom toggle.
void FitLensToPicture()
{
    LensX = KeepOffFarEdge(LensX, CurrentDib->width);
    LensY = KeepOffFarEdge(LensY, CurrentDib->height);
}

LRESULT ToggleZoom(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (ZoomMode) {
        SelectImage(0, CurrentImage);
        ZoomMode = 0;
        MoveWindow(window, ViewerRect.left, ViewerRect.top, ViewerRect.right, ViewerRect.bottom, FALSE);
        // The press's release must not act on the controls that come back
        // under it, unless the failure box has taken it already: then the
        // button is up and the next click is the user's own.
        SwallowButtonUp = GetKeyState(VK_LBUTTON) < 0;
    } else {
        if (!SelectImage(1, CurrentImage))
            return DefWindowProcA(window, WM_LBUTTONDOWN, wParam, lParam);
        ZoomMode = 1;
        int w = CurrentDib->width < MainRect.right ? CurrentDib->width : MainRect.right;
        int h = CurrentDib->height < MainRect.bottom ? CurrentDib->height : MainRect.bottom;
        MoveWindow(window, (640 - w) / 2, (480 - h) / 2, w, h, TRUE);
    }
    FitLensToPicture();
    InvalidateRect(MainWindow, nullptr, TRUE);
    return DefWindowProcA(window, WM_LBUTTONDOWN, wParam, lParam);
}

}  // namespace

// A picture change can leave the lens where a larger picture had it; the
// square must lie wholly inside the picture whenever the lens is drawn.
void ClampLensToPicture()
{
    if (!CurrentDib)
        return;
    FitLensToPicture();
    if (LensX < 1)
        LensX = 1;
    if (LensY < 1)
        LensY = 1;
}

LRESULT CALLBACK ViewerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateViewer(window);
        break;
    case WM_PAINT:
        PaintPicture(window);
        return 1;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT) {
            SetCursor(nullptr);
            return 1;
        }
        break;
    case WM_MOUSEMOVE:
        MoveLens(window, lParam);
        return 1;
    case WM_LBUTTONDOWN:
        return ToggleZoom(window, wParam, lParam);
    case WM_LBUTTONUP:
        SwallowButtonUp = 0;
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
