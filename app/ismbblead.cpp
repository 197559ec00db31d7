// The start-up code of MinGW-w64 12 (its WinMain caller, crtexewin.o)
// finds where the program's name ends in the command line with
// _ismbblead, which it would import from msvcrt.dll. Nothing shows that
// the msvcrt.dll of Windows 98 and NT 4.0 exports it, so the program
// defines it and the linker takes this one: whether the byte leads a
// double-byte character of the ANSI code page (the code page msvcrt starts
// with), asked of KERNEL32's IsDBCSLeadByte, which every 32-bit Windows
// has. The caller passes a sign-extended char; only its low byte counts.
#include <windows.h>

extern "C" int __cdecl _ismbblead(unsigned int c)
{
    return IsDBCSLeadByte(static_cast<BYTE>(c)) ? 1 : 0;
}
