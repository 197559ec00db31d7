// orbvue: the lens viewer.
#include <windows.h>

#include "app/globals.h"
#include "app/picture_set.h"
#include "app/startup.h"
#include "ui/window_procs.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    AppInstance = instance;
    if (!previous && !RegisterWindowClasses())
        return 0;
    ReadRootDir();
    int picture = ParsePictureNumber(commandLine);
    if (picture >= 0)
        CurrentImage = picture;
    LoadImageSet();
    HWND window = CreateMainWindow();
    if (!window)
        return 0;
    MainWindow = window;
    ShowWindow(window, show);
    UpdateWindow(window);
    int code = RunMessageLoop(nullptr);
    ShutDown();
    return code;
}
