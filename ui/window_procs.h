// The three window classes: the main window with its controls, the viewer
// child that shows the picture with the lens, and the picture window for
// the credits and help pages.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ViewerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HelperWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers "CLensMain", "CLensViewer" and "CLensHelper" for AppInstance;
// false when any registration fails.
bool RegisterWindowClasses();

// The main window's controls, in its client coordinates.
extern const RECT SelectionRect;
extern const RECT ReturnRect;
extern const RECT ButtonRect[4];   // credits, help, exit, zoom
extern BYTE ButtonPressed[4];

// The thumbnail under a point of the strip, 0-9 row by row, two to a row;
// -1 on the strip's left, top and bottom pixel lines (x = 5, y = 5,
// y = 281). Its right line, x = 130, belongs to the right-hand thumbnails.
int ThumbnailIndex(int x, int y);

// Keeps the lens square inside the current picture.
void ClampLensToPicture();
