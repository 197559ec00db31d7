// The main window: the frame around the viewer with the thumbnail strip,
// the return button and four buttons on the bottom bar. Its mouse moves
// drive the lens; its left-button releases are the program's commands,
// except in zoom mode, where a press anywhere on it is the command (back
// to the normal picture).
#include "ui/window_procs.h"

#include "app/globals.h"
#include "app/picture_set.h"

const RECT SelectionRect = {5, 5, 131, 282};
const RECT ReturnRect = {5, 290, 131, 376};
const RECT ButtonRect[4] = {
    {523, 441, 556, 474},   // credits
    {560, 441, 593, 474},   // help
    {597, 441, 630, 474},   // exit
    {486, 441, 519, 474},   // zoom
};
BYTE ButtonPressed[4];

namespace {

enum { BUTTON_CREDITS, BUTTON_HELP, BUTTON_EXIT, BUTTON_ZOOM };

bool Inside(const RECT &r, int x, int y)
{
    POINT p = {x, y};
    return PtInRect(&r, p) != 0;
}

void CreateViewerChild(HWND window)
{
    HWND viewer = CreateWindowExA(0, "CLensViewer", nullptr, WS_CHILD, 145, 5, 486, 372, window, nullptr, AppInstance, nullptr);
    SetRect(&ViewerRect, 145, 5, 486, 372);   // x, y, width, height
    ShowWindow(viewer, SW_SHOWNORMAL);
    ViewerWindow = viewer;
}

void FillWithSystemColour(HDC dc, const RECT &r, int colour)
{
    HBRUSH brush = CreateSolidBrush(GetSysColor(colour));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void EraseBackground(HWND window, HDC dc)
{
    RECT r;
    GetClientRect(window, &r);
    if (!ZoomMode)
        r.bottom = 434;
    FillWithSystemColour(dc, r, COLOR_BTNFACE);
    if (ZoomMode)
        return;
    GetClientRect(window, &r);
    r.top = 435;
    FillWithSystemColour(dc, r, COLOR_BTNSHADOW);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 0, 434, nullptr);
    LineTo(dc, 640, 434);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawWhole(HDC dc, DibBlock *dib, int x, int y)
{
    if (dib)
        SetDIBitsToDevice(dc, x, y, dib->width, dib->height, 0, 0, 0, dib->height, DibBits(dib), DibInfo(dib), DIB_RGB_COLORS);
}

// A pressed button shows its picture one pixel right and down, its edges
// left as they were, so it looks pushed in.
void DrawButton(HDC dc, int i)
{
    DibBlock *dib = ButtonDib[i];
    if (!dib)
        return;
    int p = ButtonPressed[i] == 1 ? 1 : 0;
    SetDIBitsToDevice(dc, ButtonRect[i].left + 2 * p, ButtonRect[i].top + 2 * p, dib->width - 3 * p, dib->height - 3 * p, p,
                      2 * p, 0, dib->height, DibBits(dib), DibInfo(dib), DIB_RGB_COLORS);
}

void PaintControls(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!ZoomMode) {
        DrawWhole(dc, SelectionDib, SelectionRect.left, SelectionRect.top);
        DrawWhole(dc, ReturnDib, ReturnRect.left, ReturnRect.top);
        for (int i = 0; i < 4; i++)
            DrawButton(dc, i);
    }
    EndPaint(window, &ps);
}

void ForwardMouseMove(HWND window, LPARAM lParam)
{
    POINT p = {LOWORD(lParam), HIWORD(lParam)};
    ClientToScreen(window, &p);
    ScreenToClient(ViewerWindow, &p);
    PostMessageA(ViewerWindow, WM_MOUSEMOVE, 0, static_cast<LPARAM>((p.x & 0xFFFF) | ((p.y & 0xFFFF) << 16)));
}

void SetPressed(HWND window, int i, BYTE pressed)
{
    if (ButtonPressed[i] != pressed)
        InvalidateRect(window, &ButtonRect[i], FALSE);
    ButtonPressed[i] = pressed;
}

void PressButtons(HWND window, int x, int y)
{
    for (int i = 0; i < 4; i++) {
        SetPressed(window, i, Inside(ButtonRect[i], x, y) ? 1 : 0);
        UpdateWindow(window);
    }
}

void OpenPictureWindow(HWND window, const char *file)
{
    // One picture window at a time: a second would free the first one's page.
    if (InfoDib)
        return;
    DibError error;
    InfoDib = LoadDib(&error, file);
    if (!InfoDib) {
        ReportLoadFailure(file);
        return;
    }
    int x = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    HWND shown = CreateWindowExA(0, "CLensHelper", nullptr, WS_POPUP, x, y, 640, 480, window, nullptr, AppInstance, nullptr);
    if (!shown) {
        // Nobody would free the page, and it would block every later one.
        FreeDib(InfoDib);
        InfoDib = nullptr;
        return;
    }
    ShowWindow(shown, SW_SHOWNORMAL);
    SetFocus(shown);
}

void RunButton(HWND window, int i)
{
    switch (i) {
    case BUTTON_CREDITS:
        OpenPictureWindow(window, CreditsFile);
        break;
    case BUTTON_HELP:
        OpenPictureWindow(window, HelpFile);
        break;
    case BUTTON_EXIT:
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        break;
    case BUTTON_ZOOM:
        SendMessageA(ViewerWindow, WM_LBUTTONDOWN, 0, 0);
        break;
    }
}

// The command of the control under a release; false when none was hit.
bool ReleaseButton(HWND window, int x, int y)
{
    if (SwallowButtonUp) {
        SwallowButtonUp = 0;
        return true;
    }
    // In zoom mode the controls are not drawn: a release that reaches the
    // frame (its press began elsewhere) does nothing.
    if (ZoomMode)
        return false;
    if (Inside(SelectionRect, x, y)) {
        int index = ThumbnailIndex(x, y);
        if (index >= 0 && index != CurrentImage)
            SelectImage(0, index);
        return true;
    }
    if (Inside(ReturnRect, x, y)) {
        ReturnRequested = 1;
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        return true;
    }
    for (int i = 0; i < 4; i++) {
        if (ButtonPressed[i] == 1) {
            SetPressed(window, i, 0);
            UpdateWindow(window);
        }
        if (Inside(ButtonRect[i], x, y)) {
            RunButton(window, i);
            return true;
        }
    }
    return false;
}

}  // namespace

int ThumbnailIndex(int x, int y)
{
    int d = x - 5, e = y - 5;
    int column = d / 63 - (d % 63 == 0 ? 1 : 0);
    int row = e / 55 - (e % 55 == 0 ? 1 : 0);
    // The strip's left, top and bottom pixel lines belong to no thumbnail;
    // left alone, the left line would name the right thumbnail of the row
    // above. The right line (d = 125) falls inside the second column.
    if (column < 0 || column > 1 || row < 0 || row > 4)
        return -1;
    return column + 2 * row;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateViewerChild(window);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        PaintControls(window);
        return 1;
    case WM_ERASEBKGND:
        EraseBackground(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_MOUSEMOVE:
        ForwardMouseMove(window, lParam);
        break;
    case WM_LBUTTONDOWN:
        if (ZoomMode)
            return SendMessageA(ViewerWindow, WM_LBUTTONDOWN, 0, 0);
        PressButtons(window, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_LBUTTONUP:
        if (ReleaseButton(window, LOWORD(lParam), HIWORD(lParam)))
            return 1;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
