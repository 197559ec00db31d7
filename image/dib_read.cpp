// The BMP reader, in two stages. Before anything is allocated it reads the
// 14-byte file header and the 40 bytes after it (a core header and what
// follows it, or an info header's first 40), checks the header's fields (its
// size, planes, bits per pixel, compression, then width and height), learns
// the file's real length by seeking to its end, and places the colour table
// and the bits against that length. No size the file states is trusted:
// each one is compared with what the file really holds and with what the
// consumers of the block read. Then it allocates the block, reads the
// colour table (a core header's three-byte entries through a small heap
// buffer) and the bits straight from the file into it, and checks the
// pixels: run-length streams must stay inside the picture, and uncompressed
// or run-length pixels must name colours the table has. Top-down rows are
// then turned bottom-up. On any failure, a failed close among them, the
// block is freed and the code is reported.
#include "image/dib_block.h"

#include <string.h>

namespace {

const DWORD kCoreHeaderSize = 12;
const DWORD kChunk = 16384;
// Larger than any picture the viewer shows, and small enough that no size
// derived from it can overflow.
const LONG kMaxSide = 65535;
const DWORD kCoreBufferSize = 12 + 3 * 256;

DWORD ReadDword(const BYTE *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }
WORD ReadWord(const BYTE *p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

// What the headers say, once checked.
struct BmpLayout {
    BITMAPINFOHEADER info;   // as it goes into the block
    bool core;               // 12-byte header: three-byte colour entries
    bool topDown;            // rows stored top row first
    DWORD tableOffset;       // file offset of the colour table
    DWORD tableEntries;      // entries the file holds, at most 1 << bitCount
    DWORD bitsStart;         // file offset of the bits
    DWORD bitsLength;        // bytes of bits that go into the block
};

struct FileHeader {
    DWORD fileSize;
    DWORD bitsOffset;
};

DibError ParseCoreHeader(const BYTE *h, BmpLayout *out)
{
    WORD width = ReadWord(h + 4), height = ReadWord(h + 6);
    if (ReadWord(h + 8) != 1)
        return DIB_ERR_PLANES;
    DWORD bitCount = ReadWord(h + 10);
    if (!ValidBitCount(bitCount))
        return DIB_ERR_BITCOUNT;
    if (width == 0 || height == 0)
        return DIB_ERR_INFOHEADER;
    BITMAPINFOHEADER &bi = out->info;
    ZeroMemory(&bi, sizeof bi);
    bi.biSize = sizeof(BITMAPINFOHEADER);
    bi.biWidth = width;
    bi.biHeight = height;
    bi.biPlanes = 1;
    bi.biBitCount = static_cast<WORD>(bitCount);
    bi.biCompression = BI_RGB;
    out->core = true;
    out->topDown = false;
    out->tableOffset = 14 + kCoreHeaderSize;
    out->tableEntries = bitCount == 24 ? 0 : 1u << bitCount;
    return DIB_OK;
}

DibError ParseInfoHeader(const BYTE *h, BmpLayout *out)
{
    BITMAPINFOHEADER &bi = out->info;
    memcpy(&bi, h, sizeof bi);
    if (bi.biSize < sizeof(BITMAPINFOHEADER))
        return DIB_ERR_INFOHEADER;   // neither a core nor a full info header
    if (bi.biPlanes != 1)
        return DIB_ERR_PLANES;
    if (!ValidBitCount(bi.biBitCount))
        return DIB_ERR_BITCOUNT;
    if (bi.biCompression != BI_RGB && bi.biCompression != BI_RLE8 && bi.biCompression != BI_RLE4)
        return DIB_ERR_COMPRESSION;
    if (bi.biWidth <= 0 || bi.biWidth > kMaxSide || bi.biHeight == 0 || bi.biHeight < -kMaxSide || bi.biHeight > kMaxSide)
        return DIB_ERR_INFOHEADER;
    out->core = false;
    out->topDown = bi.biHeight < 0;
    if (out->topDown && bi.biCompression != BI_RGB)
        return DIB_ERR_COMPRESSION;  // run-length bits are bottom-up by definition
    // The table follows the header; a size word near 2^32 must not wrap
    // this offset back to the file's first bytes.
    if (bi.biSize > 0xFFFFFFFFu - 14)
        return DIB_ERR_INFOHEADER;
    out->tableOffset = 14 + bi.biSize;
    DWORD full = bi.biBitCount == 24 ? 0 : 1u << bi.biBitCount;
    DWORD used = bi.biClrUsed;
    // A 24-bit block carries no colour table, so it claims no colours.
    out->tableEntries = (used == 0 || used > full) ? full : used;
    bi.biClrUsed = out->tableEntries;
    bi.biSize = sizeof(BITMAPINFOHEADER);
    bi.biHeight = out->topDown ? -bi.biHeight : bi.biHeight;
    return DIB_OK;
}

// Where the bits start and how many go into the block, from the file's real
// length. The stated file size is kept where it is sound, so the block holds
// what the file holds.
DibError PlaceBits(const FileHeader &fh, LONG fileLength, BmpLayout *out)
{
    BITMAPINFOHEADER &bi = out->info;
    if (out->tableOffset > static_cast<DWORD>(fileLength))
        return DIB_ERR_INFOHEADER;   // the header runs past the end of the file
    DWORD entrySize = out->core ? 3 : 4;
    // A bits offset inside the file says where the table ends: read what
    // lies between header and bits, up to the full table for the bit count.
    DWORD full = bi.biBitCount == 24 ? 0 : 1u << bi.biBitCount;
    if (full && fh.bitsOffset >= out->tableOffset && fh.bitsOffset <= static_cast<DWORD>(fileLength)) {
        DWORD room = (fh.bitsOffset - out->tableOffset) / entrySize;
        out->tableEntries = room < full ? room : full;
    }
    if (out->core || bi.biClrUsed > out->tableEntries)
        bi.biClrUsed = out->tableEntries;
    long long tableEnd = static_cast<long long>(out->tableOffset) + out->tableEntries * entrySize;
    if (tableEnd > fileLength)
        return DIB_ERR_COLORTABLE;

    // An offset that points into the header or the table, or past the end,
    // is no offset: the bits then follow the table, and the stated file
    // size, measured from that offset, means nothing either.
    bool offsetSound = fh.bitsOffset >= tableEnd && fh.bitsOffset <= static_cast<DWORD>(fileLength);
    long long start = offsetSound ? fh.bitsOffset : tableEnd;
    long long available = fileLength - start;
    if (available < 0)
        available = 0;
    long long stated = offsetSound ? static_cast<long long>(fh.fileSize) - fh.bitsOffset : -1;
    if (stated > available)
        return DIB_ERR_BITS;   // the file ends before the size it states

    long long length;
    if (bi.biCompression == BI_RGB) {
        long long need = static_cast<long long>(DibRowBytes(bi.biWidth, bi.biBitCount)) * bi.biHeight;
        if (need == 0 || need > available)
            return DIB_ERR_BITS;
        length = stated >= need ? stated : need;
        // The file's image size stays where it covers the rows and stays
        // inside the block; 0, a size short of the rows (a writer would
        // drop rows) or one past the bits (a consumer would read past the
        // block) becomes the rows' size.
        if (bi.biSizeImage < need || bi.biSizeImage > length)
            bi.biSizeImage = static_cast<DWORD>(need);
    } else {
        length = stated > 0 ? stated : available;
        if (length == 0)
            return DIB_ERR_BITS;
        // The decoder is bounded by the image size; it must not pass the block.
        if (bi.biSizeImage == 0 || bi.biSizeImage > length)
            bi.biSizeImage = static_cast<DWORD>(length);
    }
    out->bitsStart = static_cast<DWORD>(start);
    out->bitsLength = static_cast<DWORD>(length);
    return DIB_OK;
}

DibError ReadColorTable(HFILE file, const BmpLayout &layout, DibBlock *dib)
{
    ZeroMemory(dib->colors, sizeof dib->colors);
    DWORD entries = layout.tableEntries;
    if (entries == 0)
        return DIB_OK;
    _llseek(file, static_cast<LONG>(layout.tableOffset), FILE_BEGIN);
    if (!layout.core) {
        long want = static_cast<long>(entries * 4);
        return _hread(file, dib->colors, want) == want ? DIB_OK : DIB_ERR_COLORTABLE;
    }
    BYTE *temp = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), 0, kCoreBufferSize));
    if (!temp)
        return DIB_ERR_MEMORY;
    DibError result = DIB_OK;
    long want = static_cast<long>(entries * 3);
    if (_hread(file, temp + 12, want) != want) {
        result = DIB_ERR_COLORTABLE;
    } else {
        for (DWORD i = 0; i < entries; i++) {
            const BYTE *src = temp + 12 + 3 * i;
            dib->colors[i].rgbBlue = src[0];
            dib->colors[i].rgbGreen = src[1];
            dib->colors[i].rgbRed = src[2];
            dib->colors[i].rgbReserved = 0;
        }
    }
    HeapFree(GetProcessHeap(), 0, temp);
    return result;
}

