#include "image/dib_block.h"

bool ValidBitCount(DWORD bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

DWORD DibRowBytes(LONG width, DWORD bitCount)
{
    if (width <= 0 || bitCount == 0 || bitCount > 32)
        return 0;
    unsigned long long bits = static_cast<unsigned long long>(bitCount) * static_cast<unsigned long long>(width);
    unsigned long long bytes = ((bits + 31) & ~31ull) / 8;
    return bytes > 0x7FFFFFFFull ? 0 : static_cast<DWORD>(bytes);
}

DibBlock *AllocDibBlock(DWORD bitsBytes)
{
    if (bitsBytes > 0xFFFFFFFFu - DIB_BITS_OFFSET)
        return nullptr;
    DWORD total = bitsBytes + DIB_BITS_OFFSET;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, total);
    if (!mem)
        return nullptr;
    DibBlock *dib = static_cast<DibBlock *>(GlobalLock(mem));
    if (!dib) {
        GlobalFree(mem);
        return nullptr;
    }
    ZeroMemory(dib, DIB_BITS_OFFSET);
    dib->hGlobal = HandleWord(mem);
    dib->totalSize = total;
    return dib;
}

HGLOBAL DibMemoryHandle(DibBlock *dib)
{
#ifdef _WIN64
    // The handle word holds only the low half of a 64-bit handle.
    return GlobalHandle(dib);
#else
    return reinterpret_cast<HGLOBAL>(static_cast<ULONG_PTR>(dib->hGlobal));
#endif
}

int FreeDib(DibBlock *dib)
{
    if (!dib)
        return -1;
    if (dib->flags & DIB_OWNS_BITMAP)
        DeleteObject(DibBitmap(dib));
    if (dib->flags & DIB_OWNS_PALETTE)
        DeleteObject(DibPalette(dib));
    return GlobalFree(DibMemoryHandle(dib)) == nullptr ? 0 : -1;
}
