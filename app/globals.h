// The program's shared state: one GUI thread, globals that live for the
// whole process, each picture block owned by exactly one of them.
#pragma once

#include <windows.h>

#include "image/dib.h"

extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern RECT MainRect;        // x, y, width, height in left, top, right, bottom
extern HWND ViewerWindow;
extern RECT ViewerRect;      // x, y, width, height in left, top, right, bottom
extern char RootDir[49];
extern int CurrentImage;     // 0-9
extern DibBlock *CurrentDib;
extern int RowStride;
extern DibBlock *SelectionDib;
extern DibBlock *ReturnDib;
extern DibBlock *ButtonDib[4];  // credits, help, exit, zoom
extern DibBlock *InfoDib;
extern short LensX, LensY;
extern short PrevLensX, PrevLensY;  // PrevLensX -1: no lens in the bits
extern int ZoomMode;
extern int SwallowButtonUp;
extern BYTE ReturnRequested;
extern int HandoffMarker;

// The settings file shared with the menu program, by its bare name: the
// profile functions find it in the Windows directory.
extern const char SettingsFile[];
