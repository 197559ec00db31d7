// The smallest POSIX stand-in for the platform calls the image store and
// the lens make, for the native fuzzing build alone. Everything else of the
// project, and every other test, uses the real platform.
#pragma once

// A 64-bit build: handles do not fit the block's 32-bit words.
#ifndef _WIN64
#define _WIN64 1
#endif

#include <stddef.h>
#include <stdint.h>
#include <string.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD, UINT;
typedef int32_t LONG, BOOL, HFILE;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef void *HANDLE, *HGLOBAL, *HBITMAP, *HPALETTE, *HDC, *HGDIOBJ, *HINSTANCE, *HWND;
struct RECT { LONG left, top, right, bottom; };
typedef const char *LPCCH, *LPCSTR;
typedef char CHAR;

#define WINAPI
enum { FALSE, TRUE, HFILE_ERROR = -1, OF_READ = 0, GMEM_MOVEABLE = 2, CBM_INIT = 4, DIB_RGB_COLORS = 0, OBJ_BITMAP = 7 };
enum { FILE_BEGIN, FILE_CURRENT, FILE_END };
enum { BI_RGB, BI_RLE8, BI_RLE4 };

#define ZeroMemory(p, n) memset((p), 0, (n))
#define CopyMemory(d, s, n) memcpy((d), (s), (n))

struct RGBQUAD { BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved; };
#pragma pack(push, 2)
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth, biHeight;
    WORD biPlanes, biBitCount;
    DWORD biCompression, biSizeImage;
    LONG biXPelsPerMeter, biYPelsPerMeter;
    DWORD biClrUsed, biClrImportant;
};
#pragma pack(pop)
struct BITMAPINFO { BITMAPINFOHEADER bmiHeader; RGBQUAD bmiColors[1]; };
struct PALETTEENTRY { BYTE peRed, peGreen, peBlue, peFlags; };
struct LOGPALETTE { WORD palVersion, palNumEntries; PALETTEENTRY palPalEntry[1]; };
struct BITMAP { LONG bmType, bmWidth, bmHeight, bmWidthBytes; WORD bmPlanes, bmBitsPixel; void *bmBits; };

HFILE _lopen(LPCSTR name, int mode);
HFILE _lcreat(LPCSTR name, int attributes);
long _hread(HFILE file, void *buffer, long count);
UINT _lread(HFILE file, void *buffer, UINT count);
LONG _llseek(HFILE file, LONG offset, int origin);
UINT _lwrite(HFILE file, LPCCH buffer, UINT count);
long _hwrite(HFILE file, LPCCH buffer, long count);
HFILE _lclose(HFILE file);

HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void *GlobalLock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);
HGLOBAL GlobalHandle(const void *block);
HANDLE GetProcessHeap();
void *HeapAlloc(HANDLE heap, DWORD flags, size_t bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, void *block);

BOOL DeleteObject(HGDIOBJ object);
HPALETTE CreatePalette(const LOGPALETTE *description);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER *header, DWORD init, const void *bits, const BITMAPINFO *info, UINT usage);
DWORD GetObjectType(HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, void *out);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void *bits, BITMAPINFO *info, UINT usage);
