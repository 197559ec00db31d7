// POSIX stand-ins for the native fuzzing build: files through file
// descriptors, memory blocks through malloc (a header before each block
// remembers it), GDI objects as counted tokens that a leak check can see.
#include <windows.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

long LiveGdiObjects;
long LiveBlocks;

HFILE WINAPI _lopen(LPCSTR name, INT) { return open(name, O_RDONLY); }
HFILE WINAPI _lcreat(LPCSTR name, INT) { return open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644); }

// Regular files: a read or write is short only at the end of the file or
// on an error.
LONG WINAPI _hread(HFILE file, LPVOID buffer, LONG count) { return LONG(read(file, buffer, size_t(count))); }
UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count) { return UINT(_hread(file, buffer, LONG(count))); }

LONG WINAPI _llseek(HFILE file, LONG offset, INT origin)
{
    return LONG(lseek(file, offset, origin == FILE_BEGIN ? SEEK_SET : origin == FILE_END ? SEEK_END : SEEK_CUR));
}

LONG WINAPI _hwrite(HFILE file, LPCSTR buffer, LONG count) { return LONG(write(file, buffer, size_t(count))); }
UINT WINAPI _lwrite(HFILE file, LPCSTR buffer, UINT count) { return UINT(_hwrite(file, buffer, LONG(count))); }
HFILE WINAPI _lclose(HFILE file) { return close(file) == 0 ? 0 : HFILE_ERROR; }

// A block: its own address as handle, 16 bytes ahead of what is handed out.
HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T bytes)
{
    if (bytes > (size_t(1) << 31))
        return nullptr;
    char *p = static_cast<char *>(malloc(bytes + 16));
    if (!p)
        return nullptr;
    LiveBlocks++;
    return p;
}
LPVOID WINAPI GlobalLock(HGLOBAL memory) { return memory ? static_cast<char *>(memory) + 16 : nullptr; }
HGLOBAL WINAPI GlobalHandle(LPCVOID block) { return const_cast<char *>(static_cast<const char *>(block)) - 16; }
HGLOBAL WINAPI GlobalFree(HGLOBAL memory)
{
    if (memory)
        LiveBlocks--;
    free(memory);
    return nullptr;
}

HANDLE WINAPI GetProcessHeap() { return reinterpret_cast<HANDLE>(1); }
LPVOID WINAPI HeapAlloc(HANDLE, DWORD, SIZE_T bytes) { return malloc(bytes); }
BOOL WINAPI HeapFree(HANDLE, DWORD, LPVOID block)
{
    free(block);
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    LiveGdiObjects--;
    return TRUE;
}

HPALETTE WINAPI CreatePalette(const LOGPALETTE *description)
{
    // Touch every entry, so reading past the description shows up.
    volatile BYTE sum = 0;
    for (WORD i = 0; i < description->palNumEntries; i++)
        sum ^= description->palPalEntry[i].peRed;
    (void)sum;
    LiveGdiObjects++;
    return reinterpret_cast<HPALETTE>(0x1000 + LiveGdiObjects);
}

HBITMAP WINAPI CreateDIBitmap(HDC, const BITMAPINFOHEADER *, DWORD, LPCVOID, const BITMAPINFO *, UINT) { return nullptr; }
DWORD WINAPI GetObjectType(HGDIOBJ) { return 0; }
INT WINAPI GetObjectA(HGDIOBJ, INT, LPVOID) { return 0; }
INT WINAPI GetDIBits(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT) { return 0; }
