// Start-up, the message loop and shutdown, in the order WinMain runs them.
#pragma once

#include <windows.h>

// WinMain's start-up: stores the instance handle, registers the window
// classes unless a previous instance did, reads the picture folder and the
// command line's picture number, loads the picture set (which ends the
// process when the start-up picture cannot be loaded), then creates, shows
// and paints the main window. The main window, or null when a class or the
// window could not be made.
HWND StartUp(HINSTANCE instance, HINSTANCE previous, const char *commandLine, int show);

// The picture index (0-9) a command line names, or -1 when it names none:
// a decimal number 1-10 after optional blanks and sign, read up to the
// first other character.
int ParsePictureNumber(const char *commandLine);

// Where the 640 x 480 main window goes on a screen of the given size:
// centred, the halves truncated toward zero, so negative on small screens.
POINT MainWindowOrigin(int screenWidth, int screenHeight);

// Places and creates the main window, filling MainRect; null on failure.
HWND CreateMainWindow();

// Dispatches messages (of `window`, or of any window of the thread when
// null) until the quit message; returns its parameter, or 0 when the
// platform reports an error instead.
int RunMessageLoop(HWND window);

// Frees the current and the interface pictures, leaving their globals null.
void FreePictures();

// Frees every picture and, when the user left by the return button, hands
// off to the menu program.
void ShutDown();
