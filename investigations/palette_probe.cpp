// What a palette screen makes of a realised palette: a window selects and
// realises a palette of 256 distinct colours, draws an 8-bit picture whose
// 16 x 16 cells use every entry once, reads itself back into a 24-bit DIB
// section and prints, entry by entry, what came back. It then stays open
// for HOLD milliseconds so that the X server's pixels can be read too
// (investigations/palette-probe.sh does both). The cells lie at (40, 40) of a
// 400 x 400 top-level window at the screen's top left.
//   palette_probe [pal] [nocollapse] [child] [HOLD]
// pal draws with DIB_PAL_COLORS instead of the viewer's DIB_RGB_COLORS;
// nocollapse gives every entry PC_NOCOLLAPSE; child draws in a child
// window at (40, 40), as the viewer does, instead of in the top-level one.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const int kCell = 16, kSide = 16 * kCell;

// Distinct (7 is odd, so red alone tells the entries apart), none of them
// a static colour, spread over the cube so a nearest match shows.
COLORREF ProbeColour(int i)
{
    return RGB((i * 7 + 3) & 0xFF, (i * 53 + 101) & 0xFF, (i * 151 + 29) & 0xFF);
}

HPALETTE Palette;
bool PalColors;
int Origin = 40;   // of the cells in the drawing window; 0 in the child
BYTE InfoBuffer[sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)];
BYTE Bits[kSide * kSide];

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HPALETTE previous = SelectPalette(dc, Palette, FALSE);
    UINT mapped = RealizePalette(dc);
    SetDIBitsToDevice(dc, Origin, Origin, kSide, kSide, 0, 0, 0, kSide, Bits, reinterpret_cast<BITMAPINFO *>(InfoBuffer),
                      PalColors ? DIB_PAL_COLORS : DIB_RGB_COLORS);
    SelectPalette(dc, previous, TRUE);
    EndPaint(window, &ps);
    printf("painted: RealizePalette mapped %u entries\n", mapped);
    return 0;
}

void Pump(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

// The centre pixel of every cell, read through the window's device context;
// returns how many equal their palette entry, or -1.
int ReadBack(HWND window)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = kSide;
    bi.bmiHeader.biHeight = -kSide;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void *pixels = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!section)
        return -1;
    HDC dc = GetDC(window), memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, section);
    BOOL copied = BitBlt(memory, 0, 0, kSide, kSide, dc, Origin, Origin, SRCCOPY);
    GdiFlush();
    int right = 0;
    const int stride = (kSide * 3 + 3) & ~3;
    for (int i = 0; i < 256; i++) {
        const BYTE *px = static_cast<const BYTE *>(pixels) + ((i / 16) * kCell + kCell / 2) * stride +
                         ((i % 16) * kCell + kCell / 2) * 3;
        COLORREF want = ProbeColour(i);
        bool same = want == RGB(px[2], px[1], px[0]);
        right += same;
        printf("entry %3d want %02x%02x%02x dc %02x%02x%02x%s\n", i, GetRValue(want), GetGValue(want),
               GetBValue(want), px[2], px[1], px[0], same ? "" : " wrong");
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    DeleteObject(section);
    return copied ? right : -1;
}

}  // namespace

int main(int argc, char **argv)
{
    bool noCollapse = false, child = false;
    DWORD hold = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "pal"))
            PalColors = true;
        else if (!strcmp(argv[i], "nocollapse"))
            noCollapse = true;
        else if (!strcmp(argv[i], "child"))
            child = true, Origin = 0;
        else
            hold = static_cast<DWORD>(atoi(argv[i]));
    }
    HDC screen = GetDC(nullptr);
    printf("screen: %d bits, palette device %d, palette size %d, reserved entries %d\n",
           GetDeviceCaps(screen, BITSPIXEL), (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0,
           GetDeviceCaps(screen, SIZEPALETTE), GetDeviceCaps(screen, NUMRESERVED));
    ReleaseDC(nullptr, screen);

    static BYTE logBuffer[sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY)];
    LOGPALETTE *lp = reinterpret_cast<LOGPALETTE *>(logBuffer);
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    BITMAPINFO *info = reinterpret_cast<BITMAPINFO *>(InfoBuffer);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = kSide;
    info->bmiHeader.biHeight = kSide;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 8;
    info->bmiHeader.biClrUsed = 256;
    for (int i = 0; i < 256; i++) {
        COLORREF c = ProbeColour(i);
        lp->palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c),
                              static_cast<BYTE>(noCollapse ? PC_NOCOLLAPSE : 0)};
        if (PalColors)
            reinterpret_cast<WORD *>(info->bmiColors)[i] = static_cast<WORD>(i);
        else
            info->bmiColors[i] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    Palette = CreatePalette(lp);
    // Bottom-up rows: the cell in row r, column c from the top left holds
    // entry r * 16 + c.
    for (int y = 0; y < kSide; y++)
        for (int x = 0; x < kSide; x++)
            Bits[(kSide - 1 - y) * kSide + x] = static_cast<BYTE>((y / kCell) * 16 + x / kCell);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "OrbPaletteProbe";
    WNDCLASSA frame = wc;
    frame.lpfnWndProc = DefWindowProcA;
    frame.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    frame.lpszClassName = "OrbPaletteProbeFrame";
    HWND top = nullptr, window = nullptr;
    if (Palette && RegisterClassA(&wc) && RegisterClassA(&frame)) {
        top = CreateWindowExA(0, child ? "OrbPaletteProbeFrame" : "OrbPaletteProbe", "palette probe",
                              WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 400, nullptr, nullptr, instance,
                              nullptr);
        window = top && child ? CreateWindowExA(0, "OrbPaletteProbe", "", WS_CHILD | WS_VISIBLE, 40, 40, kSide, kSide,
                                                top, nullptr, instance, nullptr)
                              : top;
    }
    if (!window) {
        printf("cannot make the palette or the window\n");
        return 2;
    }
    UpdateWindow(top);
    Pump(500);

    PALETTEENTRY system[256] = {};
    HDC dc = GetDC(window);
    UINT count = GetSystemPaletteEntries(dc, 0, 256, system);
    ReleaseDC(window, dc);
    int held = 0;
    for (int i = 0; i < 256; i++)
        for (UINT j = 0; j < count; j++)
            if (RGB(system[j].peRed, system[j].peGreen, system[j].peBlue) == ProbeColour(i)) {
                held++;
                break;
            }
    printf("system palette: %u entries, %d of the probe's colours among them\n", count, held);
    int right = ReadBack(window);
    printf("cells: %d pixels square from (40, 40) of the top-level window; entry = row * 16 + column\n", kCell);
    printf("device context: %d of 256 entries right\n", right);
    fflush(stdout);
    Pump(hold);
    DestroyWindow(top);
    DeleteObject(Palette);
    return 0;
}
