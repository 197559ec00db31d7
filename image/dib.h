// The image store: every picture lives in one DibBlock, a locked movable
// global memory block laid out so that byte 32 onward is a complete
// BITMAPINFO followed, at byte 1096, by the pixel bits.
#pragma once

#include <windows.h>
#include <stddef.h>

// The image store's result codes, the one list of them: each row is the
// code's name and number and what it means from each routine that gives
// it, the reader (LoadDib), the writer (SaveDib), the bitmap conversion
// (DibFromBitmap) and the 8-bit expansion (ExpandToEightBits); null where
// that routine never gives it. orbtool prints these meanings (and a test
// reads the reader's, each one text on its code's line).
#define DIB_RESULT_CODES(X) \
    X(DIB_OK, 0, "loaded", "written", nullptr, nullptr) \
    X(DIB_ERR_OPEN, 101, "cannot open the file", "cannot create the file", nullptr, nullptr) \
    X(DIB_ERR_CLOSE, 102, "closing the file failed", "closing the file failed", nullptr, nullptr) \
    X(DIB_ERR_MEMORY, 103, "out of memory", nullptr, "out of memory, or more than 2 GiB of bits", \
      "out of memory, or more than 64 MiB at 8 bits") \
    X(DIB_ERR_FILEHEADER, 104, "shorter than a file header", nullptr, nullptr, nullptr) \
    X(DIB_ERR_TYPE, 111, "not a BMP file", "file header not written in full", "the handle is no bitmap", nullptr) \
    X(DIB_ERR_INFOHEADER, 112, "info header short, past the end of the file, or describes no picture", \
      "info header not written in full", nullptr, nullptr) \
    X(DIB_ERR_PLANES, 113, "planes not 1", nullptr, nullptr, nullptr) \
    X(DIB_ERR_BITCOUNT, 114, "bits per pixel not 1, 4, 8 or 24", "bits per pixel not 1, 4, 8 or 24", \
      "bits per pixel not 1, 4, 8 or 24", "24 bits per pixel cannot become 8 without loss") \
    X(DIB_ERR_COMPRESSION, 115, "compression not supported", nullptr, nullptr, nullptr) \
    X(DIB_ERR_COLORTABLE, 116, "colour table short, or uncompressed pixels name colours it lacks", \
      "colour table not written in full", nullptr, nullptr) \
    X(DIB_ERR_BITS, 117, "pixel bits short or do not fit, or run-length codes name colours the table lacks", \
      "the block holds fewer bits than its header says, or they were not written in full", \
      "the bitmap gave a number of rows other than its height", "run-length codes or pixel bits do not fit")

#define DIB_RESULT_ENUM(name, code, read, write, fromBitmap, expand) name = code,
enum { DIB_RESULT_CODES(DIB_RESULT_ENUM) };
#undef DIB_RESULT_ENUM
typedef LONG DibError;

enum {
    DIB_OWNS_BITMAP = 1,
    DIB_OWNS_PALETTE = 2,
    DIB_FROM_FILE = 4,
};

enum {
    DIB_INFO_OFFSET = 32,
    DIB_TABLE_OFFSET = 72,
    DIB_BITS_OFFSET = 1096,
};

// The header is eight 32-bit words on every build. Handles are kept in
// 32 bits: GDI handles keep their meaning there on 64-bit Windows, and the
// memory handle is found again from the block's address where it is wider.
struct DibBlock {
    DWORD hGlobal;
    DWORD hBitmap;
    DWORD hPalette;
    LONG width;
    LONG height;
    DWORD bitCount;
    DWORD flags;
    DWORD totalSize;
    BITMAPINFOHEADER info;
    RGBQUAD colors[256];
};

static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header is 40 bytes");
static_assert(offsetof(DibBlock, hGlobal) == 0, "header word 0");
static_assert(offsetof(DibBlock, totalSize) == 28, "header is eight 32-bit words");
static_assert(offsetof(DibBlock, info) == DIB_INFO_OFFSET, "info header at 32");
static_assert(offsetof(DibBlock, colors) == DIB_TABLE_OFFSET, "colour table at 72");
static_assert(sizeof(DibBlock) == DIB_BITS_OFFSET, "bits at 1096");

inline BYTE *DibBits(DibBlock *dib) { return reinterpret_cast<BYTE *>(dib) + DIB_BITS_OFFSET; }
inline BITMAPINFO *DibInfo(DibBlock *dib) { return reinterpret_cast<BITMAPINFO *>(&dib->info); }

// Whether the image store reads, writes and converts pictures of this many
// bits per pixel: 1, 4, 8 or 24.
bool ValidBitCount(DWORD bits);

// Bytes of one stored row: the row's bits rounded up to whole 32-bit words.
// Zero when the width or bit count make no sense or the row exceeds 2 GiB.
DWORD DibRowBytes(LONG width, DWORD bitCount);

// 32-bit handle words and the handles they stand for.
inline DWORD HandleWord(HANDLE h) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(h)); }
inline HANDLE WordHandle(DWORD w) { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(static_cast<LONG>(w))); }
inline HBITMAP DibBitmap(const DibBlock *dib) { return static_cast<HBITMAP>(WordHandle(dib->hBitmap)); }
inline HPALETTE DibPalette(const DibBlock *dib) { return static_cast<HPALETTE>(WordHandle(dib->hPalette)); }

// Reads a BMP file into a new locked block; null with a code in *error.
DibBlock *LoadDib(DibError *error, const char *fileName);

// Deletes the GDI objects the block owns and releases it; 0, or -1 for a
// null block or a release the platform refused.
int FreeDib(DibBlock *dib);

// Makes a logical palette from the block's colour table and attaches it,
// deleting one the block owned before; null (and none attached) for a
// 24-bit block or when the platform cannot make one.
HPALETTE CreateDibPalette(DibBlock *dib);

// Writes the block as a BMP file; 0, or -1 with a code in *error.
int SaveDib(DibError *error, DibBlock *dib, const char *fileName);

// Makes a device bitmap from the block, compatible with dc, and attaches it.
HBITMAP DibToBitmap(DibBlock *dib, HDC dc);

// A new block holding the bitmap at bitCount (1, 4, 8 or 24) bits per
// pixel; null with a code in *error. *error is left alone on success.
DibBlock *DibFromBitmap(DibError *error, int bitCount, HBITMAP bitmap, HDC dc);

// A new 8-bit uncompressed block with the same pixels and colour table as
// a 1-, 4- or 8-bit block, run-length compressed or not; null with a code
// in *error for 24-bit blocks, which cannot become 8-bit without loss, and
// (103) for expansions of more than 64 MiB.
DibBlock *ExpandToEightBits(DibError *error, DibBlock *dib);
