#include "image/dib.h"

HPALETTE CreateDibPalette(DibBlock *dib)
{
    if (dib->flags & DIB_OWNS_PALETTE)
        DeleteObject(DibPalette(dib));
    dib->hPalette = 0;
    dib->flags &= ~DIB_OWNS_PALETTE;
    // A 24-bit block has no colour table to make a palette from.
    if (dib->bitCount != 1 && dib->bitCount != 4 && dib->bitCount != 8)
        return nullptr;
    DWORD count = 1u << dib->bitCount;
    LOGPALETTE *description = static_cast<LOGPALETTE *>(HeapAlloc(GetProcessHeap(), 0, 4 + 4 * count));
    if (!description)
        return nullptr;
    description->palVersion = 0x300;
    description->palNumEntries = static_cast<WORD>(count);
    for (DWORD i = 0; i < count; i++) {
        PALETTEENTRY &e = description->palPalEntry[i];
        e.peRed = dib->colors[i].rgbRed;
        e.peGreen = dib->colors[i].rgbGreen;
        e.peBlue = dib->colors[i].rgbBlue;
        e.peFlags = 0;
    }
    HPALETTE palette = CreatePalette(description);
    HeapFree(GetProcessHeap(), 0, description);
    dib->hPalette = HandleWord(palette);
    if (palette)
        dib->flags |= DIB_OWNS_PALETTE;
    return palette;
}
