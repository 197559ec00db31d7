// The program's windows, created as start-up creates them, on the real
// display, with the real message queue.
#pragma once

#include <windows.h>

#include <string>

#include "support/pixels.h"

// Dispatches what is queued until the queue stays empty for a moment.
void Pump(DWORD quietMilliseconds = 30);

// Writes a picture set and the interface pictures into the current folder,
// loads them as start-up does, registers the classes once, and creates the
// main window centred on the screen. Everything is undone by Close().
class WindowRig {
public:
    bool Open();
    void Close();
    ~WindowRig() { Close(); }

    // What the main window shows, read back from its device context.
    Rgb Screen();
    // What the viewer shows.
    Rgb Viewer();
    // The picture's pixels with the lens drawn at (LensX, LensY): what the
    // viewer must show, computed from the file, not from the program.
    Rgb ExpectedViewer(const std::string &file);

    void MoveOnMain(int x, int y);
    void MoveOnViewer(int x, int y);
    void ClickOnMain(int x, int y);   // press and release
    LRESULT PressOnMain(int x, int y);
    LRESULT ReleaseOnMain(int x, int y);
};

// The interface picture files as DibBlocks drawn to RGB.
Rgb DrawFile(const std::string &file);