DibError ReadBits(HFILE file, const BmpLayout &layout, DibBlock *dib)
{
    _llseek(file, static_cast<LONG>(layout.bitsStart), FILE_BEGIN);
    BYTE *bits = DibBits(dib);
    DWORD done = 0;
    while (done < layout.bitsLength) {
        DWORD chunk = layout.bitsLength - done < kChunk ? layout.bitsLength - done : kChunk;
        if (_lread(file, bits + done, chunk) != chunk)
            return DIB_ERR_BITS;
        done += chunk;
    }
    return DIB_OK;
}

// Whether every pixel of uncompressed palette bits names an entry that the
// drawing call will find in the colour table.
bool IndicesFit(DibBlock *dib)
{
    DWORD bits = dib->bitCount, colours = dib->info.biClrUsed;
    if (bits > 8 || colours >= (1u << bits))
        return true;
    DWORD stride = DibRowBytes(dib->width, bits), mask = (1u << bits) - 1;
    for (LONG y = 0; y < dib->height; y++) {
        const BYTE *row = DibBits(dib) + static_cast<size_t>(y) * stride;
        for (LONG x = 0; x < dib->width; x++) {
            DWORD bit = static_cast<DWORD>(x) * bits;
            DWORD index = (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
            if (index >= colours)
                return false;
        }
    }
    return true;
}

// Every consumer addresses rows bottom-up.
void FlipRows(DibBlock *dib)
{
    DWORD stride = DibRowBytes(dib->width, dib->bitCount);
    BYTE *bits = DibBits(dib);
    for (LONG top = 0, bottom = dib->height - 1; top < bottom; top++, bottom--) {
        BYTE *a = bits + static_cast<size_t>(top) * stride, *b = bits + static_cast<size_t>(bottom) * stride;
        for (DWORD i = 0; i < stride; i++) {
            BYTE t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
}

DibError ReadHeaders(HFILE file, BmpLayout *layout)
{
    BYTE fileHeader[14];
    if (_hread(file, fileHeader, 14) != 14)
        return DIB_ERR_FILEHEADER;
    if (ReadWord(fileHeader) != 0x4D42)
        return DIB_ERR_TYPE;
    FileHeader fh = {ReadDword(fileHeader + 2), ReadDword(fileHeader + 10)};

    BYTE header[40];
    if (_hread(file, header, 40) != 40)
        return DIB_ERR_INFOHEADER;
    DibError e = ReadDword(header) == kCoreHeaderSize ? ParseCoreHeader(header, layout) : ParseInfoHeader(header, layout);
    if (e != DIB_OK)
        return e;
    LONG fileLength = _llseek(file, 0, FILE_END);
    if (fileLength < 0)
        return DIB_ERR_BITS;
    return PlaceBits(fh, fileLength, layout);
}

}  // namespace

DibBlock *LoadDib(DibError *error, const char *fileName)
{
    *error = DIB_OK;
    HFILE file = _lopen(fileName, OF_READ);
    if (file == HFILE_ERROR) {
        *error = DIB_ERR_OPEN;
        return nullptr;
    }
    BmpLayout layout;
    DibBlock *dib = nullptr;
    DibError e = ReadHeaders(file, &layout);
    if (e == DIB_OK) {
        dib = AllocDibBlock(layout.bitsLength);
        if (!dib)
            e = DIB_ERR_MEMORY;
    }
    if (e == DIB_OK) {
        dib->flags = DIB_FROM_FILE;
        dib->width = layout.info.biWidth;
        dib->height = layout.info.biHeight;
        dib->bitCount = layout.info.biBitCount;
        dib->info = layout.info;
        e = ReadColorTable(file, layout, dib);
    }
    if (e == DIB_OK)
        e = ReadBits(file, layout, dib);
    if (e == DIB_OK && layout.info.biCompression != BI_RGB &&
        !WalkRunLength(DibBits(dib), layout.bitsLength, dib->width, dib->height, layout.info.biCompression == BI_RLE4,
                       dib->info.biClrUsed, nullptr, 0))
        e = DIB_ERR_BITS;
    if (e == DIB_OK && layout.info.biCompression == BI_RGB && !IndicesFit(dib))
        e = DIB_ERR_COLORTABLE;   // the bits name colours the file does not have
    if (e == DIB_OK && layout.topDown)
        FlipRows(dib);
    if (_lclose(file) == HFILE_ERROR && e == DIB_OK)
        e = DIB_ERR_CLOSE;
    if (e != DIB_OK) {
        if (dib)
            GlobalFree(DibMemoryHandle(dib));
        *error = e;
        return nullptr;
    }
    return dib;
}
