// Conversions between blocks and device bitmaps, and the lossless expansion
// of palette pictures to 8 bits per pixel.
#include "image/dib_block.h"

HBITMAP DibToBitmap(DibBlock *dib, HDC dc)
{
    if (dib->flags & DIB_OWNS_BITMAP)
        DeleteObject(DibBitmap(dib));
    HBITMAP bitmap = CreateDIBitmap(dc, &dib->info, CBM_INIT, DibBits(dib), DibInfo(dib), DIB_RGB_COLORS);
    dib->hBitmap = HandleWord(bitmap);
    if (bitmap)
        dib->flags |= DIB_OWNS_BITMAP;
    else
        dib->flags &= ~DIB_OWNS_BITMAP;
    return bitmap;
}

DibBlock *DibFromBitmap(DibError *error, int bitCount, HBITMAP bitmap, HDC dc)
{
    BITMAP bm;
    if (GetObjectType(bitmap) != OBJ_BITMAP || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) {
        *error = DIB_ERR_TYPE;   // the handle is no bitmap
        return nullptr;
    }
    if (!ValidBitCount(bitCount)) {
        *error = DIB_ERR_BITCOUNT;
        return nullptr;
    }
    unsigned long long image = static_cast<unsigned long long>(DibRowBytes(bm.bmWidth, bitCount)) * bm.bmHeight;
    DibBlock *dib = image > 0x7FFFFFFFull || bm.bmHeight <= 0 ? nullptr : AllocDibBlock(static_cast<DWORD>(image));
    if (!dib) {
        *error = DIB_ERR_MEMORY;
        return nullptr;
    }
    dib->width = bm.bmWidth;
    dib->height = bm.bmHeight;
    dib->bitCount = bitCount;
    BITMAPINFOHEADER &bi = dib->info;
    bi.biSize = sizeof bi;
    bi.biWidth = bm.bmWidth;
    bi.biHeight = bm.bmHeight;
    bi.biPlanes = 1;
    bi.biBitCount = static_cast<WORD>(bitCount);
    bi.biCompression = BI_RGB;
    ZeroMemory(dib->colors, sizeof dib->colors);
    int lines = GetDIBits(dc, bitmap, 0, bm.bmHeight, DibBits(dib), DibInfo(dib), DIB_RGB_COLORS);
    if (lines != bm.bmHeight) {
        GlobalFree(DibMemoryHandle(dib));
        *error = DIB_ERR_BITS;
        return nullptr;
    }
    // Definite values, so the block saves and draws like one from a file.
    bi.biSizeImage = static_cast<DWORD>(image);
    bi.biXPelsPerMeter = 0;
    bi.biYPelsPerMeter = 0;
    bi.biClrUsed = bitCount == 24 ? 0 : 1u << bitCount;
    bi.biClrImportant = 0;
    return dib;
}

DibBlock *ExpandToEightBits(DibError *error, DibBlock *dib)
{
    DWORD bits = dib->bitCount;
    if (bits != 1 && bits != 4 && bits != 8) {
        *error = DIB_ERR_BITCOUNT;
        return nullptr;
    }
    DWORD stride = DibRowBytes(dib->width, 8);
    unsigned long long image = static_cast<unsigned long long>(stride) * dib->height;
    // A run-length file of a few bytes can claim a huge picture: no
    // expansion takes more than 64 MiB.
    const unsigned long long kMaxExpansion = 64ull << 20;
    DibBlock *out = stride == 0 || dib->height <= 0 || image > kMaxExpansion ? nullptr : AllocDibBlock(static_cast<DWORD>(image));
    if (!out) {
        *error = DIB_ERR_MEMORY;
        return nullptr;
    }
    out->width = dib->width;
    out->height = dib->height;
    out->bitCount = 8;
    out->flags = dib->flags & DIB_FROM_FILE;
    out->info = dib->info;
    out->info.biBitCount = 8;
    out->info.biCompression = BI_RGB;
    out->info.biSizeImage = static_cast<DWORD>(image);
    if (out->info.biClrUsed == 0)
        out->info.biClrUsed = 1u << bits;
    CopyMemory(out->colors, dib->colors, sizeof out->colors);
    BYTE *dst = DibBits(out);
    ZeroMemory(dst, static_cast<size_t>(image));

    const BYTE *src = DibBits(dib);
    DWORD compression = dib->info.biCompression;
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        DWORD colours = dib->info.biClrUsed ? dib->info.biClrUsed : 1u << bits;
        if (!WalkRunLength(src, dib->totalSize - DIB_BITS_OFFSET, dib->width, dib->height, compression == BI_RLE4,
                           colours, dst, stride)) {
            GlobalFree(DibMemoryHandle(out));
            *error = DIB_ERR_BITS;
            return nullptr;
        }
        return out;
    }
    DWORD srcStride = DibRowBytes(dib->width, bits), mask = (1u << bits) - 1;
    if (static_cast<unsigned long long>(srcStride) * dib->height > dib->totalSize - DIB_BITS_OFFSET) {
        GlobalFree(DibMemoryHandle(out));
        *error = DIB_ERR_BITS;
        return nullptr;
    }
    for (LONG y = 0; y < dib->height; y++) {
        const BYTE *row = src + static_cast<size_t>(y) * srcStride;
        BYTE *to = dst + static_cast<size_t>(y) * stride;
        for (LONG x = 0; x < dib->width; x++) {
            DWORD bit = static_cast<DWORD>(x) * bits;
            to[x] = static_cast<BYTE>((row[bit / 8] >> (8 - bits - bit % 8)) & mask);
        }
    }
    return out;
}
