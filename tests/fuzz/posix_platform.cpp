// POSIX stand-ins for the native fuzzing build: files through file
// descriptors, memory blocks through malloc (a header before each block
// remembers it), GDI objects as counted tokens that a leak check can see.
#include "posix_platform.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

long LiveGdiObjects;
long LiveBlocks;

HFILE _lopen(LPCSTR name, int) { return open(name, O_RDONLY); }
HFILE _lcreat(LPCSTR name, int) { return open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644); }

// Regular files: a read or write is short only at the end of the file or
// on an error.
long _hread(HFILE file, void *buffer, long count) { return long(read(file, buffer, size_t(count))); }
UINT _lread(HFILE file, void *buffer, UINT count) { return UINT(_hread(file, buffer, long(count))); }

LONG _llseek(HFILE file, LONG offset, int origin)
{
    return LONG(lseek(file, offset, origin == FILE_BEGIN ? SEEK_SET : origin == FILE_END ? SEEK_END : SEEK_CUR));
}

long _hwrite(HFILE file, LPCCH buffer, long count) { return long(write(file, buffer, size_t(count))); }
UINT _lwrite(HFILE file, LPCCH buffer, UINT count) { return UINT(_hwrite(file, buffer, long(count))); }
HFILE _lclose(HFILE file) { return close(file) == 0 ? 0 : HFILE_ERROR; }

// A block: its own address as handle, 16 bytes ahead of what is handed out.
HGLOBAL GlobalAlloc(UINT, size_t bytes)
{
    if (bytes > (size_t(1) << 31))
        return nullptr;
    char *p = static_cast<char *>(malloc(bytes + 16));
    if (!p)
        return nullptr;
    LiveBlocks++;
    return p;
}
void *GlobalLock(HGLOBAL memory) { return memory ? static_cast<char *>(memory) + 16 : nullptr; }
HGLOBAL GlobalHandle(const void *block) { return const_cast<char *>(static_cast<const char *>(block)) - 16; }
HGLOBAL GlobalFree(HGLOBAL memory)
{
    if (memory)
        LiveBlocks--;
    free(memory);
    return nullptr;
}

HANDLE GetProcessHeap() { return reinterpret_cast<HANDLE>(1); }
void *HeapAlloc(HANDLE, DWORD, size_t bytes) { return malloc(bytes); }
BOOL HeapFree(HANDLE, DWORD, void *block)
{
    free(block);
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    LiveGdiObjects--;
    return TRUE;
}

HPALETTE CreatePalette(const LOGPALETTE *description)
{
    // Touch every entry, so reading past the description shows up.
    volatile BYTE sum = 0;
    for (WORD i = 0; i < description->palNumEntries; i++)
        sum ^= description->palPalEntry[i].peRed;
    (void)sum;
    LiveGdiObjects++;
    return reinterpret_cast<HPALETTE>(0x1000 + LiveGdiObjects);
}

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER *, DWORD, const void *, const BITMAPINFO *, UINT) { return nullptr; }
DWORD GetObjectType(HGDIOBJ) { return 0; }
int GetObjectA(HGDIOBJ, int, void *) { return 0; }
int GetDIBits(HDC, HBITMAP, UINT, UINT, void *, BITMAPINFO *, UINT) { return 0; }
