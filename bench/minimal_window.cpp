// The least a pointer-following Win32 window can do, the benchmarks'
// baseline under the same Wine: a 640 x 480 popup centred on the screen
// that invalidates and paints a black 100 x 100 square under the pointer,
// and on a click repaints a plain area of the size the viewer repaints for
// that command: 486 x 372 at (145, 5) for a click left of the picture (a
// thumbnail switch), the whole window for any other (a zoom toggle). It is
// also the start-up baseline: it opens a window and paints it once.
#include <windows.h>

namespace {

RECT Square = {-200, -200, -100, -100};
bool AreaShade = false, WindowShade = false;
const RECT PictureArea = {145, 5, 631, 377};

void Fill(HDC dc, const RECT &r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT area;
    Fill(dc, ps.rcPaint, WindowShade ? RGB(160, 160, 170) : RGB(212, 208, 200));
    if (IntersectRect(&area, &ps.rcPaint, &PictureArea))
        Fill(dc, area, AreaShade ? RGB(120, 140, 160) : RGB(240, 240, 240));
    Fill(dc, Square, RGB(0, 0, 0));
    EndPaint(window, &ps);
}

LRESULT CALLBACK MinimalWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_SETCURSOR:   // hidden, as the viewer hides it over the picture
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEMOVE: {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        RECT next = {x - 50, y - 50, x + 50, y + 50};
        if (EqualRect(&next, &Square))
            return 0;
        InvalidateRect(window, &Square, FALSE);
        InvalidateRect(window, &next, FALSE);
        Square = next;
        return 0;
    }
    case WM_LBUTTONUP:
        if (static_cast<short>(LOWORD(lParam)) < PictureArea.left) {
            AreaShade = !AreaShade;
            InvalidateRect(window, &PictureArea, FALSE);
        } else {
            WindowShade = !WindowShade;
            AreaShade = !AreaShade;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MinimalWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbMinimal";
    if (!RegisterClassA(&wc))
        return 0;
    int x = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    HWND window = CreateWindowExA(0, "OrbMinimal", "minimal", WS_POPUP, x, y, 640, 480, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
